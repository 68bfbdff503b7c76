#include "THistorySeries.h"

#include "THistoryStore.h"

#include <algorithm>

bool THistorySeriesKey::Steps() const
{
    return What == QStringLiteral("output") || What == QStringLiteral("input") || What == QStringLiteral("mode");
}

QString THistorySeriesKey::Label() const
{
    const QString name = Name.isEmpty() ? (Kind == QStringLiteral("power") ? QStringLiteral("Power") : Kind) : Name;
    return name + QStringLiteral(" — ") + What;
}

namespace {

// The points of one stretch reduced to at most four per column: first, lowest, highest, last.
void AddReduced(std::vector<QPointF> &line, const std::vector<THistoryPoint> &points, qint64 since, double column)
{
    size_t i = 0;
    while (i < points.size()) {
        const qint64 bucket = column > 0 ? qint64((points[i].Time - since) / column) : 0;
        size_t end = i + 1;
        while (end < points.size() && column > 0 && qint64((points[end].Time - since) / column) == bucket)
            ++end;
        if (end - i <= 4) {
            for (size_t k = i; k < end; ++k)
                line.emplace_back(double(points[k].Time), points[k].Value);
        } else {
            const auto [low, high] = std::minmax_element(points.begin() + i, points.begin() + end,
                                                         [](const THistoryPoint &a, const THistoryPoint &b) { return a.Value < b.Value; });
            std::vector<const THistoryPoint *> kept{&points[i], &*low, &*high, &points[end - 1]};
            std::sort(kept.begin(), kept.end(), [](const THistoryPoint *a, const THistoryPoint *b) { return a < b; });
            kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
            for (const THistoryPoint *p : kept)
                line.emplace_back(double(p->Time), p->Value);
        }
        i = end;
    }
}

} // namespace

std::vector<std::vector<QPointF>> PlotLines(const std::vector<THistoryPoint> &points, const std::vector<THistorySpan> &gaps, qint64 since,
                                            qint64 until, qint64 now, int pixels, bool steps)
{
    const qint64 end = std::min(until, std::max(since, now));
    // The stretches of [since, end) outside the gaps.
    std::vector<THistorySpan> known;
    qint64 from = since;
    for (const THistorySpan &gap : gaps) {
        if (gap.To <= from || gap.From >= end)
            continue;
        if (gap.From > from)
            known.push_back({from, gap.From});
        from = std::max(from, gap.To);
    }
    if (from < end)
        known.push_back({from, end});

    const double column = pixels > 0 ? double(until - since) / pixels : 0;
    std::vector<std::vector<QPointF>> lines;
    for (const THistorySpan &stretch : known) {
        // The value when the stretch begins (the last one before it), its own values, and the
        // last one held to its end.
        std::vector<THistoryPoint> inside;
        const auto first = std::lower_bound(points.begin(), points.end(), stretch.From,
                                            [](const THistoryPoint &p, qint64 t) { return p.Time < t; });
        if (first != points.begin() && (first == points.end() || first->Time > stretch.From))
            inside.push_back({stretch.From, std::prev(first)->Value});
        for (auto p = first; p != points.end() && p->Time <= stretch.To; ++p)
            inside.push_back(*p);
        if (inside.empty())
            continue;
        inside.push_back({stretch.To, inside.back().Value});
        std::vector<QPointF> line;
        AddReduced(line, inside, since, column);
        if (steps) {
            std::vector<QPointF> stepped;
            stepped.reserve(line.size() * 2);
            for (size_t k = 0; k < line.size(); ++k) {
                if (k > 0 && line[k].y() != line[k - 1].y())
                    stepped.emplace_back(line[k].x(), line[k - 1].y());
                stepped.push_back(line[k]);
            }
            line = std::move(stepped);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<THistorySpan> GapsOf(const std::vector<THistoryRow> &linkRows, qint64 until)
{
    std::vector<THistorySpan> gaps;
    qint64 openFrom = -1;
    for (const THistoryRow &row : linkRows) {
        const bool up = row.Kind == QStringLiteral("link") &&
                        (row.Text == QStringLiteral("Up") || row.Text == QStringLiteral("In doubt"));
        const bool down = (row.Kind == QStringLiteral("link") && !up) ||
                          (row.Kind == QStringLiteral("project") && row.What == QStringLiteral("closed"));
        if (up && openFrom >= 0) {
            gaps.push_back({openFrom, row.Time});
            openFrom = -1;
        } else if (down && openFrom < 0) {
            openFrom = row.Time;
        }
    }
    if (openFrom >= 0 && openFrom < until)
        gaps.push_back({openFrom, until});
    return gaps;
}
