#pragma once

#include "TDataFileManager.h"

#include <initializer_list>

// Builds an application's records by hand: a module, then its IOs right after the current ones.
struct IoShape
{
    quint16 channel;
    quint16 power = 0;
    quint8 longPress = 0;
    quint16 commandNumber = 0;
};

inline ModuleRecord *AddTestModule(TDataFileManager &app, quint16 number, quint16 type, quint32 serial,
                                   const QByteArray &name, std::initializer_list<IoShape> ios = {})
{
    ModuleRecord m;
    m.ModuleNumber = number;
    m.ModuleType = type;
    m.SerialNumber = serial;
    m.FirstIoIndex = quint16(app.Current().Ios.size());
    m.Name = name;
    ModuleRecord *record = app.AddModule(m);
    for (const IoShape &shape : ios) {
        IoRecord io;
        io.ModuleNumber = number;
        io.Channel = shape.channel;
        io.Power = shape.power;
        io.LongPress = shape.longPress;
        io.CommandNumber = shape.commandNumber;
        io.IoKind = 2;
        io.Name = name + " " + QByteArray::number(shape.channel);
        app.AddIo(io);
    }
    return record;
}
