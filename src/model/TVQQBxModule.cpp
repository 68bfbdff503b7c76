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
        FlipBit(m_inputBits, channel);
    else
        FlipBit(m_outputBits, quint16(channel - m_buttons));
}

void TVQQBxModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_outputBits, 1);
    RefreshControls();
}

void TVQQBxModule::SetInputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_inputBits, 1);
    RefreshControls();
}

void TVQQBxModule::GetChannelState(quint8 &state, quint16 channel) const
{
    state = channel < m_buttons ? Bit(m_inputBits, channel) : Bit(m_outputBits, quint16(channel - m_buttons));
}

QString TVQQBxModule::DescribeState() const
{
    return QStringLiteral("inputs %1 outputs %2").arg(Hex(m_inputBits), Hex(m_outputBits));
}
