#include "TVQQIn10VModule.h"

void TVQQIn10VModule::SetInputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.InputBits, 1);
    RefreshControls();
}

QString TVQQIn10VModule::DescribeState() const
{
    return QStringLiteral("inputs %1").arg(Hex(m_state.InputBits));
}
