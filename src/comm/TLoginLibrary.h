#pragma once

#include <QByteArray>
#include <QString>

// The log-in text library (libqnet) of the program folder, loaded at run time.
class TLoginLibrary
{
public:
    // The log-in text for `password`, made by the library's qnet_encryptpsw with a 100-byte
    // buffer. False when the library or its export cannot be loaded; `error` then says why.
    static bool MakeLoginText(const QString &programFolder, const QByteArray &password,
                              QByteArray &text, QString &error);

    // The library's path in a program folder.
    static QString LibraryPath(const QString &programFolder);
};
