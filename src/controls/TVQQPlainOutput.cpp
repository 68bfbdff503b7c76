#include "TVQQPlainOutput.h"

#include "TVQQTorOutput.h"

TVQQPlainOutput::TVQQPlainOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
{
    Initialize(TVQQTorOutput::OnOffStates());
}
