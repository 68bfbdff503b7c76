#include "TLabelPicture.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>

namespace TLabelPictures
{

// One coverage picture for every label, at the painter's dots per inch, grown as needed and
// cleared where used. Premultiplied rather than 8-bit: glyphs go down on it as on the screens, by
// the fast path. Never destroyed (it may outlive the application's fonts); the GUI thread alone paints.
QImage *Coverage(int dpi)
{
    static auto *coverage = new QImage;
    const int dotsPerMetre = qRound(dpi / 0.0254);
    if (coverage->isNull() || coverage->dotsPerMeterY() != dotsPerMetre) {
        *coverage = QImage(512, 64, QImage::Format_ARGB32_Premultiplied);
        coverage->setDotsPerMeterX(dotsPerMetre);
        coverage->setDotsPerMeterY(dotsPerMetre);
    }
    return coverage;
}

// The text's coverage is drawn once, black on nothing, and its alpha taken; each pixel of the
// outline is then as white as the nine copies of the text shifted by a pixel around it make it
// together (one less the product of what each leaves through), as ten passes would, and the black
// text goes over. The text is drawn straight, not through a laid-out static text: it is drawn once.
TLabelPicture *Drawn(const QString &text, const QFont &font, int dpi, int scale, qreal phase)
{
    QImage *coverage = Coverage(dpi);
    const int dotsPerMetre = qRound(dpi / 0.0254);
    const QFontMetricsF metrics(font, coverage);
    const qreal advance = metrics.horizontalAdvance(text);
    const qreal textHeight = metrics.height();
    if (advance <= 0 || textHeight <= 0) {
        auto *empty = new TLabelPicture;
        empty->Advance = qRound(std::max<qreal>(advance, 0));
        empty->ExactAdvance = std::max<qreal>(advance, 0);
        return empty;
    }
    // The text's box, with room around it for the outline and for ink a glyph puts past its box.
    const int margin = 2 + int(textHeight) / 8;
    const int width = (int(std::ceil(phase + advance)) + 2 * margin) * scale;
    const int height = (int(std::ceil(textHeight)) + 2 * margin) * scale;
    if (coverage->width() < width || coverage->height() < height || coverage->devicePixelRatio() != scale) {
        *coverage = QImage(std::max(width, 512), std::max(height, 64), QImage::Format_ARGB32_Premultiplied);
        coverage->setDevicePixelRatio(scale);
        coverage->setDotsPerMeterX(dotsPerMetre);
        coverage->setDotsPerMeterY(dotsPerMetre);
    }
    for (int y = 0; y < height; ++y)
        memset(coverage->scanLine(y), 0, size_t(width) * 4);
    {
        QPainter painter(coverage);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(margin + phase, margin + metrics.ascent()), text);
    }
    // The alpha alone, a byte a pixel.
    static std::vector<uchar> alpha;
    alpha.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(coverage->constScanLine(y));
        uchar *out = &alpha[size_t(y) * width];
        for (int x = 0; x < width; ++x)
            out[x] = uchar(line[x] >> 24);
    }
    const uchar *bits = alpha.data();
    const qsizetype stride = width;

    // The outline's pixels: all but a border `scale` wide, whose neighbours would be outside.
    auto *label = new TLabelPicture;
    const int outWidth = width - 2 * scale, outHeight = height - 2 * scale;
    // What the three copies shifted along a line leave through...
    static std::vector<float> through;
    through.resize(size_t(outWidth) * height);
    for (int y = 0; y < height; ++y) {
        const uchar *ink = bits + y * stride + scale;
        float *out = &through[size_t(y) * outWidth];
        for (int x = 0; x < outWidth; ++x)
            out[x] = float(255 - ink[x - scale]) * float(255 - ink[x]) * float(255 - ink[x + scale]) * (1.0f / (255.0f * 255.0f * 255.0f));
    }
    // ...then the three lines together: as much white, and the black over it, the grey left
    // being the white the black lets through.
    label->Width = outWidth;
    label->Height = outHeight;
    label->Pixels.resize(size_t(outWidth) * outHeight);
    for (int row = 0; row < outHeight; ++row) {
        quint16 *out = &label->Pixels[size_t(row) * outWidth];
        const float *above = &through[size_t(row) * outWidth];
        const float *line = above + outWidth * scale;
        const float *below = line + outWidth * scale;
        const uchar *ink = bits + (row + scale) * stride + scale;
        for (int x = 0; x < outWidth; ++x) {
            const float white = 1.0f - above[x] * line[x] * below[x];
            out[x] = quint16(ink[x] << 8 | quint32(white * float(255 - ink[x]) + 0.5f));
        }
    }
    label->Offset = QPoint(1 - margin, 1 - margin);
    label->Advance = qRound(advance);
    label->ExactAdvance = advance;
    return label;
}

// Lays the picture down: made premultiplied in a scratch picture first. Never destroyed (it may
// outlive the application); the GUI thread alone paints.
void LayDown(QPainter &painter, QPoint at, const TLabelPicture &label, int scale)
{
    if (label.Pixels.empty())
        return;
    static auto *scratch = new QImage;
    if (scratch->width() < label.Width || scratch->height() < label.Height)
        *scratch = QImage(std::max(label.Width, 512), std::max(label.Height, 64), QImage::Format_ARGB32_Premultiplied);
    scratch->setDevicePixelRatio(scale);
    const int width = label.Width, height = label.Height;  // not read again through the stores
    const quint16 *in = label.Pixels.data();
    for (int row = 0; row < height; ++row, in += width) {
        auto *out = reinterpret_cast<quint32 *>(scratch->scanLine(row));
        for (int x = 0; x < width; ++x) {
            const quint32 black = in[x] >> 8, grey = in[x] & 0xff;
            out[x] = (black + grey) << 24 | grey * 0x010101u;
        }
    }
    painter.drawImage(QPointF(at + label.Offset), *scratch, QRectF(0, 0, width, height));
}

} // namespace TLabelPictures
