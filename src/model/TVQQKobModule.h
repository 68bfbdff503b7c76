#pragma once

#include "TVQQModuleBase.h"

// Relay output modules (types 6, 8, 14, 40): bit n of OutputBits is output channel n.
class TVQQKobModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    void ToggleTestState(quint16 channel) override;
    void SetOutputStatus(QByteArrayView payload) override;
    void GetOutputStatus(quint8 &bits) const override { bits = m_outputBits; }
    void SendToggle(quint16 channel) override { SendIoCommand(channel); }
    void GetChannelState(quint8 &state, quint16 channel) const override { state = Bit(m_outputBits, channel); }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Kob; }

private:
    quint8 m_outputBits = 0;
};
