#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class TDataFileManager;
class UserMessages;

// The project file: header with the list of applications, one data block per application, then
// the seven screen and control sections, each with its heading, version line and end line.
class TProjectFile
{
public:
    static constexpr quint8 ProjectVersion = 4;

    // "Version prj" up to "EOF ProjectFile".
    static QByteArray Header(const std::vector<const TDataFileManager *> &applications);
    // The seven sections with no screens and no controls.
    static QByteArray EmptySections();
    // A whole project of these applications with no screens and no controls.
    static QByteArray Compose(const std::vector<const TDataFileManager *> &applications);

    // Saves `content` atomically; ".qvp" is appended when the name lacks it (compared with case).
    // On failure the previous file is left as it was and `error` says why.
    static bool Save(const QString &fileName, const QByteArray &content, QString *savedAs, QString *error);
};
