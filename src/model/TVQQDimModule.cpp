#include "TVQQDimModule.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"

#include <QStringList>

void TVQQDimModule::ToggleTestState(quint16 channel)
{
    if (channel < 8)
        m_state.Levels[channel] = m_state.Levels[channel] != 0 ? 0 : 100;
}

void TVQQDimModule::SendDimLevel(quint16 channel, quint8 level)
{
    const quint16 index = GetApplication()->FindIoIndex(GetModuleNumber(), channel);
    if (GetLink() && index != TDataFileManager::NotFound)
        TFrameBuilder::BuildDimCommand(*GetLink(), index, level);
}

void TVQQDimModule::SetLevels(QByteArrayView payload)
{
    CopyPayload(payload, m_state.Levels.data(), 8);
    RefreshControls();
}

void TVQQDimModule::GetChannelState(quint8 &state, quint16 channel) const
{
    state = channel < 8 ? m_state.Levels[channel] : 0;
}

void TVQQDimModule::SetLevelTest(quint8 level, quint16 channel)
{
    if (channel < 8)
        m_state.Levels[channel] = level;
    GetApplication()->ModulePowerChanged(*this);
    RefreshControls();
}

QString TVQQDimModule::DescribeState() const
{
    QStringList levels;
    for (quint8 level : m_state.Levels)
        levels.append(QString::number(level));
    return QStringLiteral("levels %1").arg(levels.join(QLatin1Char(' ')));
}
