// The store's reading side for plots: series, their points, hourly figures and the gaps.
#include "THistoryStore.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <map>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr qint64 k_month = 31 * 24 * k_hour;

QVariant OrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant OrNull(int number)
{
    return number >= 0 ? QVariant(number) : QVariant();
}

qint64 Single(const QSqlDatabase &db, const QString &sql, qint64 otherwise)
{
    QSqlQuery query(db);
    if (!query.exec(sql) || !query.next() || query.value(0).isNull())
        return otherwise;
    return query.value(0).toLongLong();
}

} // namespace

std::vector<THistoryPoint> THistoryStore::Points(const THistorySeriesKey &key, qint64 since, qint64 until) const
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const QString where = QStringLiteral("FROM events WHERE serial IS ? AND channel IS ? AND what = ? AND kind = ? AND test = 0 AND value IS NOT NULL ");
    std::vector<THistoryPoint> points;
    for (const bool before : {true, false}) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(before ? QStringLiteral("SELECT time, value ") + where + QStringLiteral("AND time < ? ORDER BY time DESC LIMIT 1")
                             : QStringLiteral("SELECT time, value ") + where + QStringLiteral("AND time >= ? AND time < ? ORDER BY time"));
        query.addBindValue(OrNull(key.Serial));
        query.addBindValue(OrNull(key.Channel));
        query.addBindValue(key.What);
        query.addBindValue(key.Kind);
        query.addBindValue(since);
        if (!before)
            query.addBindValue(until);
        if (!query.exec())
            return {};
        while (query.next())
            points.push_back({query.value(0).toLongLong(), query.value(1).toDouble()});
    }
    return points;
}

std::vector<THistoryPoint> THistoryStore::HourlyPoints(const THistorySeriesKey &key, qint64 since, qint64 until) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT hour, minimum, maximum FROM hourly WHERE serial = IFNULL(?, '') AND channel = ? AND what = ? AND hour >= ? AND hour < ? "
                                 "ORDER BY hour"));
    query.addBindValue(key.Serial);
    query.addBindValue(key.Channel);
    query.addBindValue(key.What);
    query.addBindValue(since / k_hour * k_hour);
    query.addBindValue(until);
    std::vector<THistoryPoint> points;
    if (!query.exec())
        return points;
    while (query.next()) {
        const qint64 hour = query.value(0).toLongLong();
        points.push_back({hour, query.value(1).toDouble()});
        points.push_back({hour + k_hour / 2, query.value(2).toDouble()});
    }
    return points;
}

std::vector<THistorySpan> THistoryStore::Gaps(qint64 since, qint64 until) const
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // The rows from the last link row before `since` on.
    const qint64 from = Single(db, QStringLiteral("SELECT MAX(time) FROM events WHERE kind = 'link' AND time < %1").arg(since), since);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT time, kind, what, text FROM events WHERE kind IN ('link', 'project') AND time >= ? AND time < ? "
                                 "ORDER BY time, rowid"));
    query.addBindValue(from);
    query.addBindValue(until);
    std::vector<THistoryRow> rows;
    if (query.exec()) {
        while (query.next()) {
            THistoryRow row;
            row.Time = query.value(0).toLongLong();
            row.Kind = query.value(1).toString();
            row.What = query.value(2).toString();
            row.Text = query.value(3).toString();
            rows.push_back(row);
        }
    }
    return GapsOf(rows, until);
}

std::vector<THistoryPoint> THistoryStore::SeriesPoints(const THistorySeriesKey &key, qint64 since, qint64 until, bool coarse) const
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // Where the rows begin: the oldest kept, or for a long coarse range where the hourly figures end.
    qint64 rawFrom = Single(db, QStringLiteral("SELECT MIN(time) FROM events"), until);
    if (coarse && until - since > k_month)
        rawFrom = std::max(rawFrom, Single(db, QStringLiteral("SELECT value FROM meta WHERE key = 'aggregated'"), 0));
    std::vector<THistoryPoint> points;
    if (rawFrom > since)
        points = HourlyPoints(key, since, std::min(rawFrom, until));
    // The end is shown too: a change made as the plot was asked for is on it.
    std::vector<THistoryPoint> raw = Points(key, std::max(since, rawFrom), until + 1);
    // The value carried in from before the rows is the hourly figures' when there are some.
    if (!points.empty() && !raw.empty() && raw.front().Time < std::max(since, rawFrom))
        raw.erase(raw.begin());
    points.insert(points.end(), raw.begin(), raw.end());
    return points;
}

std::vector<std::vector<QPointF>> THistoryStore::Plot(const THistorySeriesKey &key, qint64 since, qint64 until, qint64 now, int pixels) const
{
    return PlotLines(SeriesPoints(key, since, until, true), Gaps(since, until), since, until, now, pixels, key.Steps());
}

QByteArray THistoryStore::SeriesCsv(const std::vector<THistorySeriesKey> &keys, const std::vector<std::vector<THistoryPoint>> &points)
{
    const auto quoted = [](QString text) {
        if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
            return text;
        return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    };
    QString text = QStringLiteral("time");
    for (const THistorySeriesKey &key : keys)
        text += QLatin1Char(',') + quoted(key.Label());
    text += QStringLiteral("\r\n");
    // time -> the value of each series at that time
    std::map<qint64, QStringList> table;
    for (size_t s = 0; s < points.size(); ++s) {
        for (const THistoryPoint &point : points[s]) {
            auto &cells = table[point.Time];
            cells.resize(qsizetype(keys.size()));
            cells[qsizetype(s)] = QString::number(point.Value, 'g', 10);
        }
    }
    for (const auto &[time, cells] : table)
        text += QDateTime::fromMSecsSinceEpoch(time, Qt::UTC).toString(Qt::ISODateWithMs) + QLatin1Char(',') + cells.join(QLatin1Char(',')) +
                QStringLiteral("\r\n");
    return text.toUtf8();
}
