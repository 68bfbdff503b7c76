#pragma once

#include "TVQQModuleBase.h"

// Thermostats (types 10, 11): outputs and the temperature bytes.
class TVQQTemp0xModule : public TVQQModuleBase
{
public:
    using TVQQModuleBase::TVQQModuleBase;

    void ToggleTestState(quint16 channel) override { FlipBit(m_state.OutputBits, channel); }
    void SetOutputStatus(QByteArrayView payload) override;
    void GetOutputStatus(quint8 &bits) const override { bits = m_state.OutputBits; }
    void GetTemperature(std::array<quint8, 5> &bytes) const override { bytes = m_state.Temperature; }
    void SetTemperature(QByteArrayView payload) override;
    void SendTemperatureCommand(quint16, quint8 command, quint8 value) override { SendTemperature(command, value); }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Temp0x; }
};
