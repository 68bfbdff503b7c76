#pragma once

#include "TVQQModuleBase.h"

// Modules with inputs, outputs and a temperature (types 17, 33, 38, 50, 55).
class TVQQIOTempModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    bool IsLongPressIO(quint16 channel) const override { return IoLongPress(channel); }
    void ToggleTestState(quint16 channel) override { FlipBit(m_state.InputBits, channel); }
    void SetOutputStatus(QByteArrayView payload) override;
    void GetInputStatus(quint8 &bits) const override { bits = m_state.InputBits; }
    void GetOutputStatus(quint8 &bits) const override { bits = m_state.OutputBits; }
    void SetInputStatus(QByteArrayView payload) override;
    void GetTemperature(std::array<quint8, 5> &bytes) const override { bytes = m_state.Temperature; }
    void SetTemperature(QByteArrayView payload) override;
    void SendToggle(quint16 channel) override { SendIoCommand(channel); }
    void SendTemperatureCommand(quint16, quint8 command, quint8 value) override { SendTemperature(command, value); }
    void SendPushEvent(quint8 event, quint16 channel) override { SendValueEvent(event, channel); }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::IOTemp; }
};
