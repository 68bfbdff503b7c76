#include "TPictureGenerator.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace {

const QColor k_ink(40, 44, 52);
const QColor k_off(150, 156, 166);
const QColor k_on(255, 196, 0);
const QColor k_green(40, 170, 80);
const QColor k_blue(30, 110, 200);
const QColor k_red(210, 50, 40);

using Draw = std::function<void(QPainter &)>;

QImage Canvas(int w, int h, QColor fill = Qt::transparent)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

bool Save(const QImage &image, const QString &path, QString &error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path)) {
        error = QStringLiteral("Cannot write ") + path;
        return false;
    }
    return true;
}

QImage Icon(const Draw &draw)
{
    QImage image = Canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

QFont Font(int pixelSize, bool bold = true)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A light bulb: yellow with a glow when on, grey when off.
void Bulb(QPainter &p, bool on, QColor colour = k_on)
{
    if (on) {
        QRadialGradient glow(QPointF(16, 13), 15);
        glow.setColorAt(0, QColor(colour.red(), colour.green(), colour.blue(), 150));
        glow.setColorAt(1, QColor(colour.red(), colour.green(), colour.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(16, 13), 15, 15);
    }
    p.setPen(QPen(k_ink, 1.5));
    p.setBrush(on ? colour : QColor(225, 228, 232));
    QPainterPath bulb;
    bulb.moveTo(12, 21);
    bulb.cubicTo(5, 16, 7, 4, 16, 4);
    bulb.cubicTo(25, 4, 27, 16, 20, 21);
    bulb.closeSubpath();
    p.drawPath(bulb);
    p.setBrush(k_off);
    p.drawRoundedRect(QRectF(12, 21, 8, 6), 1.5, 1.5);
    p.drawLine(QPointF(13, 24), QPointF(19, 24));
}

void Led(QPainter &p, bool on)
{
    if (on) {
        QRadialGradient glow(QPointF(16, 16), 14);
        glow.setColorAt(0, QColor(80, 255, 120, 170));
        glow.setColorAt(1, QColor(80, 255, 120, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(16, 16), 14, 14);
    }
    p.setPen(QPen(k_ink, 1.5));
    p.setBrush(on ? QColor(60, 220, 100) : QColor(70, 90, 75));
    p.drawEllipse(QPointF(16, 16), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, on ? 200 : 90));
    p.drawEllipse(QPointF(14, 14), 2.2, 2.2);
}

// A push-button plate with `buttons` keys; `on` lights them.
void Buttons(QPainter &p, int buttons, bool on)
{
    p.setPen(QPen(k_ink, 1.2));
    p.setBrush(QColor(245, 246, 248));
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 4, 4);
    const int columns = buttons == 1 ? 1 : 2;
    const int rows = (buttons + columns - 1) / columns;
    const double w = 20.0 / columns, h = 20.0 / rows;
    for (int i = 0; i < buttons; ++i) {
        const QRectF key(6 + (i % columns) * w + 1, 6 + (i / columns) * h + 1, w - 2, h - 2);
        p.setBrush(on ? k_blue : QColor(205, 210, 218));
        p.drawRoundedRect(key, 2, 2);
    }
}

// A wall switch contact with a count ("8", "4"): closed and green when on.
void Contact(QPainter &p, const QString &count, bool on)
{
    p.setPen(QPen(k_ink, 1.2));
    p.setBrush(QColor(245, 246, 248));
    p.drawRoundedRect(QRectF(2, 2, 28, 28), 4, 4);
    p.setPen(QPen(on ? k_green : k_off, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 20), QPointF(12, 20));
    p.drawLine(QPointF(20, 20), QPointF(26, 20));
    if (on)
        p.drawLine(QPointF(12, 20), QPointF(20, 20));
    else
        p.drawLine(QPointF(12, 20), QPointF(19, 13));
    p.setBrush(on ? k_green : k_off);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(12, 20), 2, 2);
    p.drawEllipse(QPointF(20, 20), 2, 2);
    p.setPen(k_ink);
    p.setFont(Font(9));
    p.drawText(QRectF(4, 3, 24, 11), Qt::AlignCenter, count);
}

