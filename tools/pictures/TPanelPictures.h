#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

// The colours every generated picture is drawn with.
namespace PictureInk {
inline const QColor k_ink(40, 44, 52);
inline const QColor k_off(150, 156, 166);
inline const QColor k_on(255, 196, 0);
inline const QColor k_green(40, 170, 80);
inline const QColor k_blue(30, 110, 200);
inline const QColor k_red(210, 50, 40);
} // namespace PictureInk

// The larger generated pictures: the default background, the demo floor plan and the panels of
// the dimmer, sensor, 0-10 V and gauge controls, each laid out for the zones those panels use.
class TPanelPictures
{
public:
    // A blank picture of that size.
    static QImage Canvas(int w, int h, QColor fill = Qt::transparent);
    static QFont Font(int pixelSize, bool bold = true);

    static QImage Wall();
    static QImage FloorPlan();
    static QImage DimmerPanel();
    // A key with `sign` on it, `w` x `h` pixels, `left` pixels from the picture's left edge.
    static QImage Key(const QString &sign, int w, int h, int left = 0);
    static QImage CloseBox();
    static QImage Dial();
    static QImage GaugeDial();
    static QImage Needle();
};
