#include "TVQJaugeControl.h"

#include <QHash>
#include <QPaintEvent>
#include <QtMath>

#include <array>
#include <cmath>

namespace {

// Where the needle's turned picture lies: its corners turned by `degrees`, the smallest corner
// at the origin.
struct TurnedBox
{
    double C, S, MinX, MinY;
    QSize Size;
};

TurnedBox Turned(QSize needle, int degrees)
{
    const int w = needle.width();
    const int h = needle.height();
    const double a = degrees * 6.2832 / 360;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double xs[] = {-h * s, w * c - h * s, w * c};
    const double ys[] = {h * c, h * c + w * s, w * s};
    const double minX = std::min({0.0, xs[0], xs[1], xs[2]});
    const double minY = std::min({0.0, ys[0], ys[1], ys[2]});
    const double maxX = std::max({xs[0], xs[1], xs[2]});
    const double maxY = std::max({ys[0], ys[1], ys[2]});
    return {c, s, minX, minY, QSize(int(std::ceil(std::abs(maxX) - minX)), int(std::ceil(std::abs(maxY) - minY)))};
}

} // namespace

TVQJaugeControl::TVQJaugeControl(QWidget *parent, const TVisualJaugeData &record, TVQControlHost *host)
    : TVQRecordControl<TVisualJaugeData>(parent, record, host)
{
    Resize();
}

const TVQPicture *TVQJaugeControl::Dial() const
{
    return TVQImageManager::GetInstance().GetControlImage(QStringLiteral("jauge_modif6.jpg"));
}

const TVQPicture *TVQJaugeControl::Needle() const
{
    return TVQImageManager::GetInstance().GetControlImage(QStringLiteral("jnail.bmp"));
}

// The gauge shows the power only through the needle's whole-degree angle: a change that leaves
// the angle as it was repaints nothing (on a refresh burst the power changes with every frame),
// and a new angle repaints only where the needle was and where it goes.
void TVQJaugeControl::SetPower(quint16 power)
{
    const int before = Angle();
    m_own.Power = power;
    NeedleMoved(before);
}

void TVQJaugeControl::SetMaximum(quint16 maximum)
{
    const int before = Angle();
    m_own.Maximum = maximum;
    NeedleMoved(before);
}

void TVQJaugeControl::Follow(std::shared_ptr<const TPowerReading> reading)
{
    const int before = Angle();
    m_reading = std::move(reading);
    NeedleMoved(before);
}

void TVQJaugeControl::ReadingChanged(const TPowerReading &before)
{
    NeedleMoved(AngleOf(before));
}

void TVQJaugeControl::NeedleMoved(int before)
{
    const int after = Angle();
    // A gauge not painted yet paints whole when it is first shown; one whose window cannot paint
    // now (hidden under others) paints whole when it can.
    if (after == before || m_needleSize.isEmpty() || !updatesEnabled())
        return;
    // Until the next paint, a move within what is already to repaint asks for nothing more: a
    // burst moves the needle with every frame, faster than the window repaints.
    const QRect moved = NeedlePlace(m_needleSize, before) | NeedlePlace(m_needleSize, after);
    if (m_toRepaint.contains(moved))
        return;
    m_toRepaint |= moved;
    update(m_toRepaint);
}

QRect TVQJaugeControl::NeedlePlace(QSize needle, int angle)
{
    const auto place = [needle](int angle) {
        const QSize turned = Turned(needle, angle).Size;
        return QRect(NeedlePosition(angle, turned.height()), turned);
    };
    // Every gauge's needle takes the same places on the scale: each is worked out once.
    static QSize placesOf;
    static std::array<QRect, 91> places;
    if (angle < 0 || angle >= int(places.size()))
        return place(angle);
    if (needle != placesOf) {
        places.fill(QRect());
        placesOf = needle;
    }
    QRect &known = places[size_t(angle)];
    if (known.isNull())
        known = place(angle);
    return known;
}

const QImage &TVQJaugeControl::TurnedNeedle(int angle) const
{
    // Turning the needle takes every pixel in turn: each angle is turned once for every gauge.
    static QHash<std::pair<qint64, int>, QImage> turned;
    const QPixmap &picture = Needle()->Pixmap(true);
    const std::pair<qint64, int> key{picture.cacheKey(), angle};
    auto found = turned.constFind(key);
    if (found == turned.constEnd()) {
        if (turned.size() >= 512)
            turned.clear();
        found = turned.insert(key, RotateNeedle(picture.toImage(), angle));
    }
    return *found;
}

int TVQJaugeControl::AngleOf(const TPowerReading &reading) const
{
    // The record's third extra field is the angle shown without a maximum.
    return reading.Maximum != 0 ? reading.Power * 90 / reading.Maximum : StoredRecord().Extra3;
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
    const TurnedBox box = Turned(source.size(), degrees);
    const double c = box.C, s = box.S, minX = box.MinX, minY = box.MinY;
    QImage rotated(box.Size, QImage::Format_ARGB32);
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

void TVQJaugeControl::paintEvent(QPaintEvent *event)
{
    m_toRepaint = QRect();
    QPainter painter(this);
    const TVQPicture *dial = Dial();
    const int x = width() > 140 ? (width() - dial->Width()) / 2 : 0;
    // Pictures are drawn one to one: only their part in the repainted area (the needle's moves
    // repaint a corner of the gauge).
    const QRect repainted = event->rect();
    const QPixmap &face = dial->Pixmap(true);
    if (const QRect part = QRect(QPoint(x, 0), face.size()) & repainted; !part.isEmpty())
        painter.drawPixmap(part.topLeft(), face, part.translated(-x, 0));
    const int angle = Angle();
    const QImage needle = TurnedNeedle(angle);
    m_needleSize = Needle()->Pixmap(true).size();
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(TVQBaseControl::LabelFont());
    // The unit is shaped only when its place is repainted, and measured once for its font: the
    // needle's moves mostly repaint elsewhere.
    const QString unit = QStringLiteral("kw");
    static QFont measuredFont;
    static int unitWidth = -1;
    const QFontMetrics metrics = painter.fontMetrics();
    if (unitWidth < 0 || painter.font() != measuredFont) {
        measuredFont = painter.font();
        unitWidth = metrics.horizontalAdvance(unit);
    }
    const QPoint unitAt(dial->Width() / 2 - unitWidth / 2, dial->Height() / 2);
    if (repainted.intersects(QRect(unitAt.x() - metrics.height(), unitAt.y(), unitWidth + 2 * metrics.height(), metrics.height())))
        TVQBaseControl::DrawTextTop(painter, unitAt.x(), unitAt.y(), unit);
    const QPoint at = NeedlePosition(angle, needle.height());
    if (const QRect part = QRect(at, needle.size()) & repainted; !part.isEmpty())
        painter.drawImage(part.topLeft(), needle, part.translated(-at));
}
