#pragma once

#include <QByteArray>
#include <QString>

// Where the pictures named in a project are found on this computer, and the built-in ones.
class TPicturePaths
{
public:
    // The local file a stored picture path names: the path itself when it exists; else, for a
    // path through "Default Images", "Image Control", "Imported Pictures" or "Data" (as another
    // computer stored it, "\" separators included), the same tail in this program folder when
    // that exists, whatever the case of its letters. Empty when neither does.
    static QString Resolve(const QByteArray &stored, const QString &programFolder);
    // The file `relative` names under `folder`, each component matched without regard to case;
    // empty when there is none.
    static QString FindIgnoringCase(const QString &folder, const QString &relative);

    // `folder` + "Default Images" + `file`, joined with the platform's separator.
    static QString DefaultImage(const QString &programFolder, const QString &file);

    // A path as the project file keeps it (Windows-1252 bytes; UTF-8 when it cannot be held).
    static QByteArray ToRecord(const QString &path);
    static QString FromRecord(const QByteArray &stored);
};
