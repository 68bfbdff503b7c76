#pragma once

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

// The user's data and settings folders (the history among them) in a temporary folder of the
// run: every run starts from the same empty history and leaves nothing in the user's folders.
inline void UseTemporaryUserFolders()
{
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toLocal8Bit());
}
