#pragma once

#include "TVQQModuleBase.h"

// Push-button modules (types 2-5, with 1, 2, 4 or 6 buttons): channels below the button count
// are the buttons (InputBits), the next ones their indicator outputs (OutputBits).
class TVQQBxModule : public TVQQModuleBase
{
public:
    TVQQBxModule(TDataFileManager *application, ModuleRecord *record, SerialPort *link);

    bool IsLongPressIO(quint16 channel) const override { return IoLongPress(channel); }
    void ToggleTestState(quint16 channel) override;
    void SetOutputStatus(QByteArrayView payload) override;
    void GetInputStatus(quint8 &bits) const override { bits = m_state.InputBits; }
    void GetOutputStatus(quint8 &bits) const override { bits = m_state.OutputBits; }
    void SetInputStatus(QByteArrayView payload) override;
    void SendToggle(quint16 channel) override { SendIoCommand(channel); }
    void SendPushEvent(quint8 event, quint16 channel) override { SendValueEvent(event, channel); }
    void GetChannelState(quint8 &state, quint16 channel) const override;
    quint8 ChannelPart(quint16 channel) const override { return channel < m_buttons ? PartInputs : PartOutputs; }
    QString DescribeState() const override;
    ModuleKind Kind() const override { return ModuleKind::Bx; }

    int ButtonCount() const { return m_buttons; }

private:
    int m_buttons = 0;
};
