#pragma once

#include <QByteArray>
#include <QByteArrayView>

class TDataFileManager;

// The two texts an application is read from and written to: the configuration tool's export,
// and the application's data block inside the project file.
class TApplicationFiles
{
public:
    // Whether the text is a configuration export: it has the modules' heading.
    static bool LooksLikeExport(QByteArrayView content);
    // The export's records appended to the current or the pending lists.
    static void ReadExport(TDataFileManager &application, QByteArrayView content, bool pending);
    // The data block, CR LF line ends, from App Data to "EOF DataFile".
    static QByteArray DataBlock(const TDataFileManager &application);
    // The block whose App Data path equals `key`: its settings, and its records appended to the
    // current lists. Every App Data record met before it is copied into the settings.
    static void ReadDataBlock(TDataFileManager &application, QByteArrayView content, const QByteArray &key);
};
