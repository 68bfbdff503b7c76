// The controls' labels: their fonts, their measured widths, and the outlined text drawn under a
// control's picture.
#include "TVQBaseControl.h"

#include <QCache>
#include <QFontMetrics>
#include <QPainter>
#include <QStaticText>

#include <array>
#include <map>
#include <memory>

namespace {

struct TLabelFont
{
    QFont Font;
    QFontMetrics Metrics;
    explicit TLabelFont(int pointSize)
        : Font(LabelFontAt(pointSize))
        , Metrics(Font)
    {
    }
    static QFont LabelFontAt(int pointSize)
    {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(pointSize);
        return font;
    }
};

// Building a font and its metrics costs more than measuring a label: one of each per size,
// kept for the program's life (the GUI thread alone paints and measures). Never destroyed: a
// font outliving the application's font database must not be released after it.
const TLabelFont &LabelFontOf(int pointSize)
{
    static auto *fonts = new std::map<int, std::unique_ptr<TLabelFont>>;
    auto &entry = (*fonts)[pointSize];
    if (!entry)
        entry = std::make_unique<TLabelFont>(pointSize);
    return *entry;
}

} // namespace

const QFont &TVQBaseControl::LabelFont(int pointSize)
{
    return LabelFontOf(pointSize).Font;
}

const QFontMetrics &TVQBaseControl::LabelMetrics(int pointSize)
{
    return LabelFontOf(pointSize).Metrics;
}

int TVQBaseControl::LabelWidth(const QString &text, int pointSize)
{
    if (text.isEmpty())
        return 0;
    // Controls measure the same texts again and again (their widest values, the sizing samples of
    // each mode): the widths of recent texts are kept by hash in a small table, so that a text is
    // shaped once rather than once per control.
    struct Slot
    {
        size_t Hash = 0;
        int PointSize = 0;
        int Width = 0;
    };
    static std::array<Slot, 4096> recent;
    const size_t hash = qHash(text, size_t(pointSize));
    Slot &slot = recent[hash % recent.size()];
    if (slot.Hash == hash && slot.PointSize == pointSize)
        return slot.Width;
    slot = {hash, pointSize, LabelMetrics(pointSize).horizontalAdvance(text)};
    return slot.Width;
}

namespace {

// Labels shaped once and drawn nine times from the same glyphs. The cache holds more labels than
// the largest installations show at once (127 screens of 10,000 controls, each label with its
// value texts), so that repainting every shown screen shapes only the texts that changed instead
// of cycling through the cache; closing screens empties it.
QCache<QString, QStaticText> &ShapedLabels()
{
    static auto *shaped = new QCache<QString, QStaticText>(32768);
    return *shaped;
}

// The key of the painter's font, made again only when the font differs from the last one drawn.
// Kept for the program's life (never destroyed after the application's fonts are gone).
const QString &FontKey(const QFont &font)
{
    static auto *last = new QFont;
    static auto *key = new QString(last->key());
    if (!(font == *last)) {
        *last = font;
        *key = font.key();
    }
    return *key;
}

} // namespace

void TVQBaseControl::ForgetShapedLabels()
{
    ShapedLabels().clear();
}

void TVQBaseControl::DrawOutlinedText(QPainter &painter, QPoint at, const QString &text)
{
    QCache<QString, QStaticText> *shaped = &ShapedLabels();
    const QString key = FontKey(painter.font()) + QLatin1Char('\n') + text;
    QStaticText *label = shaped->object(key);
    if (!label) {
        label = new QStaticText(text);
        label->setTextFormat(Qt::PlainText);
        label->prepare(QTransform(), painter.font());
        shaped->insert(key, label);
    }
    painter.setPen(Qt::white);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy)
            painter.drawStaticText(at.x() + dx, at.y() + dy, *label);
    }
    painter.setPen(Qt::black);
    painter.drawStaticText(at, *label);
}

void TVQBaseControl::DrawTextTop(QPainter &painter, int left, int top, const QString &text)
{
    painter.drawText(left, top + painter.fontMetrics().ascent(), text);
}

void TVQBaseControl::DrawCentredText(QPainter &painter, int centre, int top, const QString &text)
{
    DrawTextTop(painter, centre - painter.fontMetrics().horizontalAdvance(text) / 2, top, text);
}
