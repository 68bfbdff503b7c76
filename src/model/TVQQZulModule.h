#pragma once

#include "TVQQModuleBase.h"

// Shutter modules (types 7, 30): channel c drives bit c ("up") and bit c+1 ("down").
class TVQQZulModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    void ToggleTestState(quint16 channel) override;
    void SetOutputStatus(QByteArrayView payload) override;
    void GetOutputStatus(quint8 &bits) const override { bits = m_state.OutputBits; }
    void SendToggle(quint16 channel) override { SendIoCommand(channel); }
    // 1 up, 0 down, 2 neither.
    void GetChannelState(quint8 &state, quint16 channel) const override;
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Zul; }
};
