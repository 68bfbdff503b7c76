#pragma once

#include "TVQQModuleBase.h"

// Input modules (types 1, 12, 15, 24): bit n of InputBits is input channel n.
class TVQQNax08Module : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    bool IsLongPressIO(quint16 channel) const override { return IoLongPress(channel); }
    void ToggleTestState(quint16 channel) override { FlipBit(m_state.InputBits, channel); }
    void GetInputStatus(quint8 &bits) const override { bits = m_state.InputBits; }
    void SetInputStatus(QByteArrayView payload) override;
    void SendPushEvent(quint8 event, quint16 channel) override { SendValueEvent(event, channel); }
    void GetChannelState(quint8 &state, quint16 channel) const override { state = Bit(m_state.InputBits, channel); }
    quint8 ChannelPart(quint16) const override { return PartInputs; }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Nax08; }
};
