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
    ModuleRecord *record = app.AddModule({.ModuleNumber = number, .SerialNumber = serial, .ModuleType = type,
                                          .FirstIoIndex = quint16(app.Current().Ios.size()), .Name = name});
    for (const IoShape &shape : ios) {
        app.AddIo({.ModuleNumber = number, .Channel = shape.channel, .LongPress = shape.longPress, .IoKind = 2,
                   .CommandNumber = shape.commandNumber, .Power = shape.power, .Name = name + " " + QByteArray::number(shape.channel)});
    }
    return record;
}
