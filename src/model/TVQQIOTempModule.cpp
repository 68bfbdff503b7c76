#include "TVQQIOTempModule.h"

void TVQQIOTempModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.OutputBits, 1);
    RefreshControls();
}

void TVQQIOTempModule::SetInputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_state.InputBits, 1);
    RefreshControls();
}

void TVQQIOTempModule::SetTemperature(QByteArrayView payload)
{
    CopyPayload(payload, m_state.Temperature.data(), 5);
    RefreshControls();
}

QString TVQQIOTempModule::DescribeState() const
{
    return QStringLiteral("inputs %1 outputs %2 temperature %3 %4 %5 %6 %7")
        .arg(Hex(m_state.InputBits), Hex(m_state.OutputBits))
        .arg(m_state.Temperature[0]).arg(m_state.Temperature[1]).arg(m_state.Temperature[2]).arg(m_state.Temperature[3]).arg(m_state.Temperature[4]);
}
