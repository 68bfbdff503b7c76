#include "TVQQKobModule.h"

#include "TDataFileManager.h"

void TVQQKobModule::ToggleTestState(quint16 channel)
{
    // No refresh: the clicked control repaints itself.
    FlipBit(m_state.OutputBits, channel);
    GetApplication()->ModulePowerChanged(*this);
}

void TVQQKobModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.OutputBits, 1);
    RefreshControls();
}

QString TVQQKobModule::DescribeState() const
{
    return QStringLiteral("outputs %1").arg(Hex(m_state.OutputBits));
}
