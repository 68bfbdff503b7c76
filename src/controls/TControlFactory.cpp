#include "TControlFactory.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Built on first use, so registrations from other files' static initialisers find it. A handful
// of classes: a look-up by comparing names costs less than hashing a copy of the name, which a
// project's open did for every control.
std::vector<std::pair<std::string, TControlFactory::Maker>> &Makers()
{
    static std::vector<std::pair<std::string, TControlFactory::Maker>> makers;
    return makers;
}

// The maker registered under that name, or none.
TControlFactory::Maker Found(const char *name)
{
    if (!name)
        return nullptr;
    for (const auto &[registered, maker] : Makers()) {
        if (std::strcmp(registered.c_str(), name) == 0)
            return maker;
    }
    return nullptr;
}

} // namespace

bool TControlFactory::Register(const char *name, Maker maker)
{
    for (auto &[registered, made] : Makers()) {
        if (registered == name) {
            made = maker;
            return true;
        }
    }
    Makers().emplace_back(name, maker);
    return true;
}

bool TControlFactory::Knows(const char *name)
{
    return Found(name) != nullptr;
}

TVQBaseControl *TControlFactory::Create(const char *name, QWidget *parent, TVQQModuleBase *module, quint16 io,
                                        TVQControlHost *host)
{
    const Maker maker = Found(name);
    return maker ? maker(parent, module, io, host) : nullptr;
}
