// The controls' labels: their fonts and their measured widths.
#include "TVQBaseControl.h"

#include <QFontMetrics>
#include <QPainter>

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

void TVQBaseControl::DrawTextTop(QPainter &painter, int left, int top, const QString &text)
{
    painter.drawText(left, top + painter.fontMetrics().ascent(), text);
}

void TVQBaseControl::DrawCentredText(QPainter &painter, int centre, int top, const QString &text)
{
    DrawTextTop(painter, centre - painter.fontMetrics().horizontalAdvance(text) / 2, top, text);
}
