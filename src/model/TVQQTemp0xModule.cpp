#include "TVQQTemp0xModule.h"

void TVQQTemp0xModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_outputBits, 1);
    RefreshControls();
}

void TVQQTemp0xModule::SetTemperature(QByteArrayView payload)
{
    CopyPayload(payload, m_temperature.data(), 5);
    RefreshControls();
}

QString TVQQTemp0xModule::DescribeState() const
{
    return QStringLiteral("outputs %1 temperature %2 %3 %4 %5 %6")
        .arg(Hex(m_outputBits))
        .arg(m_temperature[0]).arg(m_temperature[1]).arg(m_temperature[2]).arg(m_temperature[3]).arg(m_temperature[4]);
}
