#include "TVQQIOTempModule.h"

void TVQQIOTempModule::SetOutputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_outputBits, 1);
    RefreshControls();
}

void TVQQIOTempModule::SetInputStatus(QByteArrayView payload)
{
    CopyPayload(payload, &m_inputBits, 1);
    RefreshControls();
}

void TVQQIOTempModule::SetTemperature(QByteArrayView payload)
{
    CopyPayload(payload, m_temperature.data(), 5);
    RefreshControls();
}

QString TVQQIOTempModule::DescribeState() const
{
    return QStringLiteral("inputs %1 outputs %2 temperature %3 %4 %5 %6 %7")
        .arg(Hex(m_inputBits), Hex(m_outputBits))
        .arg(m_temperature[0]).arg(m_temperature[1]).arg(m_temperature[2]).arg(m_temperature[3]).arg(m_temperature[4]);
}
