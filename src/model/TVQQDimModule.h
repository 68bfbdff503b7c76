#pragma once

#include "TVQQModuleBase.h"

// Dimmer modules (types 9, 36): the level of channels 0-7 in percent.
class TVQQDimModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    void ToggleTestState(quint16 channel) override;
    void SendToggle(quint16 channel) override { SendIoCommand(channel); }
    void SendDimLevel(quint16 channel, quint8 level) override;
    void SetLevels(QByteArrayView payload) override;
    void GetLevels(std::array<quint8, 8> &levels) const override { levels = m_state.Levels; }
    void GetChannelState(quint8 &state, quint16 channel) const override;
    quint8 ChannelPart(quint16) const override { return PartLevels; }
    void SetLevelTest(quint8 level, quint16 channel) override;
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Dim; }
};
