#pragma once

#include <QByteArray>

class TDataFileManager;
class TVQQModuleBase;

// A channel's state as its screen control shows it, for whatever follows the installation
// without a screen (the MQTT bridge, the history).
bool OutputOn(const TVQQModuleBase &module, quint16 channel);
bool InputOn(const TVQQModuleBase &module, quint16 channel);
int DimLevel(const TVQQModuleBase &module, quint16 channel);
// A shutter: "opening" (its up channel on), "closing" (its down channel on) or "stopped".
QByteArray CoverState(const TVQQModuleBase &module, quint16 channel);
// The 0-10 V input's reading in percent of its range (above 100: no reading).
quint8 AnalogueValue(const TVQQModuleBase &module);

// A stable id of an application's installation: its interface module's serial number in hex, or
// "app<id>" when it has none.
QByteArray InstallationId(const TDataFileManager &application);
