#include "TVQQIn10VInput.h"

#include "TControlFactory.h"
#include "InstallationRecords.h"
#include "TCodePage.h"
#include "TOutlinedLabel.h"
#include "TVQImageManager.h"
#include "TVQQModuleBase.h"
#include "TVQQTorOutput.h"

#include <QFontMetrics>
#include <QLocale>
#include <QHash>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace {
[[maybe_unused]] const bool k_registered = TControlFactory::Register<TVQQIn10VInput>("TVQQIn10VInput");
} // namespace

namespace {

constexpr int DialSize = 140;

// The scaling entry: minimum and maximum as little-endian signed words in tenths of the unit,
// then the unit text up to a zero byte.
qint16 Word(const Param32Record &entry, int at)
{
    return qint16(quint16(entry.Params[size_t(at)]) | quint16(entry.Params[size_t(at) + 1]) << 8);
}

} // namespace

TVQQIn10VInput::TVQQIn10VInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
{
    m_dialImage = TVQImageManager::GetInstance().GetControlImage(QStringLiteral("Cpt140.bmp"));
    Initialize(TVQQTorOutput::OnOffStates());
    TVQBaseControl::SetDisplayType(1);
}

void TVQQIn10VInput::SetDisplayType(quint8 type)
{
    const quint8 mapped = type == 2 || type == 3 ? type : 1;
    if (mapped == DisplayType())
        return;
    TVQBaseControl::SetDisplayType(mapped);
    Resize();
    update();
}

bool TVQQIn10VInput::SetParametreIO(const Param32Record *parameters)
{
    if (parameters != m_parameters) {
        m_parameters = parameters;
        Resize();
        update();
    }
    return true;
}

void TVQQIn10VInput::RefreshComponentState()
{
    quint8 value = 0;
    GetParentModule()->GetInputStatus(value);
    SetInValue(value);
}

void TVQQIn10VInput::SetInValue(quint8 value)
{
    if (value == m_value)
        return;
    m_value = value;
    update();
}

QString TVQQIn10VInput::UnitText() const
{
    if (!m_parameters)
        return QString();
    const auto begin = m_parameters->Params.begin() + 4;
    const auto end = std::find(begin, m_parameters->Params.end(), quint8(0));
    return TCodePage::ToDisplay(QByteArrayView(reinterpret_cast<const char *>(&*begin), end - begin));
}

QString TVQQIn10VInput::GetValueString(int p, bool withUnit) const
{
    if (p > 100)
        return QStringLiteral("??");
    if (!m_parameters)
        return QString::number(p) + QLatin1Char('%');
    const double minimum = Word(*m_parameters, 0);
    const double maximum = Word(*m_parameters, 2);
    const double value = minimum / 10 + p * (maximum - minimum) / 1000;
    // Nearest hundredth, ties to even; adding 0 turns a negative zero into 0.
    const double rounded = std::nearbyint(value * 100) / 100 + 0.0;
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(rounded, 'g', 15);
    if (withUnit)
        text += QLatin1Char(' ') + UnitText();
    return text;
}

QString TVQQIn10VInput::GetText(int p) const
{
    QString text = ShowLabel() ? ComponentLabel() : QString();
    if (ShowValue())
        text += (ShowLabel() ? QStringLiteral(" ") : QString()) + GetValueString(p, true);
    return text;
}

QString TVQQIn10VInput::GetLabelText()
{
    QString text = GetText(m_value);
    if (Trust() == StateTrust::Unknown && ShowValue())
        text = (ShowLabel() ? ComponentLabel() + QLatin1Char(' ') : QString()) + QStringLiteral("?");
    return text;
}

QString TVQQIn10VInput::WidestValue(int pointSize) const
{
    static auto *widest = new QHash<QString, QString>;
    const QString key = m_parameters ? QStringLiteral("%1|%2|%3|%4").arg(Word(*m_parameters, 0)).arg(Word(*m_parameters, 2)).arg(UnitText()).arg(pointSize)
                                     : QStringLiteral("%|%1").arg(pointSize);
    const auto found = widest->constFind(key);
    if (found != widest->constEnd())
        return *found;
    const QFontMetrics &metrics = LabelMetrics(pointSize);
    QString best;
    int bestWidth = -1;
    for (int p = 0; p < 100; ++p) {
        const QString value = GetValueString(p, true);
        const int width = metrics.horizontalAdvance(value);
        if (width > bestWidth) {
            bestWidth = width;
            best = value;
        }
    }
    widest->insert(key, best);
    return best;
}