// A window with its shutter: up (open) or down (closed), with the arrow of the move.
void Shutter(QPainter &p, bool up, QColor frame = k_ink)
{
    p.setPen(QPen(frame, 1.5));
    p.setBrush(QColor(200, 225, 250));
    p.drawRect(QRectF(4, 4, 18, 24));
    const int slats = up ? 2 : 7;
    p.setBrush(QColor(170, 150, 120));
    p.setPen(QPen(QColor(110, 90, 60), 0.8));
    for (int i = 0; i < slats; ++i)
        p.drawRect(QRectF(4, 4 + i * 3.4, 18, 3.4));
    p.setPen(QPen(up ? k_green : k_blue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double y0 = up ? 22 : 10, y1 = up ? 10 : 22;
    p.drawLine(QPointF(27, y0), QPointF(27, y1));
    p.drawLine(QPointF(27, y1), QPointF(24, y1 + (up ? 4 : -4)));
    p.drawLine(QPointF(27, y1), QPointF(30, y1 + (up ? 4 : -4)));
}

void Socket(QPainter &p, bool on)
{
    p.setPen(QPen(k_ink, 1.3));
    p.setBrush(on ? QColor(255, 236, 180) : QColor(240, 241, 243));
    p.drawRoundedRect(QRectF(4, 4, 24, 24), 5, 5);
    p.setBrush(on ? QColor(230, 120, 30) : k_off);
    p.drawEllipse(QPointF(16, 16), 8, 8);
    p.setBrush(k_ink);
    p.drawEllipse(QPointF(12.5, 16), 1.6, 1.6);
    p.drawEllipse(QPointF(19.5, 16), 1.6, 1.6);
}

void Dimmer(QPainter &p, bool on)
{
    Bulb(p, on);
    p.setPen(QPen(k_ink, 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(24, 4, 6, 24), 2, 2);
    p.setBrush(on ? k_on : k_off);
    p.drawRect(QRectF(24, on ? 8 : 22, 6, 3));
}

void Thermometer(QPainter &p, const QString &tag, QColor mercury = k_red)
{
    p.setPen(QPen(k_ink, 1.3));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(12, 3, 8, 20), 4, 4);
    p.setBrush(mercury);
    p.drawEllipse(QPointF(16, 24), 5.5, 5.5);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(14.5, 10, 3, 12));
    p.setPen(QPen(k_ink, 1));
    for (int y = 7; y <= 19; y += 4)
        p.drawLine(QPointF(20, y), QPointF(22, y));
    if (!tag.isEmpty()) {
        p.setFont(Font(10));
        p.drawText(QRectF(22, 18, 10, 13), Qt::AlignCenter, tag);
    }
}

// A wall panel with a small screen; the symbol inside tells what it shows.
void Panel(QPainter &p, bool on, const std::function<void(QPainter &)> &symbol = {})
{
    p.setPen(QPen(k_ink, 1.2));
    p.setBrush(QColor(235, 237, 240));
    p.drawRoundedRect(QRectF(3, 2, 26, 28), 4, 4);
    p.setBrush(on ? QColor(120, 200, 255) : QColor(60, 70, 85));
    p.drawRoundedRect(QRectF(7, 6, 18, 12), 2, 2);
    p.setBrush(on ? k_blue : QColor(200, 205, 212));
    p.drawRoundedRect(QRectF(7, 21, 7, 5), 1.5, 1.5);
    p.drawRoundedRect(QRectF(18, 21, 7, 5), 1.5, 1.5);
    if (symbol) {
        p.save();
        symbol(p);
        p.restore();
    }
}

void Detector(QPainter &p, bool on)
{
    p.setPen(QPen(k_ink, 1.3));
    p.setBrush(QColor(245, 246, 248));
    p.drawChord(QRectF(4, 4, 18, 24), 90 * 16, 180 * 16);
    p.setBrush(on ? k_red : k_off);
    p.drawEllipse(QPointF(12, 16), 3, 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(on ? k_red : k_off, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int r = 6; r <= 14; r += 4)
        p.drawArc(QRectF(12 - r, 16 - r, 2 * r, 2 * r), -40 * 16, 80 * 16);
}

void Logo(QPainter &p)
{
    QLinearGradient fill(0, 0, 0, 32);
    fill.setColorAt(0, QColor(60, 140, 230));
    fill.setColorAt(1, QColor(20, 80, 170));
    p.setPen(QPen(QColor(15, 50, 110), 1.2));
    p.setBrush(fill);
    QPainterPath house;
    house.moveTo(16, 2);
    house.lineTo(30, 14);
    house.lineTo(27, 14);
    house.lineTo(27, 30);
    house.lineTo(5, 30);
    house.lineTo(5, 14);
    house.lineTo(2, 14);
    house.closeSubpath();
    p.drawPath(house);
    p.setPen(Qt::white);
    p.setFont(Font(15));
    p.drawText(QRectF(5, 13, 22, 17), Qt::AlignCenter, QStringLiteral("Q"));
}

// A stored scene: a clapperboard, with the kind's sign, lit when the scene is on.
void Memo(QPainter &p, bool on, const QString &sign)
{
    p.setPen(QPen(k_ink, 1.2));
    p.setBrush(on ? QColor(255, 214, 90) : QColor(225, 228, 232));
    p.drawRoundedRect(QRectF(3, 10, 26, 19), 2, 2);
    p.setBrush(k_ink);
    QPainterPath top;
    top.moveTo(3, 9);
    top.lineTo(27, 3);
    top.lineTo(28.5, 7.5);
    top.lineTo(4.5, 13);
    top.closeSubpath();
    p.drawPath(top);
    p.setPen(k_ink);
    p.setFont(Font(sign.size() > 1 ? 8 : 11));
    p.drawText(QRectF(3, 12, 26, 16), Qt::AlignCenter, sign);
}

void Flag(QPainter &p, bool on)
{
    p.setPen(QPen(k_ink, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 3), QPointF(8, 29));
    p.setPen(QPen(k_ink, 1));
    p.setBrush(on ? k_red : k_off);
    const double top = on ? 4 : 16;
    QPainterPath flag;
    flag.moveTo(9, top);
    flag.cubicTo(15, top - 2, 19, top + 3, 27, top + 1);
    flag.lineTo(27, top + 10);
    flag.cubicTo(19, top + 12, 15, top + 7, 9, top + 9);
    flag.closeSubpath();
    p.drawPath(flag);
}

QImage Wall()
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
QImage FloorPlan()
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
QImage DimmerPanel()
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

QImage Key(const QString &sign, int w, int h)
{
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(252, 252, 253));
    g.setColorAt(1, QColor(200, 208, 220));
    p.setPen(QPen(QColor(110, 120, 135), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 6, 6);
    if (!sign.isEmpty()) {
        p.setPen(QColor(40, 60, 90));
        p.setFont(Font(h - 10));
        p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, sign);
    }
    return image;
}

QImage CloseBox()
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
QImage Dial()
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
QImage GaugeDial()
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
QImage Needle()
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

} // namespace

