#include "TVQQKobModule.h"

#include "TDataFileManager.h"

void TVQQKobModule::ToggleTestState(quint16 channel)
{
    // No refresh: the clicked control repaints itself.
    FlipBit(m_outputBits, channel);
    GetApplication()->RecomputePower(false);
}

void TVQQKobModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_outputBits, 1);
    RefreshControls();
}

QString TVQQKobModule::DescribeState() const
{
    return QStringLiteral("outputs %1").arg(Hex(m_outputBits));
}