int TVQQIn10VInput::ComputeMaxWidth()
{
    int textWidth = 0;
    if (DisplayType() == 3 || !ShowValue()) {
        textWidth = LabelWidth(ShowLabel() || DisplayType() == 3 ? ComponentLabel() : QString()) + 2;
    } else {
        const QString label = ShowLabel() ? ComponentLabel() + QLatin1Char(' ') : QString();
        textWidth = MeasuredWidth(label + WidestValue(8)) + 2;
    }
    int faceWidth = 0;
    if (DisplayType() == 2) {
        faceWidth = LabelWidth(WidestValue(16), 16) + 2;
    } else if (DisplayType() == 3) {
        faceWidth = DialSize;
    } else {
        m_imageWidth = (Picture() ? Picture()->Width() : 0) + 2;
        faceWidth = m_imageWidth;
    }
    return std::max(textWidth, faceWidth);
}

void TVQQIn10VInput::CheckSize()
{
    // The label's measures come first so that the first size already holds the text line.
    const QFontMetrics &small = LabelMetrics();
    m_labelHeight = small.height() + 2;
    m_imageHeight = (Picture() ? Picture()->Height() : 0) + 2;
    m_imageWidth = (Picture() ? Picture()->Width() : 0) + 2;
    const int w = ComputeMaxWidth();
    int h = m_imageHeight + m_labelHeight + 1;
    if (DisplayType() == 2)
        h = LabelMetrics(16).height() + 2 + m_labelHeight + 1;
    else if (DisplayType() == 3)
        h = small.height() + 2 + DialSize;
    if (w != width() || h != height())
        resize(w, h);
}

QPoint TVQQIn10VInput::NeedleEnd(int value, int dx)
{
    const double angle = qDegreesToRadians(30.0 + 3.0 * value);
    return QPoint(dx + int(std::trunc(70 - 60 * std::sin(angle))), int(std::trunc(70 + 60 * std::cos(angle))));
}

void TVQQIn10VInput::PaintCounter(QPainter &painter)
{
    const int dx = width() > DialSize ? (width() - DialSize) / 2 : 0;
    painter.setOpacity(FaceOpacity());
    painter.drawPixmap(dx, 0, m_dialImage->Pixmap(true));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.drawLine(QPoint(dx + 70, 70), NeedleEnd(m_value, dx));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(LabelFont(10));
    DrawCentredText(painter, dx + 70, 78, ValueOrUnknown(GetValueString(m_value, false)));
    const int valueHeight = painter.fontMetrics().height();
    painter.setFont(LabelFont());
    DrawCentredText(painter, dx + 70, 80 + valueHeight, UnitText());
    // The label stays centred on the dial's own centre line, whatever the control's width.
    const QString label = ComponentLabel();
    TOutlinedLabel::Draw(painter, QPoint(std::max(1, 70 - painter.fontMetrics().horizontalAdvance(label) / 2), 142), label);
}

void TVQQIn10VInput::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (DisplayType() == 3) {
        PaintCounter(painter);
        return;
    }
    if (DisplayType() != 2) {
        PaintIconFace(painter, true);
        return;
    }
    painter.setFont(LabelFont(16));
    painter.setPen(Qt::black);
    painter.setOpacity(FaceOpacity());
    const QString value = ValueOrUnknown(GetValueString(m_value, true));
    DrawTextTop(painter, (width() - painter.fontMetrics().horizontalAdvance(value)) / 2, 0, value);
    const int labelTop = painter.fontMetrics().height() + 2;
    painter.setFont(LabelFont());
    const QString text = GetLabelText();
    TOutlinedLabel::DrawCentred(painter, width(), labelTop, text);
}

void TVQQIn10VInput::OnControlMouseDownChild(Qt::MouseButton, QPoint)
{
    if (ControlMode() == RunMode::Test)
        GetParentModule()->RefreshControls();
}

void TVQQIn10VInput::OnControlMouseUpChild(Qt::MouseButton, QPoint) {}
