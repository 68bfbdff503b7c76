#include "TControlFactory.h"

#include <QByteArray>
#include <QHash>

namespace {

// Built on first use, so registrations from other files' static initialisers find it.
QHash<QByteArray, TControlFactory::Maker> &Makers()
{
    static QHash<QByteArray, TControlFactory::Maker> makers;
    return makers;
}

} // namespace

bool TControlFactory::Register(const char *name, Maker maker)
{
    Makers().insert(QByteArray(name), maker);
    return true;
}

TVQBaseControl *TControlFactory::Create(const char *name, QWidget *parent, TVQQModuleBase *module, quint16 io,
                                        TVQControlHost *host)
{
    const Maker maker = name ? Makers().value(QByteArray(name)) : nullptr;
    return maker ? maker(parent, module, io, host) : nullptr;
}
