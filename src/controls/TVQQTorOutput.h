#pragma once

#include "TVQBaseControl.h"

// A switched output such as a relay, shown On or Off. In run time a click sends the module a
// toggle command; in test it flips the simulated state only.
class TVQQTorOutput : public TVQBaseControl
{
    Q_OBJECT

public:
    TVQQTorOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);

    void RefreshComponentState() override;
    // 1 On, 2 Off; anything else keeps the picture.
    void SetTorState(int state);
    // The output bit of the channel: the channel, less the buttons on push-button modules.
    static int OutputBit(quint16 moduleType, quint16 ioIndex);
    // The two states of the on/off controls.
    static const std::vector<ControlStateInfo> &OnOffStates();

protected:
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;
};
