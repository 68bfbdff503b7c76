#include "TVQJaugeControl.h"

#include <QtMath>
#include <cmath>

TVQJaugeControl::TVQJaugeControl(QWidget *parent, const TVisualJaugeData &record, TVQControlHost *host)
    : TVQRecordControl<TVisualJaugeData>(parent, record, host)
{
    CheckSize();
}

const TVQPicture *TVQJaugeControl::Dial() const
{
    return TVQImageManager::GetInstance().GetControlImage(QStringLiteral("jauge_modif6.jpg"));
}

const TVQPicture *TVQJaugeControl::Needle() const
{
    return TVQImageManager::GetInstance().GetControlImage(QStringLiteral("jnail.bmp"));
}

void TVQJaugeControl::SetPower(quint16 power)
{
    if (power == m_power)
        return;
    m_power = power;
    update();
}

int TVQJaugeControl::Angle() const
{
    // The record's third extra field is the angle shown without a maximum.
    return m_maximum != 0 ? m_power * 90 / m_maximum : StoredRecord().Extra3;
}

void TVQJaugeControl::CheckSize()
{
    const int w = Dial()->Width() + 2;
    const int h = Dial()->Height() + TVQBaseControl::LabelMetrics().height() + 2 + 140;
    if (w != width() || h != height())
        resize(w, h);
}

QImage TVQJaugeControl::RotateNeedle(const QImage &needle, int degrees)
{
    const QImage source = needle.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width();
    const int h = source.height();
    const double a = degrees * 6.2832 / 360;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double xs[] = {-h * s, w * c - h * s, w * c};
    const double ys[] = {h * c, h * c + w * s, w * s};
    const double minX = std::min({0.0, xs[0], xs[1], xs[2]});
    const double minY = std::min({0.0, ys[0], ys[1], ys[2]});
    const double maxX = std::max({xs[0], xs[1], xs[2]});
    const double maxY = std::max({ys[0], ys[1], ys[2]});
    QImage rotated(int(std::ceil(std::abs(maxX) - minX)), int(std::ceil(std::abs(maxY) - minY)), QImage::Format_ARGB32);
    rotated.fill(w > 0 && h > 0 ? source.pixel(0, 0) : 0u);
    // Every pixel of the turned picture is taken from the needle (the whole picture, so that
    // no part of a long needle is cut off at larger angles).
    for (int y = 0; y < rotated.height(); ++y) {
        for (int x = 0; x < rotated.width(); ++x) {
            const int sx = int(std::trunc((x + minX) * c + (y + minY) * s));
            const int sy = int(std::trunc((y + minY) * c - (x + minX) * s));
            if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                rotated.setPixel(x, y, source.pixel(sx, sy));
        }
    }
    return rotated;
}

QPoint TVQJaugeControl::NeedlePosition(int degrees, int rotatedHeight)
{
    const double b = degrees * M_PI / 180;
    return QPoint(48, int(std::trunc(58 + 84 * std::sin(b) - (rotatedHeight - 87))));
}

void TVQJaugeControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const TVQPicture *dial = Dial();
    const int x = width() > 140 ? (width() - dial->Width()) / 2 : 0;
    painter.drawPixmap(x, 0, dial->Pixmap(true));
    const int angle = Angle();
    const QImage needle = RotateNeedle(Needle()->Pixmap(true).toImage(), angle);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(TVQBaseControl::LabelFont());
    const QString unit = QStringLiteral("kw");
    TVQBaseControl::DrawTextTop(painter, dial->Width() / 2 - painter.fontMetrics().horizontalAdvance(unit) / 2, dial->Height() / 2, unit);
    painter.drawImage(NeedlePosition(angle, needle.height()), needle);
}
