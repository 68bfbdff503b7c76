#include "TVQQIn10VInput.h"

#include "TVQImageManager.h"
#include "TVQQModuleBase.h"
#include "TVQQTorOutput.h"

#include <QFontMetrics>
#include <QPainter>

TVQQIn10VInput::TVQQIn10VInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
    , m_valueText(QStringLiteral("0%"))
{
    Initialize(TVQQTorOutput::OnOffStates());
}

void TVQQIn10VInput::RefreshComponentState()
{
    quint8 percent = 0;
    GetParentModule()->GetInputStatus(percent);
    const QString text = percent > 100 ? QStringLiteral("??") : QString::number(percent) + QLatin1Char('%');
    if (text == m_valueText)
        return;
    m_valueText = text;
    CheckSize();
    update();
}

QString TVQQIn10VInput::GetLabelText()
{
    QString text = ShowLabel() ? ComponentLabel() + QLatin1Char(' ') : QString();
    text += m_valueText;
    m_labelWidth = QFontMetrics(LabelFont()).horizontalAdvance(text) + 2;
    return text;
}

int TVQQIn10VInput::ComputeMaxWidth()
{
    const QFontMetrics metrics(LabelFont());
    QString sample = ShowLabel() ? ComponentLabel() : QString();
    sample += QStringLiteral(" 100%");
    m_labelWidth = metrics.horizontalAdvance(sample) + 2;
    const int w = metrics.horizontalAdvance(sample) + 4;
    m_imageWidth = (Picture() ? Picture()->Width() : 0) + 2;
    return m_imageWidth > w ? m_imageWidth : w;
}

void TVQQIn10VInput::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintIconFace(painter, true);
}
