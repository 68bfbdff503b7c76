#pragma once

#include "TMqttBridge.h"

#include <QString>

// The program's bridge settings: kept apart from projects and from the program's settings file of
// the old format, in "MQTT bridge.ini" in the program's settings folder; the broker's password
// in "MQTT bridge password" beside it, readable by its owner alone.
struct TBridgeSettings
{
    bool Enabled = false;  // publish while in run time
    TBridgeOptions Options;

    static TBridgeSettings Load(const QString &folder);
    // False with `error` when either file could not be written; nothing half-written is left.
    bool Save(const QString &folder, QString *error) const;
    static QString IniPath(const QString &folder);
    static QString PasswordPath(const QString &folder);
};
