#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The log-in text library (libqnet) of the program folder, loaded at run time.
class TLoginLibrary
{
public:
    // The log-in text for `password`, made by the library's qnet_encryptpsw with a 100-byte
    // buffer. False when the library or its export cannot be loaded; `error` then says why.
    static bool MakeLoginText(const QString &programFolder, const QByteArray &password,
                              QByteArray &text, QString &error);

    // A log-in datagram as logs may show it: its token stands for the password, so only "LOGIN:"
    // and stars are shown.
    static QByteArray Masked(QByteArrayView datagram)
    {
        const qsizetype colon = datagram.indexOf(':');
        return colon < 0 ? datagram.toByteArray() : datagram.first(colon + 1).toByteArray() + QByteArray(8, '*');
    }

    // The library's path in a program folder.
    static QString LibraryPath(const QString &programFolder);
};
