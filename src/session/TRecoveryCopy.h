#pragma once

#include <QString>

class TProjectSession;

// The copy of a modified project written when the program is stopped from outside (a shutdown,
// SIGTERM) and nobody is there to answer the save question. It lies next to the project, never
// over it: "house.qvp" gives "house.recovered.qvp"; a project never saved gives
// "unsaved.recovered.qvp" in the fallback folder.
class TRecoveryCopy
{
public:
    static QString PathFor(const QString &projectFile, const QString &fallbackFolder);
    // Writes the session's project as it stands; false with `error` when it cannot be written.
    static bool Write(const TProjectSession &session, const QString &fallbackFolder, QString *written, QString *error);
    // The recovered copy of `projectFile` when one waits (newer than the project); empty otherwise.
    static QString Waiting(const QString &projectFile);
    // After the project was saved, or the copy was opened: the copy has done its work.
    static void Discard(const QString &projectFile);
};
