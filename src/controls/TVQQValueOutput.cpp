#include "TVQQValueOutput.h"

#include "TVQImageManager.h"
#include "TVQQModuleBase.h"
#include "TVQQTorOutput.h"

#include <QFontMetrics>
#include <QPainter>

TVQQValueOutput::TVQQValueOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host, Value value)
    : TVQBaseControl(parent, module, ioIndex, host)
    , m_value(value)
    , m_valueText(value == Value::Temperature ? QString::fromUtf8("?,?°C") : QStringLiteral("0%"))
{
    Initialize(TVQQTorOutput::OnOffStates());
}

void TVQQValueOutput::RefreshComponentState()
{
    QString text;
    switch (m_value) {
    case Value::DimmerLevel: {
        std::array<quint8, 8> levels{};
        GetParentModule()->GetLevels(levels);
        text = QString::number(IOIndex() < 8 ? levels[IOIndex()] : 0) + QLatin1Char('%');
        break;
    }
    case Value::Temperature: {
        std::array<quint8, 5> bytes{};
        GetParentModule()->GetTemperature(bytes);
        text = QStringLiteral("%1,%2").arg(bytes[0]).arg(bytes[1]) + QString::fromUtf8("°C");
        break;
    }
    case Value::InputPercent: {
        quint8 percent = 0;
        GetParentModule()->GetInputStatus(percent);
        text = percent > 100 ? QStringLiteral("??") : QString::number(percent) + QLatin1Char('%');
        break;
    }
    }
    if (text == m_valueText)
        return;
    m_valueText = text;
    CheckSize();
    update();
}

QString TVQQValueOutput::GetLabelText()
{
    QString text = ShowLabel() ? ComponentLabel() + QLatin1Char(' ') : QString();
    text += m_valueText;
    m_labelWidth = QFontMetrics(LabelFont()).horizontalAdvance(text) + 2;
    return text;
}

int TVQQValueOutput::ComputeMaxWidth()
{
    const QFontMetrics metrics(LabelFont());
    QString sample = ShowLabel() ? ComponentLabel() : QString();
    sample += m_value == Value::Temperature ? QString::fromUtf8(" 99,9°C") : QStringLiteral(" 100%");
    m_labelWidth = metrics.horizontalAdvance(sample) + 2;
    const int w = metrics.horizontalAdvance(sample) + 4;
    m_imageWidth = (Picture() ? Picture()->Width() : 0) + 2;
    return m_imageWidth > w ? m_imageWidth : w;
}

void TVQQValueOutput::paintEvent(QPaintEvent *)
{
    // The base layout, with the text always drawn.
    QPainter painter(this);
    if (Picture() && !Picture()->IsEmpty())
        painter.drawPixmap((width() - m_imageWidth) / 2, 0, Picture()->Pixmap(CurrentState() && CurrentState()->Transparent));
    painter.setFont(LabelFont());
    const QString text = GetLabelText();
    DrawOutlinedText(painter, QPoint(qMax(0, (width() - m_labelWidth) / 2), m_imageHeight + 2), text);
}

void TVQQValueOutput::OnControlMouseDownChild(Qt::MouseButton, QPoint)
{
    // A click on a dimmer's icon toggles it; sensors and inputs only show.
    if (m_value != Value::DimmerLevel)
        return;
    if (ControlMode() == ModeRunTime) {
        GetParentModule()->SendToggle(IOIndex());
    } else if (ControlMode() == ModeTest) {
        GetParentModule()->ToggleTestState(IOIndex());
        GetParentModule()->RefreshControls();
    }
}
