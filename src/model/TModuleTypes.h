#pragma once

#include "LinkKinds.h"

#include <QByteArray>

#include <vector>

// The module kind object a module type code gets (the class of its live model).
enum class ModuleKind {
    None,
    Nax08,   // input modules
    Bx,      // push-button modules with indicator outputs
    Kob,     // relay outputs
    Zul,     // shutters
    Dim,     // dimmers
    Temp0x,  // thermostats
    IOTemp,  // inputs, outputs and a temperature
    In10V,   // 0-10 V inputs
};

// The property dialog a control opens: those of a module's channels, then those of the memo,
// variable and shortcut controls.
enum class PropertyLayout { None, Standard, Dimmer, Sensor, In10V, Memo, Variable, Shortcut, Gauge, Camera };

// How a channel's power counts toward the switched total: whole when on, or by its level.
enum class PowerRule { Whole, ByLevel };

// What one channel of a module type gets on a screen.
struct TChannelInfo
{
    // The control class's name; none: the channel gets no control.
    const char *Control = nullptr;
    // Default pictures under "Default Images"; none: the folder alone.
    const char *OnPicture = "QUELNOR.ico";
    const char *OffPicture = "QUELNOR.ico";
    PropertyLayout Dialog = PropertyLayout::Standard;
};

// Where a type stands in the kind filters of the three IO search lists; 0: not there.
struct TFilterPlaces
{
    quint8 Outputs = 0;
    quint8 Inputs = 0;
    quint8 Sensors = 0;
};

// One module type code with everything the program knows about it. Adding a type is adding a row.
struct TModuleType
{
    quint16 Type = 0;
    const char *ModelCode = "";       // shown in lists; empty for unlisted codes and the interfaces
    ModuleKind Kind = ModuleKind::None;
    int Buttons = 0;                  // push buttons of a push-button module
    LinkKinds Interface = LinkKinds::None;
    PowerRule Power = PowerRule::Whole;
    bool NumberedChannels = false;    // the search lists show the channel number after the serial
    TFilterPlaces Filters{};
    TChannelInfo (*Channel)(quint16 io) = nullptr;                  // none: the defaults, no control
    bool (*Hidden)(quint16 io, quint16 moduleOptions) = nullptr;    // channels left out of the search lists
};

// The table of module type codes.
class TModuleTypes
{
public:
    // The row of a type; a code without a row gets an empty one.
    static const TModuleType &Row(quint16 type);

    static QByteArray ModelCode(quint16 type) { return QByteArray(Row(type).ModelCode); }
    static ModuleKind KindOf(quint16 type) { return Row(type).Kind; }
    static int ButtonCount(quint16 type) { return Row(type).Buttons; }
    // The modules the program talks through, and the link each serves.
    static bool IsInterfaceModule(quint16 type) { return Row(type).Interface != LinkKinds::None; }
    static LinkKinds InterfaceLink(quint16 type) { return Row(type).Interface; }
    static TChannelInfo Channel(quint16 type, quint16 io);
    static bool IsHiddenChannel(quint16 type, quint16 io, quint16 moduleOptions);
    // The types of a kind filter in their order; `place` picks the list.
    static std::vector<quint16> FilterTypes(quint8 TFilterPlaces::*place);
    // The module type codes that have a row, in table order.
    static const TModuleType *begin();
    static const TModuleType *end();
};
