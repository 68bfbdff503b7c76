#pragma once

#include "VisualRecords.h"

#include <QByteArray>
#include <QHash>
#include <QString>

class TProgramLists;
class TProjectBinder;
class TProjectManager;
class UserMessages;

// Reads a project file into a project: the format version (with the copy of an older file), the
// applications with their data blocks, then the screens and the controls bound to the model.
// Lives for one reading; the project outlives it.
class TProjectReader
{
public:
    explicit TProjectReader(TProjectManager &project) : m_project(project) {}

    // The file-format version on a project file's second line: 0 when there is none.
    static quint8 VersionOf(const QByteArray &content);
    // Version check and upgrade copy, the application list and each application's data block.
    // False when the file cannot be taken; `error` then says why (empty when a message said it).
    bool ReadApplications(const QString &name, QString *error);
    // The screen and control sections, bound to the model objects in `lists`.
    bool ReadScreens(TProjectBinder &binder, const TProgramLists &lists, const QString &name);
    // A background that cannot be found becomes the default one, with a message; false then.
    static bool CheckScreenPicture(TNewVisualScreen &record, const QString &programFolder, UserMessages *messages);
    static void ResetScreenPicture(TNewVisualScreen &record, const QString &programFolder, UserMessages *messages);
    // Copies the older-format file read (as read) into "OldVersion", never over a different copy.
    bool KeepOldVersionCopy(const QString &name) const;

private:
    void CheckOutputPictures(TNewVisualOutput &record, quint16 moduleType);
    const QString &Found(QByteArray &picture);

    TProjectManager &m_project;
    QHash<QByteArray, QString> m_resolved;  // picture paths found while reading the screens
};
