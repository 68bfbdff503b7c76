#include "TPictureGenerator.h"

#include "TPanelPictures.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

namespace {

using namespace PictureInk;

using Draw = std::function<void(QPainter &)>;

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
    QImage image = TPanelPictures::Canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
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
    p.setFont(TPanelPictures::Font(9));
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
        p.setFont(TPanelPictures::Font(10));
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
    p.setFont(TPanelPictures::Font(15));
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
    p.setFont(TPanelPictures::Font(sign.size() > 1 ? 8 : 11));
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
            p.setFont(TPanelPictures::Font(8));
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
    ok = ok && Save(TPanelPictures::Wall(), folder.filePath(QStringLiteral("Default Images/wall_800x600.bmp")), error);

    const auto control = [&](const char *name, const QImage &image) {
        return Save(image, folder.filePath(QStringLiteral("Image Control/") + QString::fromLatin1(name)), error);
    };
    ok = ok && control("DimView.bmp", TPanelPictures::DimmerPanel());
    ok = ok && control("Sensor plus.bmp", TPanelPictures::Key(QStringLiteral("+"), 32, 32));
    ok = ok && control("Sensor minus.bmp", TPanelPictures::Key(QStringLiteral("\u2212"), 32, 32));
    // The mode keys are drawn at x 150 and answer from 159 to 241: the key face sits 9 in.
    ok = ok && control("but2.bmp", TPanelPictures::Key(QString(), 82, 32, 9));
    ok = ok && control("close.ico", TPanelPictures::CloseBox());
    ok = ok && control("Cpt140.bmp", TPanelPictures::Dial());
    ok = ok && control("jauge_modif6.jpg", TPanelPictures::GaugeDial());
    ok = ok && control("jnail.bmp", TPanelPictures::Needle());
    ok = ok && Save(TPanelPictures::FloorPlan(), folder.filePath(QStringLiteral("Imported Pictures/Screen/floor plan.jpg")), error);
    return ok;
}
