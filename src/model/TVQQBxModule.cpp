#include "TVQQBxModule.h"

#include "InstallationRecords.h"

TVQQBxModule::TVQQBxModule(TDataFileManager *application, ModuleRecord *record, SerialPort *link)
    : TVQQModuleBase(application, record, link)
    , m_buttons(TModuleTypes::ButtonCount(record->ModuleType))
{
}

void TVQQBxModule::ToggleTestState(quint16 channel)
{
    if (channel < m_buttons)
        FlipBit(m_state.InputBits, channel);
    else
        FlipBit(m_state.OutputBits, quint16(channel - m_buttons));
}

void TVQQBxModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.OutputBits, 1);
    RefreshControls();
}

void TVQQBxModule::SetInputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.InputBits, 1);
    RefreshControls();
}

void TVQQBxModule::GetChannelState(quint8 &state, quint16 channel) const
{
    state = channel < m_buttons ? Bit(m_state.InputBits, channel) : Bit(m_state.OutputBits, quint16(channel - m_buttons));
}

QString TVQQBxModule::DescribeState() const
{
    return QStringLiteral("inputs %1 outputs %2").arg(Hex(m_state.InputBits), Hex(m_state.OutputBits));
}
