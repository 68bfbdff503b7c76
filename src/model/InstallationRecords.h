#pragma once

#include "LinkKinds.h"

#include <QByteArray>

#include <array>

// The plain records of an application, fields in the order and width of the data block. Fields
// named Aux are carried: never interpreted, only kept from the export to every later save. Texts
// are Windows-1252 bytes.

// One bus module.
struct ModuleRecord
{
    quint8 Aux1 = 0;
    quint8 Aux2 = 0;
    quint16 ModuleNumber = 0;   // key of the module inside its application
    quint32 SerialNumber = 0;
    quint16 ModuleType = 0;     // module type code, see TModuleTypes
    quint16 ModuleOptions = 0;  // bit 0: channel 6 of a type-38 module can be placed
    quint16 FirstIoIndex = 0;   // position of the module's first IoRecord
    quint16 Aux3 = 0;
    quint8 Aux4 = 0;
    quint8 Aux5 = 0;
    quint8 Aux6 = 0;
    QByteArray Name;            // at most 31 characters

    bool operator==(const ModuleRecord &) const = default;
};

// One input or output channel of a module.
struct IoRecord
{
    quint8 Aux1 = 0;
    quint8 Aux2 = 0;
    quint16 ModuleNumber = 0;
    quint16 Channel = 0;        // from 0
    quint16 Aux3 = 0;
    quint8 ParamKind = 0;       // 21: the IO has a Parametre32 entry
    quint8 ParamIndexLow = 0;   // low byte of that entry's position
    quint8 LongPress = 0;       // non-zero: long-press input; also the high byte of the position
    quint8 IoKind = 0;          // 1 input, 2 on/off output, 6 temperature sensor
    quint16 Aux6 = 0;
    quint16 Aux7 = 0;
    quint16 Aux8 = 0;
    quint16 Aux9 = 0;
    quint8 Aux10 = 0;
    quint8 Aux11 = 0;
    quint16 CommandNumber = 0;  // number carried by the channel's value commands
    quint16 Aux12 = 0;
    quint16 Aux13 = 0;
    quint8 Aux14 = 0;
    quint16 Power = 0;          // watts of the load; 0 = not counted
    QByteArray Name;

    // Position of the IO's Parametre32 entry.
    quint16 ParamIndex() const { return quint16(LongPress * 256 + ParamIndexLow); }

    bool operator==(const IoRecord &) const = default;
};

// One memo (stored scene).
struct MemoRecord
{
    quint8 Defined = 0;         // 1 = the memo exists
    quint8 Aux1 = 0;
    quint16 FirstEntryIndex = 0;
    quint16 Aux2 = 0;
    quint8 Aux3 = 0;
    quint8 Aux4 = 0;
    quint8 MemoKind = 0;        // 0 mixed, 1 shutter, 2 dimmer
    quint8 Aux5 = 0;
    quint16 Aux6 = 0;
    quint16 Aux7 = 0;
    quint16 EntryCount = 0;
    quint16 Aux8 = 0;
    QByteArray Name;

    bool operator==(const MemoRecord &) const = default;
};

// One entry of the memo list.
struct MemoListRecord
{
    quint8 Aux1 = 0;
    quint8 EntryKind = 0;       // 2: the entry refers to an IO
    quint16 IoIndex = 0;
    quint16 Aux2 = 0;

    bool operator==(const MemoListRecord &) const = default;
};

// One variable of the master.
struct VariableRecord
{
    quint8 Defined = 0;
    quint8 VariableKind = 0;    // 0 boolean, 1 value
    quint8 Aux1 = 0;
    quint8 Aux2 = 0;
    quint8 Aux3 = 0;
    quint8 Aux4 = 0;
    quint8 MaxValue = 0;
    quint8 Aux5 = 0;
    quint8 Aux6 = 0;
    quint8 Aux7 = 0;
    quint16 Aux8 = 0;
    quint16 Aux9 = 0;
    quint16 Aux10 = 0;
    quint16 Aux11 = 0;
    quint16 Aux12 = 0;
    quint8 Aux13 = 0;
    quint8 Aux14 = 0;
    quint8 Aux15 = 0;
    quint8 Aux16 = 0;
    quint16 Aux17 = 0;
    QByteArray Name;

    bool operator==(const VariableRecord &) const = default;
};

// One "Parametre32" entry.
struct Param32Record
{
    quint8 ParamId = 0;
    std::array<quint8, 32> Params{};

    bool operator==(const Param32Record &) const = default;
};

// The App Data record: an application's connection settings and identity.
struct TVISUALQvpInfo
{
    LinkKinds LinkKind = LinkKinds::None;
    quint8 ComPort = 0;         // 1 = COM1; 0 = none
    quint8 ApplicationId = 0;   // 1..127
    quint8 HasPassword = 0;
    quint16 UdpPort = 0;
    QByteArray Host;
    QByteArray Password;
    QByteArray SourcePath;      // path of the export; the application's key in the project

    bool operator==(const TVISUALQvpInfo &) const = default;
};
