#pragma once

#include "TVQBaseControl.h"

// The dimmer, temperature sensor and 0-10 V controls until they have faces of their own: the
// picture of the first state and the label; their records load and save unchanged.
class TVQQPlainOutput : public TVQBaseControl
{
    Q_OBJECT

public:
    TVQQPlainOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);
};
