#include "TVQQNax08Module.h"

void TVQQNax08Module::SetInputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.InputBits, 1);
    RefreshControls();
}

QString TVQQNax08Module::DescribeState() const
{
    return QStringLiteral("inputs %1").arg(Hex(m_state.InputBits));
}
