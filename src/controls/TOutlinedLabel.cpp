#include "TOutlinedLabel.h"

#include <QCache>
#include <QHash>
#include <QSet>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The pictures of the labels drawn lately, up to this many bytes (a label takes 1.5-4 KB): those
// of every screen of a large installation, in design and in run time, so that switching every
// shown screen makes none again. Closing screens empties it.
constexpr qsizetype k_pictureBytes = 64 * 1024 * 1024;

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

QCache<QString, TLabelPicture> &Pictures()
{
    static auto *pictures = new QCache<QString, TLabelPicture>(k_pictureBytes);
    return *pictures;
}

// The key of a font, made again only when the font differs from the last one drawn. Kept for the
// program's life (never destroyed after the application's fonts are gone); the GUI thread alone
// paints.
struct TFontKey
{
    QString Key;
    size_t Hash = 0;
};

const TFontKey &FontKeyOf(const QFont &font)
{
    static auto *last = new QFont;
    static auto *key = new TFontKey{last->key(), qHash(last->key())};
    if (!(font == *last)) {
        *last = font;
        key->Key = font.key();
        key->Hash = qHash(key->Key);
    }
    return *key;
}

const QString &FontKey(const QFont &font)
{
    return FontKeyOf(font).Key;
}

// Labels shaped for the ten passes, which only painters a picture cannot serve draw (scaled,
// see-through): a few screens' worth. Closing screens empties it.
QCache<QString, QStaticText> &ShapedLabels()
{
    static auto *shaped = new QCache<QString, QStaticText>(2048);
    return *shaped;
}

const QStaticText &Shaped(const QString &text, const QFont &font)
{
    const QString key = FontKey(font) + QLatin1Char('\n') + text;
    QStaticText *label = ShapedLabels().object(key);
    if (!label) {
        label = new QStaticText(text);
        label->setTextFormat(Qt::PlainText);
        label->prepare(QTransform(), font);
        ShapedLabels().insert(key, label);
    }
    return *label;
}

// The device pixels of one logical pixel when the picture can stand in for the ten passes: an
// unscaled, opaque, plain painter on raster pixels at a whole-number density; 0 otherwise.
int WholeScale(const QPainter &painter)
{
    const QTransform &world = painter.worldTransform();
    const QPaintDevice *device = painter.device();
    const qreal ratio = device ? device->devicePixelRatio() : 0;
    if (!device || painter.paintEngine()->type() != QPaintEngine::Raster || painter.opacity() != 1.0
        || painter.compositionMode() != QPainter::CompositionMode_SourceOver || world.type() > QTransform::TxTranslate
        || world.dx() != std::floor(world.dx()) || world.dy() != std::floor(world.dy()) || ratio != std::floor(ratio) || ratio < 1
        || ratio > 4)
        return 0;
    return int(ratio);
}

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
// `phase`: where the text starts past the picture's whole pixel, in the painter's pixels (the tail
// of a longer label, see Composed).
TLabelPicture *Drawn(const QString &text, const QFont &font, int dpi, int scale, qreal phase = 0)
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

QString PictureKey(const QFont &font, int dpi, int scale, const QString &text)
{
    return FontKey(font) + QLatin1Char('\n') + QString::number(dpi * 8 + scale) + QLatin1Char('\n') + text;
}

// Keeps the picture under `key` and gives it back; none when it is too large to keep.
const TLabelPicture *Keep(const QString &key, TLabelPicture *made)
{
    Pictures().insert(key, made, qsizetype(sizeof(TLabelPicture) + made->Pixels.size() * sizeof(quint16)));
    return Pictures().object(key);
}

// Whether the text's glyphs stand where they would stand drawn in two parts split at `split` (a
// space): Latin text, with no kerning around the space.
bool SplitsCleanly(const QString &text, qsizetype split, const QFont &font, int dpi)
{
    if (split < 1 || split + 1 >= text.size())
        return false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x300)
            return false;
    }
    static auto *clean = new QHash<QString, bool>;
    const QString around = text.mid(split - 1, 3);
    const QString key = FontKey(font) + QLatin1Char('\n') + QString::number(dpi) + QLatin1Char('\n') + around;
    auto found = clean->constFind(key);
    if (found == clean->constEnd()) {
        const QFontMetricsF metrics(font, Coverage(dpi));
        found = clean->insert(key, metrics.horizontalAdvance(around)
                                       == metrics.horizontalAdvance(around.left(1)) + metrics.horizontalAdvance(around.mid(1)));
    }
    return *found;
}

// The labels' texts up to their last space met once: the second label to begin with one of them
// keeps its picture.
QSet<size_t> &HeadsSeen()
{
    static auto *seen = new QSet<size_t>;
    return *seen;
}

