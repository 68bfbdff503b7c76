#include "TPanelPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

using namespace PictureInk;

QImage TPanelPictures::Canvas(int w, int h, QColor fill)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QFont TPanelPictures::Font(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QImage TPanelPictures::Wall()
{
    QImage image = Canvas(800, 600, QColor(236, 233, 226));
    QPainter p(&image);
    QLinearGradient light(0, 0, 0, 600);
    light.setColorAt(0, QColor(244, 242, 236));
    light.setColorAt(1, QColor(222, 218, 208));
    p.fillRect(image.rect(), light);
    p.setPen(QPen(QColor(210, 205, 195), 1));
    for (int x = 0; x < 800; x += 40)
        p.drawLine(x, 0, x, 600);
    for (int y = 0; y < 600; y += 40)
        p.drawLine(0, y, 800, y);
    return image;
}

// The demo floor plan: rooms with their names, doors and windows.
QImage TPanelPictures::FloorPlan()
{
    QImage image = Canvas(800, 600, QColor(250, 248, 242));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    struct Room { QRect r; const char *name; QColor floor; };
    const Room rooms[] = {
        {{40, 40, 360, 260}, "Living room", QColor(240, 226, 200)},
        {{400, 40, 200, 160}, "Kitchen", QColor(222, 232, 236)},
        {{600, 40, 160, 160}, "Office", QColor(236, 230, 214)},
        {{400, 200, 360, 100}, "Hall", QColor(230, 230, 230)},
        {{40, 300, 240, 260}, "Bedroom", QColor(228, 222, 240)},
        {{280, 300, 160, 140}, "Bathroom", QColor(214, 236, 236)},
        {{280, 440, 160, 120}, "Cellar stairs", QColor(226, 226, 220)},
        {{440, 300, 320, 260}, "Garage", QColor(218, 218, 214)},
    };
    for (const Room &room : rooms) {
        p.fillRect(room.r, room.floor);
        p.setPen(QPen(QColor(70, 70, 75), 6));
        p.setBrush(Qt::NoBrush);
        p.drawRect(room.r);
    }
    // Doors: gaps in the walls with their swing.
    p.setPen(QPen(QColor(250, 248, 242), 8));
    const QLine doors[] = {{400, 240, 400, 280}, {470, 200, 510, 200}, {640, 200, 680, 200}, {130, 300, 170, 300},
                           {330, 300, 370, 300}, {440, 400, 440, 440}, {330, 440, 370, 440}};
    for (const QLine &d : doors)
        p.drawLine(d);
    // Windows: light blue marks on the outer walls.
    p.setPen(QPen(QColor(120, 180, 230), 6));
    const QLine windows[] = {{100, 40, 200, 40}, {250, 40, 340, 40}, {460, 40, 540, 40}, {650, 40, 720, 40},
                             {40, 380, 40, 470}, {40, 120, 40, 220}, {760, 80, 760, 160}};
    for (const QLine &w : windows)
        p.drawLine(w);
    p.setPen(QColor(90, 90, 100));
    p.setFont(Font(15, false));
    for (const Room &room : rooms)
        p.drawText(room.r.adjusted(10, 8, -10, -8), Qt::AlignBottom | Qt::AlignRight, QString::fromLatin1(room.name));
    p.setFont(Font(13, false));
    p.drawText(QRect(40, 566, 720, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Demo house - ground floor"));
    return image;
}

// The dimmer panel: level digits on the left, ON and OFF keys on the right, a bar track below,
// a close box for the pop-up variant.
QImage TPanelPictures::DimmerPanel()
{
    QImage image = Canvas(250, 130, QColor(232, 236, 242));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 130, 145), 2));
    p.setBrush(QColor(240, 243, 247));
    p.drawRoundedRect(QRectF(1, 1, 248, 128), 8, 8);
    p.setPen(QPen(QColor(150, 160, 175), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(8, 30, 122, 48), 5, 5);               // the digits
    for (const QRectF &key : {QRectF(180, 4, 60, 32), QRectF(180, 49, 60, 32)}) {
        QLinearGradient g(key.topLeft(), key.bottomLeft());
        g.setColorAt(0, QColor(252, 252, 253));
        g.setColorAt(1, QColor(205, 212, 222));
        p.setBrush(g);
        p.drawRoundedRect(key, 6, 6);
    }
    p.setBrush(QColor(225, 230, 237));
    p.drawRoundedRect(QRectF(6, 89, 238, 36), 5, 5);               // the level bar track
    p.setPen(QPen(QColor(150, 160, 175), 1, Qt::DotLine));
    for (int x = 8; x <= 215; x += 23)
        p.drawLine(QPointF(x + 21, 93), QPointF(x + 21, 121));
    // No close box: the pop-up panel draws its own, the always-open one has none.
    return image;
}

QImage TPanelPictures::Key(const QString &sign, int w, int h, int left)
{
    QImage image = Canvas(left + w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(252, 252, 253));
    g.setColorAt(1, QColor(200, 208, 220));
    p.setPen(QPen(QColor(110, 120, 135), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(left + 1, 1, w - 2, h - 2), 6, 6);
    if (!sign.isEmpty()) {
        p.setPen(QColor(40, 60, 90));
        p.setFont(Font(h - 10));
        p.drawText(QRectF(left, 0, w, h), Qt::AlignCenter, sign);
    }
    return image;
}

QImage TPanelPictures::CloseBox()
{
    QImage image = Canvas(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 120, 135), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1, 1, 18, 18), 3, 3);
    p.setPen(QPen(QColor(90, 95, 105), 2));
    p.drawLine(QPointF(6, 6), QPointF(14, 14));
    p.drawLine(QPointF(14, 6), QPointF(6, 14));
    return image;
}

