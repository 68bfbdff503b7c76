#include "TOutlinedLabel.h"

#include "TLabelPicture.h"

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

using namespace TLabelPictures;

// The pictures of the labels drawn lately, up to this many bytes (a label takes 1.5-4 KB): those
// of every screen of a large installation, in design and in run time, so that switching every
// shown screen makes none again. Closing screens empties it.
constexpr qsizetype k_pictureBytes = 64 * 1024 * 1024;

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
// space inside the text): Latin text, with no kerning around the space.
bool SplitsCleanly(const QString &text, qsizetype split, const QFont &font, int dpi)
{
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
