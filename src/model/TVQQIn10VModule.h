#pragma once

#include "TVQQModuleBase.h"

// 0-10 V input modules (type 31): the input byte the module reports.
class TVQQIn10VModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    bool IsLongPressIO(quint16 channel) const override { return IoLongPress(channel); }
    void GetInputStatus(quint8 &bits) const override { bits = m_state.InputBits; }
    quint8 ChannelPart(quint16) const override { return PartInputs; }
    void SetInputStatus(QByteArrayView payload) override;
    void SendPushEvent(quint8 event, quint16 channel) override { SendValueEvent(event, channel); }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::In10V; }
};