// The 0-10 V dial: 140 x 140, centre (70, 70), a 300-degree scale from the lower left.
QImage TPanelPictures::Dial()
{
    QImage image = Canvas(140, 140, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 95, 105), 2));
    p.setBrush(QColor(248, 249, 251));
    p.drawEllipse(QPointF(70, 70), 67, 67);
    p.setPen(QPen(k_ink, 1.5));
    p.setFont(Font(9, false));
    for (int i = 0; i <= 10; ++i) {
        const double angle = qDegreesToRadians(30.0 + 30.0 * i);
        const QPointF outer(70 - 62 * std::sin(angle), 70 + 62 * std::cos(angle));
        const QPointF inner(70 - 54 * std::sin(angle), 70 + 54 * std::cos(angle));
        p.drawLine(inner, outer);
        const QPointF text(70 - 44 * std::sin(angle), 70 + 44 * std::cos(angle));
        p.drawText(QRectF(text.x() - 12, text.y() - 7, 24, 14), Qt::AlignCenter, QString::number(i * 10));
    }
    p.setBrush(k_ink);
    p.drawEllipse(QPointF(70, 70), 4, 4);
    return image;
}

// The power gauge: a quarter dial swept by the needle from 0 to 90 degrees.
// The power gauge: the needle turns clockwise about the pivot (49, 143), from pointing right (no
// power) to pointing down (the maximum), so the scale is the quarter circle below and right of it.
QImage TPanelPictures::GaugeDial()
{
    const QPointF pivot(49, 143);
    // A JPEG has no exact key colour, so the face fills the whole picture.
    QImage image = Canvas(150, 232, QColor(248, 249, 251));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 95, 105), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 148, 230));
    p.setPen(k_ink);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold));
    p.drawText(QRectF(0, 12, 150, 20), Qt::AlignCenter, QStringLiteral("POWER"));
    p.setPen(QPen(QColor(220, 60, 50), 6, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(pivot.x() - 80, pivot.y() - 80, 160, 160), -70 * 16, -20 * 16);
    p.setPen(QPen(k_ink, 1.5));
    for (int i = 0; i <= 9; ++i) {
        const double a = qDegreesToRadians(90.0 * i / 9);
        p.drawLine(pivot + QPointF(74 * std::cos(a), 74 * std::sin(a)), pivot + QPointF(86 * std::cos(a), 86 * std::sin(a)));
    }
    p.setBrush(k_ink);
    p.drawEllipse(pivot, 4, 4);
    return image;
}

// The needle at rest, pointing right from its base at the left edge.
QImage TPanelPictures::Needle()
{
    QImage image = Canvas(84, 6, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(k_red);
    QPainterPath needle;
    needle.moveTo(0, 1);
    needle.lineTo(83, 3);
    needle.lineTo(0, 5);
    needle.closeSubpath();
    p.drawPath(needle);
    return image;
}
