#include "TVQQTemp0xModule.h"

void TVQQTemp0xModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.OutputBits, 1);
    RefreshControls();
}

void TVQQTemp0xModule::SetTemperature(QByteArrayView payload)
{
    CopyPayload(payload, m_state.Temperature.data(), 5);
    RefreshControls();
}

QString TVQQTemp0xModule::DescribeState() const
{
    return QStringLiteral("outputs %1 temperature %2 %3 %4 %5 %6")
        .arg(Hex(m_state.OutputBits))
        .arg(m_state.Temperature[0]).arg(m_state.Temperature[1]).arg(m_state.Temperature[2]).arg(m_state.Temperature[3]).arg(m_state.Temperature[4]);
}
