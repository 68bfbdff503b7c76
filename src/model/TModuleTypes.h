#pragma once

#include <QByteArray>

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

// The table of module type codes: model code text and module kind.
class TModuleTypes
{
public:
    // The model code shown in lists; empty for unlisted codes and for the interface modules.
    static QByteArray ModelCode(quint16 type);
    static ModuleKind KindOf(quint16 type);
    // Buttons of a push-button module (types 2-5); 0 for every other type.
    static int ButtonCount(quint16 type);
    // Types 26 (serial) and 45 (Ethernet): the interface modules the program talks through.
    static bool IsInterfaceModule(quint16 type) { return type == 26 || type == 45; }
};
