#pragma once

#include <QPoint>
#include <QtGlobal>

#include <memory>
#include <utility>
#include <vector>

class QFont;
class QImage;
class QPainter;
class QString;

// The picture of a control's label, made once and laid down at each paint (TOutlinedLabel keeps
// them by font and text).

// An allocator that leaves new elements unset: a picture's pixels are all written once made.
template <typename T>
struct TUnset : std::allocator<T>
{
    template <typename U>
    struct rebind
    {
        using other = TUnset<U>;
    };
    template <typename U>
    void construct(U *at) noexcept
    {
        ::new (static_cast<void *>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U *at, Args &&...args)
    {
        ::new (static_cast<void *>(at)) U(std::forward<Args>(args)...);
    }
};

// A label's picture, two bytes a pixel: how much black (high byte) and how much white over what
// the black leaves (low byte); laid down as premultiplied black on white.
struct TLabelPicture
{
    std::vector<quint16, TUnset<quint16>> Pixels;
    int Width = 0, Height = 0;
    QPoint Offset;  // of the picture's top left from the text's, in the painter's pixels
    int Advance = 0;  // the text's width in whole pixels, as the font's metrics give it
    qreal ExactAdvance = 0;  // the same unrounded
};

namespace TLabelPictures
{
QImage *Coverage(int dpi);
// `phase`: where the text starts past the picture's whole pixel, in the painter's pixels (the tail
// of a longer label, laid over the picture of its beginning).
TLabelPicture *Drawn(const QString &text, const QFont &font, int dpi, int scale, qreal phase = 0);
void LayDown(QPainter &painter, QPoint at, const TLabelPicture &label, int scale);
} // namespace TLabelPictures
