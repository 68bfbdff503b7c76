#include "TModuleTypes.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

constexpr const char *k_torInput = "TVQQTorInput";
constexpr const char *k_torOutput = "TVQQTorOutput";
constexpr const char *k_zulOutput = "TVQQZulOutput";
constexpr const char *k_dimOutput = "TVQQDimOutput";
constexpr const char *k_sensorInput = "TVQQSensorInput";
constexpr const char *k_in10VInput = "TVQQIn10VInput";

// A push-button module: `buttons` inputs with their own pictures, then as many indicator outputs.
TChannelInfo Buttons(quint16 io, quint16 buttons, const char *on, const char *off)
{
    if (io < buttons)
        return {k_torInput, on, off};
    return {io < 2 * buttons ? k_torOutput : nullptr, "LED ON.ico", "LED OFF.ico"};
}

// A room unit whose channel 4 is the thermostat; the other channels get no control.
TChannelInfo RoomUnit(quint16 io, const char *picture)
{
    return {io == 4 ? k_sensorInput : nullptr, picture, picture, PropertyLayout::Sensor};
}

constexpr char k_quelnor[] = "QUELNOR.ico";

constexpr TModuleType k_types[] = {
    {.Type = 1, .ModelCode = "QVAK08", .Kind = ModuleKind::Nax08,
     .Filters = {.Inputs = 1},
     .Channel = [](quint16 io) -> TChannelInfo { return {k_torInput, io <= 7 ? "NAX8_ON.ico" : nullptr, "NAX8_OFF.ico"}; }},
    {.Type = 2, .ModelCode = "QFIP01", .Kind = ModuleKind::Bx, .Buttons = 1,
     .Filters = {.Outputs = 13, .Inputs = 3},
     .Channel = [](quint16 io) { return Buttons(io, 1, "B1 ON.ico", "B1 OFF.ico"); }},
    {.Type = 3, .ModelCode = "QFIP02", .Kind = ModuleKind::Bx, .Buttons = 2,
     .Filters = {.Outputs = 14, .Inputs = 4},
     .Channel = [](quint16 io) { return Buttons(io, 2, "B2 ON.ico", "B2 OFF.ico"); }},
    {.Type = 4, .ModelCode = "QFIP04", .Kind = ModuleKind::Bx, .Buttons = 4,
     .Filters = {.Outputs = 15, .Inputs = 5},
     .Channel = [](quint16 io) { return Buttons(io, 4, "B4 ON.ico", "B4 OFF.ico"); }},
    {.Type = 5, .ModelCode = "QFIP06", .Kind = ModuleKind::Bx, .Buttons = 6,
     .Filters = {.Outputs = 16, .Inputs = 6},
     .Channel = [](quint16 io) { return Buttons(io, 6, "B6 ON.ico", "B6 OFF.ico"); }},
    {.Type = 6, .ModelCode = "QKOB01", .Kind = ModuleKind::Kob, .NumberedChannels = true,
     .Filters = {.Outputs = 1},
     .Channel = [](quint16) -> TChannelInfo { return {k_torOutput, "KOB ON.ico", "KOB OFF.ico"}; }},
    {.Type = 7, .ModelCode = "QZUL01", .Kind = ModuleKind::Zul,
     .Filters = {.Outputs = 7},
     .Channel = [](quint16) -> TChannelInfo { return {k_zulOutput, "ZUL UP.ico", "ZUL DOWN.ico"}; },
     // Each shutter has two channels; only the first is listed.
     .Hidden = [](quint16 io, quint16) { return io % 2 == 1; }},
    {.Type = 8, .ModelCode = "QWEM01", .Kind = ModuleKind::Kob,
     .Filters = {.Outputs = 2},
     .Channel = [](quint16) -> TChannelInfo { return {k_torOutput, "WEM ON.ico", "WEM OFF.ico"}; }},
    {.Type = 9, .ModelCode = "QHUV01", .Kind = ModuleKind::Dim, .Power = PowerRule::ByLevel,
     .Filters = {.Outputs = 4},
     .Channel = [](quint16) -> TChannelInfo { return {k_dimOutput, "DIM ON.ico", "DIM OFF.ico", PropertyLayout::Dimmer}; }},
    {.Type = 10, .ModelCode = "QGAR01", .Kind = ModuleKind::Temp0x,
     .Filters = {.Sensors = 1},
     .Channel = [](quint16) -> TChannelInfo { return {k_sensorInput, "T1.ico", k_quelnor, PropertyLayout::Sensor}; }},
    {.Type = 11, .ModelCode = "QGAR02", .Kind = ModuleKind::Temp0x,
     .Filters = {.Sensors = 2},
     .Channel = [](quint16) -> TChannelInfo { return {k_sensorInput, "T2.ico", k_quelnor, PropertyLayout::Sensor}; }},
    {.Type = 12, .ModelCode = "QYSE01", .Kind = ModuleKind::Nax08,
     .Filters = {.Inputs = 7},
     .Channel = [](quint16) -> TChannelInfo { return {k_torInput, "LCD ON.ico", "LCD OFF.ico"}; }},
    {.Type = 13, .ModelCode = "QKIB01", .Filters = {.Inputs = 8}},
    {.Type = 14, .ModelCode = "QNOF01", .Kind = ModuleKind::Kob,
     .Filters = {.Outputs = 6},
     .Channel = [](quint16) -> TChannelInfo { return {k_torOutput, "LED ON.ico", "LED OFF.ico"}; }},
    {.Type = 15, .ModelCode = "QVAK04", .Kind = ModuleKind::Nax08,
     .Filters = {.Inputs = 2},
     .Channel = [](quint16 io) -> TChannelInfo { return {k_torInput, io <= 3 ? "NAX4 ON.ico" : nullptr, "NAX4 OFF.ico"}; }},
    {.Type = 17, .ModelCode = "QJUT01", .Kind = ModuleKind::IOTemp,
     .Filters = {.Sensors = 3},
     .Channel = [](quint16 io) { return RoomUnit(io, "TTouch.ico"); },
     .Hidden = [](quint16 io, quint16) { return io <= 3 || io == 5; }},
    {.Type = 18, .ModelCode = "QJUT01"},
    {.Type = 20, .ModelCode = "QWEZ01"},
    {.Type = 21, .ModelCode = "QYAP01"},
    {.Type = 22, .ModelCode = "QKOM23-01"},
    {.Type = 24, .ModelCode = "QXEP01", .Kind = ModuleKind::Nax08,
     .Channel = [](quint16) -> TChannelInfo { return {k_torInput, "DETECT ON.ico", "DETECT OFF.ico"}; }},
    {.Type = 26, .Interface = LinkKinds::Serial},
    {.Type = 30, .ModelCode = "QZULBT01", .Kind = ModuleKind::Zul,
     .Filters = {.Outputs = 8},
     .Channel = [](quint16) -> TChannelInfo { return {k_zulOutput, "ZULBT UP.ico", "ZULBT DOWN.ico"}; }},
    {.Type = 31, .ModelCode = "QPAL10", .Kind = ModuleKind::In10V,
     .Filters = {.Inputs = 9},
     .Channel = [](quint16) -> TChannelInfo { return {k_in10VInput, k_quelnor, k_quelnor, PropertyLayout::In10V}; }},
    {.Type = 33, .ModelCode = "QYSE03", .Kind = ModuleKind::IOTemp,
     .Filters = {.Outputs = 17, .Sensors = 4},
     .Channel = [](quint16 io) -> TChannelInfo {
         if (io <= 4)
             return {k_torInput, "LCD3 ON.ico", "LCD3 OFF.ico"};
         if (io == 5)
             return {nullptr, "LCD3 ON.ico", "LCD3 OFF.ico", PropertyLayout::None};
         if (io == 6)
             return {k_sensorInput, "LCD3 Temp.ico", "LCD3 Temp.ico", PropertyLayout::Sensor};
         if (io <= 11)
             return {k_torOutput, "LCD3 OUT ON.ico", "LCD3 OUT OFF.ico"};
         return {nullptr, "LCD3 OUT ON.ico", "LCD3 OUT OFF.ico", PropertyLayout::None};
     },
     .Hidden = [](quint16 io, quint16) { return io == 5 || io == 12 || io == 13; }},
    {.Type = 34, .ModelCode = "QZULBT", .Filters = {.Outputs = 9}},
    {.Type = 35, .ModelCode = "QMELTA01", .Filters = {.Outputs = 10}},
    // Dims, but counts its whole power and opens the plain property dialog.
    {.Type = 36, .ModelCode = "QSAWP01", .Kind = ModuleKind::Dim,
     .Filters = {.Outputs = 5},
     .Channel = [](quint16) -> TChannelInfo { return {k_dimOutput, "DIM ON.ico", "DIM OFF.ico"}; }},
    {.Type = 37, .ModelCode = "QTOLRIN01", .Filters = {.Outputs = 11, .Inputs = 10}},
    {.Type = 38, .ModelCode = "QFIPYSE0x", .Kind = ModuleKind::IOTemp,
     .Filters = {.Outputs = 18, .Inputs = 11},
     .Channel = [](quint16 io) -> TChannelInfo {
         if (io == 6)
             return {k_sensorInput, "PBLCD TEMP.ico", "PBLCD TEMP.ico", PropertyLayout::Sensor};
         return {nullptr, nullptr, nullptr, PropertyLayout::None};
     },
     // Only the thermostat is listed, and only when the module's options enable it.
     .Hidden = [](quint16 io, quint16 options) { return !(io == 6 && (options & 1)); }},
    {.Type = 39, .ModelCode = "QBEX01", .Filters = {.Outputs = 12}},
    {.Type = 40, .ModelCode = "QLU01", .Kind = ModuleKind::Kob,
     .Filters = {.Outputs = 3},
     .Channel = [](quint16) -> TChannelInfo { return {k_torOutput, "KOB ON.ico", "KOB OFF.ico"}; }},
    {.Type = 45, .Interface = LinkKinds::Udp},
    {.Type = 50, .Kind = ModuleKind::IOTemp, .Channel = [](quint16 io) { return RoomUnit(io, k_quelnor); }},
    {.Type = 55, .Kind = ModuleKind::IOTemp, .Channel = [](quint16 io) { return RoomUnit(io, k_quelnor); }},
};