// A label whose text up to its last space is kept ("Control 5" for "Control 5 Off", kept since
// "Control 5 On"): the rest is drawn alone, where it stands in the whole text to the fraction of a
// pixel, and put over the kept part. Their outlines meet in the space, where one over the other
// whitens as the whole text's does. A state changed draws the few states once, not every label.
TLabelPicture *Composed(const QString &text, const QFont &font, int dpi, int scale)
{
    const qsizetype split = text.lastIndexOf(QLatin1Char(' '));
    if (split < 1 || split + 1 >= text.size())
        return nullptr;
    // Kept from the second text it begins: most labels never change. Only hashed the first time.
    const size_t seen = qHash(QStringView(text).left(split), FontKeyOf(font).Hash ^ size_t(dpi * 8 + scale));
    if (!HeadsSeen().contains(seen)) {
        HeadsSeen().insert(seen);
        return nullptr;
    }
    if (!SplitsCleanly(text, split, font, dpi))
        return nullptr;
    const QString headKey = PictureKey(font, dpi, scale, text.left(split));
    const TLabelPicture *head = Pictures().object(headKey);
    if (!head)
        head = Keep(headKey, Drawn(text.left(split), font, dpi, scale));
    if (!head || head->Pixels.empty())
        return nullptr;
    const qreal start = head->ExactAdvance * scale;  // the tail's start, in device pixels
    const int shift = int(std::floor(start));
    const qreal phase = start - shift;
    const QString tailText = text.mid(split);
    const QString tailKey = PictureKey(font, dpi, scale, QLatin1Char('\x02') + QString::number(qRound(phase * 64)) + QLatin1Char('\n') + tailText);
    const TLabelPicture *tail = Pictures().object(tailKey);
    if (!tail)
        tail = Keep(tailKey, Drawn(tailText, font, dpi, scale, phase / scale));
    head = Pictures().object(headKey);  // keeping the tail may have let it go
    if (!head || !tail || tail->Pixels.empty() || tail->Height != head->Height || tail->Offset != head->Offset)
        return nullptr;

    auto *label = new TLabelPicture;
    label->Width = std::max(head->Width, shift + tail->Width);
    label->Height = head->Height;
    label->Offset = head->Offset;
    label->ExactAdvance = head->ExactAdvance + tail->ExactAdvance;
    label->Advance = qRound(label->ExactAdvance);
    label->Pixels.assign(size_t(label->Width) * label->Height, 0);
    for (int row = 0; row < label->Height; ++row) {
        quint16 *out = &label->Pixels[size_t(row) * label->Width];
        std::copy_n(&head->Pixels[size_t(row) * head->Width], head->Width, out);
        const quint16 *over = &tail->Pixels[size_t(row) * tail->Width];
        out += shift;
        for (int x = 0; x < tail->Width; ++x) {
            if (!over[x])
                continue;
            // Premultiplied "over": what the tail leaves through of the black and white under it.
            const quint32 black = over[x] >> 8, grey = over[x] & 0xff, left = 255 - black - grey;
            const quint32 underBlack = out[x] >> 8, underGrey = out[x] & 0xff;
            out[x] = quint16((black + (underBlack * left + 127) / 255) << 8 | (grey + (underGrey * left + 127) / 255));
        }
    }
    return label;
}

// The label's picture, kept or made now and kept; none when it is too large to keep.
const TLabelPicture *Picture(QPainter &painter, const QString &text, int scale)
{
    const int dpi = painter.device()->logicalDpiY();
    const QString key = PictureKey(painter.font(), dpi, scale, text);
    if (const TLabelPicture *kept = Pictures().object(key))
        return kept;
    TLabelPicture *made = Composed(text, painter.font(), dpi, scale);
    return Keep(key, made ? made : Drawn(text, painter.font(), dpi, scale));
}

} // namespace

namespace {

// The picture laid down, or the ten passes where there is none.
void Put(QPainter &painter, QPoint at, const QString &text, const TLabelPicture *picture, int scale)
{
    painter.setPen(Qt::black);  // left black, as the passes leave it
    if (picture)
        LayDown(painter, at, *picture, scale);
    else
        TOutlinedLabel::DrawInPasses(painter, at, text);
}

} // namespace

void TOutlinedLabel::Draw(QPainter &painter, QPoint at, const QString &text)
{
    const int scale = WholeScale(painter);
    Put(painter, at, text, scale ? Picture(painter, text, scale) : nullptr, scale);
}

void TOutlinedLabel::DrawCentred(QPainter &painter, int rowWidth, int top, const QString &text)
{
    // One look-up for both the width and the picture.
    const int scale = WholeScale(painter);
    const TLabelPicture *picture = scale ? Picture(painter, text, scale) : nullptr;
    const int textWidth = (picture ? picture->Advance : painter.fontMetrics().horizontalAdvance(text)) + 2;
    Put(painter, QPoint(std::max(0, (rowWidth - textWidth) / 2), top), text, picture, scale);
}

int TOutlinedLabel::Width(QPainter &painter, const QString &text)
{
    const int scale = WholeScale(painter);
    const TLabelPicture *picture = scale ? Picture(painter, text, scale) : nullptr;
    return picture ? picture->Advance : painter.fontMetrics().horizontalAdvance(text);
}

void TOutlinedLabel::DrawInPasses(QPainter &painter, QPoint at, const QString &text)
{
    const QStaticText &label = Shaped(text, painter.font());
    painter.setPen(Qt::white);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy)
            painter.drawStaticText(at.x() + dx, at.y() + dy, label);
    }
    painter.setPen(Qt::black);
    painter.drawStaticText(at, label);
}

qsizetype TOutlinedLabel::KeptBytes()
{
    return Pictures().totalCost();
}

qsizetype TOutlinedLabel::KeptCount()
{
    return Pictures().count();
}

void TOutlinedLabel::Forget()
{
    Pictures().clear();
    HeadsSeen().clear();
    ShapedLabels().clear();
}