bool TPictureGenerator::WriteAll(const QString &programFolder, QString &error)
{
    const QDir folder(programFolder);
    const auto icon = [&](const char *name, const Draw &draw) {
        return Save(Icon(draw), folder.filePath(QStringLiteral("Default Images/") + QString::fromLatin1(name)), error);
    };
    const auto pair = [&](const char *on, const char *off, const std::function<void(QPainter &, bool)> &draw) {
        return icon(on, [&](QPainter &p) { draw(p, true); }) && icon(off, [&](QPainter &p) { draw(p, false); });
    };
    const auto sign = [](const char *text, QColor colour) {
        return [text, colour](QPainter &p) {
            p.setPen(colour);
            p.setFont(Font(8));
            p.drawText(QRectF(7, 6, 18, 12), Qt::AlignCenter, QString::fromLatin1(text));
        };
    };
    bool ok = true;
    ok = ok && pair("KOB ON.ico", "KOB OFF.ico", [](QPainter &p, bool on) { Bulb(p, on); });
    ok = ok && pair("LED ON.ico", "LED OFF.ico", Led);
    ok = ok && pair("B1 ON.ico", "B1 OFF.ico", [](QPainter &p, bool on) { Buttons(p, 1, on); });
    ok = ok && pair("B2 ON.ico", "B2 OFF.ico", [](QPainter &p, bool on) { Buttons(p, 2, on); });
    ok = ok && pair("B4 ON.ico", "B4 OFF.ico", [](QPainter &p, bool on) { Buttons(p, 4, on); });
    ok = ok && pair("B6 ON.ico", "B6 OFF.ico", [](QPainter &p, bool on) { Buttons(p, 6, on); });
    ok = ok && pair("NAX8_ON.ico", "NAX8_OFF.ico", [](QPainter &p, bool on) { Contact(p, QStringLiteral("8"), on); });
    ok = ok && pair("NAX4 ON.ico", "NAX4 OFF.ico", [](QPainter &p, bool on) { Contact(p, QStringLiteral("4"), on); });
    ok = ok && pair("ZUL UP.ico", "ZUL DOWN.ico", [](QPainter &p, bool up) { Shutter(p, up); });
    ok = ok && pair("ZULBT UP.ico", "ZULBT DOWN.ico", [](QPainter &p, bool up) { Shutter(p, up, k_blue); });
    ok = ok && pair("WEM ON.ico", "WEM OFF.ico", Socket);
    ok = ok && pair("DIM ON.ico", "DIM OFF.ico", Dimmer);
    ok = ok && icon("T1.ico", [](QPainter &p) { Thermometer(p, QStringLiteral("1")); });
    ok = ok && icon("T2.ico", [](QPainter &p) { Thermometer(p, QStringLiteral("2")); });
    ok = ok && icon("QUELNOR.ico", Logo);
    ok = ok && pair("LCD ON.ico", "LCD OFF.ico", [&](QPainter &p, bool on) { Panel(p, on); });
    ok = ok && pair("LCD3 ON.ico", "LCD3 OFF.ico", [&](QPainter &p, bool on) { Panel(p, on, sign("3", on ? Qt::white : k_off)); });
    ok = ok && icon("LCD3 Temp.ico", [&](QPainter &p) { Panel(p, true, sign("21\xb0", Qt::white)); });
    ok = ok && icon("PBLCD TEMP.ico", [&](QPainter &p) { Panel(p, true, sign("T\xb0", Qt::white)); });
    ok = ok && pair("LCD3 OUT ON.ico", "LCD3 OUT OFF.ico", [&](QPainter &p, bool on) {
        Panel(p, on, [on](QPainter &q) {
            q.setPen(Qt::NoPen);
            q.setBrush(on ? k_on : QColor(110, 115, 125));
            q.drawEllipse(QPointF(16, 12), 4, 4);
        });
    });
    ok = ok && icon("TTouch.ico", [&](QPainter &p) {
        Panel(p, true, [](QPainter &q) {
            q.setBrush(Qt::NoBrush);
            q.setPen(QPen(Qt::white, 1.2));
            q.drawEllipse(QPointF(16, 12), 4.5, 4.5);
            q.setBrush(Qt::white);
            q.drawEllipse(QPointF(16, 12), 1.8, 1.8);
        });
    });
    ok = ok && pair("DETECT ON.ico", "DETECT OFF.ico", Detector);
    ok = ok && pair("Memo ON.ico", "Memo OFF.ico", [](QPainter &p, bool on) { Memo(p, on, QStringLiteral("M")); });
    ok = ok && pair("MemoZULON.ico", "MemoZULOFF.ico", [](QPainter &p, bool on) { Memo(p, on, QStringLiteral("\u2195")); });
    ok = ok && pair("MemoDIMON.ico", "MemoDIMOFF.ico", [](QPainter &p, bool on) { Memo(p, on, QStringLiteral("%")); });
    ok = ok && pair("FlagON.ico", "FlagOff.ico", Flag);
    ok = ok && Save(Wall(), folder.filePath(QStringLiteral("Default Images/wall_800x600.bmp")), error);

    const auto control = [&](const char *name, const QImage &image) {
        return Save(image, folder.filePath(QStringLiteral("Image Control/") + QString::fromLatin1(name)), error);
    };
    ok = ok && control("DimView.bmp", DimmerPanel());
    ok = ok && control("Sensor plus.bmp", Key(QStringLiteral("+"), 32, 32));
    ok = ok && control("Sensor minus.bmp", Key(QStringLiteral("\u2212"), 32, 32));
    ok = ok && control("but2.bmp", Key(QString(), 82, 32));
    ok = ok && control("close.ico", CloseBox());
    ok = ok && control("Cpt140.bmp", Dial());
    ok = ok && control("jauge_modif6.jpg", GaugeDial());
    ok = ok && control("jnail.bmp", Needle());
    ok = ok && Save(FloorPlan(), folder.filePath(QStringLiteral("Imported Pictures/Screen/floor plan.jpg")), error);
    return ok;
}
