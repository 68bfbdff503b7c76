#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic saves of the program's files.
class TFileAccess
{
public:
    // No export or project is anywhere near this size: a larger file is refused unread.
    static constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

    // False when the file cannot be opened or read, is no regular file, or is larger than
    // MaxFileSize; `tooLarge` then says whether the size was the reason.
    static bool Read(const QString &path, QByteArray &content, bool *tooLarge = nullptr);
    // The message for a file refused for its size.
    static QString TooLargeMessage(const QString &path);
    // A regular file (through symbolic links), not a pipe, a device or a folder.
    static bool IsRegularFile(const QString &path);
    // Something is there, but no regular file: refused unread, never opened.
    static bool IsOtherThanAFile(const QString &path);

    // A write past the process's file-size limit then fails with an error the saves report,
    // instead of the signal that ends the process; every program calls it first.
    static void ReportFileSizeLimitAsError();

    // Writes a temporary file beside `path`, checks it, and renames it over `path`, so a failed
    // save leaves the previous file as it was. A file marked read-only is refused; a symbolic
    // link stays a link and the file it leads to is replaced. On failure `error` says why.
    // A new file takes the user's umask, or with `modeOf` that file's permissions (a copy of a
    // private project stays private).
    static bool SaveAtomically(const QString &path, const QByteArray &content, QString *error = nullptr,
                               const QString &modeOf = {});
    // The file a chain of symbolic links leads to (the path itself when it is none, or a loop).
    static QString ResolveLinks(const QString &path);

    // Appends to the file, creating it when missing.
    static bool Append(const QString &path, const QByteArray &content);
    // Removes the temporary files of earlier saves of `path` cut off before their rename (older
    // than a minute: no save under way); done at each save and each project open.
    static void RemoveStaleTemporaries(const QString &path);
};
