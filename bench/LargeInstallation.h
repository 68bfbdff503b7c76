#pragma once

#include "InstallationRecords.h"
#include "TRecordFormat.h"
#include "UserMessages.h"

#include <QByteArray>

// The benchmarks show no message.
class NoMessages : public UserMessages
{
public:
    void ShowMessage(const QString &) override {}
};

// The 2,000-module installation of the refresh benchmarks: a mix of the common kinds, push
// buttons (inputs and indicators), two relays, a dimmer and a room unit (inputs, outputs and
// temperature), 8 status frames for every 5 modules; behind a UDP interface module.
constexpr int k_largeModules = 2000;
constexpr quint16 k_largeTypes[] = {4, 6, 6, 9, 17};

// Its export; `withIos`: each module's channels too (8, a dimmer's 4, a room unit's thermostat).
inline QByteArray LargeExport(bool withIos)
{
    QByteArray modules = "Modules\r\n*[04]*\r\n";
    QByteArray ios = "Inputs\r\n*[05]*\r\n";
    ModuleRecord interface;
    interface.ModuleNumber = 1;
    interface.ModuleType = 45;
    interface.SerialNumber = 0x45000001;
    interface.Name = "QNET04";
    modules += TRecordFormat::WriteModule(interface);
    int ioCount = 0;
    for (int m = 0; m < k_largeModules; ++m) {
        ModuleRecord module;
        module.ModuleNumber = quint16(m + 2);
        module.ModuleType = k_largeTypes[m % 5];
        module.SerialNumber = quint32(0x01000000 + m);
        module.FirstIoIndex = quint16(withIos ? ioCount : 0);
        module.Name = "Module " + QByteArray::number(m);
        modules += TRecordFormat::WriteModule(module);
        const int channels = withIos ? (module.ModuleType == 9 ? 4 : 8) : 0;
        for (int c = 0; c < channels; ++c) {
            if (module.ModuleType == 17 && c != 4)
                continue;
            IoRecord io;
            io.ModuleNumber = module.ModuleNumber;
            io.Channel = quint16(c);
            io.IoKind = module.ModuleType == 17 ? 6 : 2;
            io.Name = "IO " + QByteArray::number(m) + "." + QByteArray::number(c);
            ios += TRecordFormat::WriteIo(io);
            ++ioCount;
        }
    }
    return modules + ios + "Variable systeme\r\n";
}
