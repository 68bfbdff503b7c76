#pragma once

#include <QtGlobal>

class QWidget;
class TVQBaseControl;
class TVQControlHost;
class TVQQModuleBase;

// Makes the control of a module's channel from the class name the module type table gives. Each
// control class registers itself in its own source file.
class TControlFactory
{
public:
    using Maker = TVQBaseControl *(*)(QWidget *parent, TVQQModuleBase *module, quint16 io, TVQControlHost *host);

    static bool Register(const char *name, Maker maker);
    template <typename Control>
    static bool Register(const char *name)
    {
        return Register(name, [](QWidget *parent, TVQQModuleBase *module, quint16 io, TVQControlHost *host)
                                  -> TVQBaseControl * { return new Control(parent, module, io, host); });
    }

    // Whether a class registered under that name.
    static bool Knows(const char *name);
    // None for a name no class registered (or no name).
    static TVQBaseControl *Create(const char *name, QWidget *parent, TVQQModuleBase *module, quint16 io,
                                  TVQControlHost *host);
};
