#pragma once

#include <QStandardPaths>
#include <QString>

// The editor's own settings (grid, window places): the user's `editor.ini`, never a project or
// the program folder.
inline QString EditorSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/editor.ini");
}
