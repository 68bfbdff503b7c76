#include "TVQQZulModule.h"

void TVQQZulModule::ToggleTestState(quint16 channel)
{
    const bool up = Bit(m_state.OutputBits, channel);
    SetBit(m_state.OutputBits, channel, !up);
    SetBit(m_state.OutputBits, quint16(channel + 1), up);
}

void TVQQZulModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.OutputBits, 1);
    RefreshControls();
}

void TVQQZulModule::GetChannelState(quint8 &state, quint16 channel) const
{
    if (Bit(m_state.OutputBits, channel))
        state = 1;
    else if (Bit(m_state.OutputBits, quint16(channel + 1)))
        state = 0;
    else
        state = 2;
}

QString TVQQZulModule::DescribeState() const
{
    return QStringLiteral("outputs %1").arg(Hex(m_state.OutputBits));
}
