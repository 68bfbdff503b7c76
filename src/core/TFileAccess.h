#pragma once

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic saves of the program's files.
class TFileAccess
{
public:
    // False when the file cannot be opened or read.
    static bool Read(const QString &path, QByteArray &content);

    // Writes a temporary file beside `path`, checks it, and renames it over `path`, so a failed
    // save leaves the previous file as it was. A file marked read-only is refused; a symbolic
    // link stays a link and the file it leads to is replaced. On failure `error` says why.
    static bool SaveAtomically(const QString &path, const QByteArray &content, QString *error = nullptr);
    // The file a chain of symbolic links leads to (the path itself when it is none, or a loop).
    static QString ResolveLinks(const QString &path);

    // Appends to the file, creating it when missing.
    static bool Append(const QString &path, const QByteArray &content);
};
