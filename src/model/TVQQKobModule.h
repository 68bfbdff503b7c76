#pragma once

#include "TVQQModuleBase.h"

// Relay output modules (types 6, 8, 14, 40): bit n of OutputBits is output channel n.
class TVQQKobModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    void ToggleTestState(quint16 channel) override;
    void SetOutputStatus(QByteArrayView payload) override;
    void GetOutputStatus(quint8 &bits) const override { bits = m_state.OutputBits; }
    void SendToggle(quint16 channel) override { SendIoCommand(channel); }
    void GetChannelState(quint8 &state, quint16 channel) const override { state = Bit(m_state.OutputBits, channel); }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Kob; }
};
