#pragma once

#include <QString>

// Where the program keeps what it writes besides projects: the settings file, update backups and
// old-version copies. In the program folder when that can be written (a portable install, the
// build folder, the tests), so nothing changes there; otherwise in the user's own folders as the
// desktop conventions say: `$XDG_CONFIG_HOME/Visual Quelnor 2` (~/.config/…) for the settings,
// `$XDG_DATA_HOME/Visual Quelnor 2` (~/.local/share/…) for backups and copies.
class TUserFolders
{
public:
    static constexpr const char *Name = "Visual Quelnor 2";

    // A folder the program may write into. Root may write anywhere: a folder made read-only for
    // everyone is taken as meant to stay so.
    static bool Writable(const QString &folder);

    static QString SettingsFolder(const QString &programFolder);
    static QString BackupFolder(const QString &programFolder);
    static QString OldVersionFolder(const QString &programFolder);

    // The history of the installations: `$XDG_DATA_HOME/Visual Quelnor 2/history`, whatever the
    // program folder (it grows, and belongs to the user who ran the program).
    static QString HistoryFolder();

    // The user's folders themselves.
    static QString UserConfig();
    static QString UserData();
};