// The index by code below holds codes up to 255.
constexpr bool CodesFitTheIndex()
{
    for (const TModuleType &row : k_types) {
        if (row.Type > 255)
            return false;
    }
    return true;
}
static_assert(CodesFitTheIndex(), "a module type code above 255 needs a larger index");

const TModuleType k_noRow;

} // namespace

const TModuleType &TModuleTypes::Row(quint16 type)
{
    // Looked up for every status frame (the power total): one step, through an index by code.
    static const std::array<const TModuleType *, 256> index = [] {
        std::array<const TModuleType *, 256> rows{};
        for (const TModuleType &row : k_types)
            rows[row.Type] = &row;
        return rows;
    }();
    const TModuleType *row = type < index.size() ? index[type] : nullptr;
    return row ? *row : k_noRow;
}

TChannelInfo TModuleTypes::Channel(quint16 type, quint16 io)
{
    const TModuleType &row = Row(type);
    return row.Channel ? row.Channel(io) : TChannelInfo();
}

bool TModuleTypes::IsHiddenChannel(quint16 type, quint16 io, quint16 moduleOptions)
{
    const TModuleType &row = Row(type);
    return row.Hidden && row.Hidden(io, moduleOptions);
}

std::vector<quint16> TModuleTypes::FilterTypes(quint8 TFilterPlaces::*place)
{
    std::vector<std::pair<quint8, quint16>> placed;
    for (const TModuleType &row : k_types) {
        if (row.Filters.*place != 0)
            placed.emplace_back(row.Filters.*place, row.Type);
    }
    std::sort(placed.begin(), placed.end());
    std::vector<quint16> types;
    for (const auto &entry : placed)
        types.push_back(entry.second);
    return types;
}

const TModuleType *TModuleTypes::begin()
{
    return std::begin(k_types);
}

const TModuleType *TModuleTypes::end()
{
    return std::end(k_types);
}
