#include "THistoryStore.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr qint64 k_day = 24 * k_hour;
constexpr qint64 k_start = 1796083200000;  // 2026-12-01T00:00:00Z

using Line = std::vector<QPointF>;

THistoryRow StateRow(qint64 time, double value, const char *what = "temperature")
{
    return {.Time = time, .Kind = QStringLiteral("state"), .Serial = QStringLiteral("0a12340b"), .Channel = 0,
            .Name = QStringLiteral("Living room / Thermostat"), .What = QString::fromLatin1(what), .Value = value, .HasValue = true};
}

THistoryRow LinkRow(qint64 time, const char *text)
{
    return {.Time = time, .Kind = QStringLiteral("link"), .What = QStringLiteral("health"), .Text = QString::fromLatin1(text)};
}

} // namespace

// The lines of a series: values held to the end of their stretch, broken where the link was
// down, the value before the range carried in, on/off as steps, the end at "now".
TEST(HistoryPlot, LinesHoldValuesAndBreakAtGaps)
{
    struct Case
    {
        const char *name;
        std::vector<THistoryPoint> points;
        std::vector<THistorySpan> gaps;
        qint64 now;
        bool steps;
        std::vector<Line> expected;
    };
    const Case cases[] = {
        {"gap", {{0, 20}, {10, 21}}, {{20, 30}}, 100, false, {{{0, 20}, {10, 21}, {20, 21}}, {{30, 21}, {40, 21}}}},
        {"steps", {{0, 0}, {10, 1}, {20, 0}}, {}, 100, true, {{{0, 0}, {10, 0}, {10, 1}, {20, 1}, {20, 0}, {40, 0}}}},
        {"carried in", {{-5, 3}, {25, 4}}, {}, 100, false, {{{0, 3}, {25, 4}, {40, 4}}}},
        {"ends now", {{0, 1}}, {}, 15, false, {{{0, 1}, {15, 1}}}},
        {"nothing yet", {{30, 1}}, {{0, 20}}, 100, false, {{{30, 1}, {40, 1}}}},
        {"no points", {}, {}, 100, false, {}},
        {"all in a gap", {{-5, 2}}, {{-10, 50}}, 100, false, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PlotLines(c.points, c.gaps, 0, 40, c.now, 0, c.steps), c.expected) << c.name;

    // 10,000 values in 10 columns: the first, lowest, highest and last of each.
    std::vector<THistoryPoint> many;
    for (int i = 0; i < 10000; ++i)
        many.push_back({i, double(i % 97)});
    const auto lines = PlotLines(many, {}, 0, 10000, 20000, 10, false);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(lines[0].size(), 41u);
    EXPECT_EQ(std::make_tuple(lines[0].front(), lines[0].back()), std::make_tuple(QPointF(0, 0), QPointF(10000, 9999 % 97)));
    const auto [low, high] = std::minmax_element(lines[0].begin(), lines[0].end(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    EXPECT_EQ(std::make_tuple(low->y(), high->y()), std::make_tuple(0.0, 96.0));

    // The link's rows as gaps: from lost, closed or opening to the next "Up"; a project closed.
    std::vector<THistoryRow> rows{LinkRow(0, "Opening"), LinkRow(5, "Up"), LinkRow(10, "Lost: no answer"), LinkRow(12, "Opening"),
                                  LinkRow(20, "Up"), LinkRow(25, "In doubt")};
    rows.push_back({.Time = 30, .Kind = QStringLiteral("project"), .What = QStringLiteral("closed")});
    EXPECT_EQ(GapsOf(rows, 50), (std::vector<THistorySpan>{{0, 5}, {10, 20}, {30, 50}}));
}

// From a real file: the rows where they are kept, the hourly figures before them, the link's
// gaps, and the series' CSV.
TEST(HistoryPlot, StoreServesSeriesGapsAndCsv)
{
    QTemporaryDir folder;
    THistoryStore store;
    QString error;
    ASSERT_TRUE(store.Open(folder.filePath(QStringLiteral("h.sqlite")), error)) << error.toStdString();
    // Two days of a temperature every ten minutes; the link lost for an hour on the second day.
    std::vector<THistoryRow> rows;
    for (qint64 t = 0; t < 2 * k_day; t += 10 * 60 * 1000)
        rows.push_back(StateRow(k_start + t, 20 + double(t / (10 * 60 * 1000) % 10) / 10));
    rows.push_back(LinkRow(k_start + 30 * k_hour, "Lost: no answer"));
    rows.push_back(LinkRow(k_start + 31 * k_hour, "Up"));
    rows.push_back(StateRow(k_start + 5, 99));
    rows.back().Test = true;
    rows.push_back(StateRow(k_start + 7, 19, "set point"));
    ASSERT_TRUE(store.Write(rows, error)) << error.toStdString();

    const auto keys = store.SeriesKeys();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(std::make_tuple(keys[0].What, keys[1].Label()), std::make_tuple(QStringLiteral("set point"), QStringLiteral("Living room / Thermostat — temperature")));
    const THistorySeriesKey temperature = keys[1];

    const auto points = store.Points(temperature, k_start + k_hour + 1, k_start + 2 * k_hour);
    ASSERT_EQ(points.size(), 6u) << "the value before the range and the five in it; the test row left out";
    EXPECT_EQ(points[0].Time, k_start + k_hour);
    EXPECT_EQ(store.Gaps(k_start, k_start + 2 * k_day), (std::vector<THistorySpan>{{k_start + 30 * k_hour, k_start + 31 * k_hour}}));
    auto lines = store.Plot(temperature, k_start, k_start + 2 * k_day, k_start + 3 * k_day, 0);
    ASSERT_EQ(lines.size(), 2u) << "broken at the link loss";
    EXPECT_EQ(lines[0].back(), QPointF(double(k_start + 30 * k_hour), 20.0)) << "a report at the moment of the loss is shown";
    EXPECT_EQ(lines[1].front(), QPointF(double(k_start + 31 * k_hour), 20.6));

    // After the retention only the hourly figures are left: the plot shows them, two an hour.
    ASSERT_TRUE(store.Purge(k_start + 33 * k_day, THistoryRetention{.RawDays = 30, .HourlyDays = 730}, error)) << error.toStdString();
    lines = store.Plot(temperature, k_start, k_start + k_day, k_start + 40 * k_day, 0);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 24u * 2 + 1);
    EXPECT_EQ(std::make_tuple(lines[0][0], lines[0][1]), std::make_tuple(QPointF(double(k_start), 20.0), QPointF(double(k_start + k_hour / 2), 20.5)));

    // A channel renamed (an application updated): its older rows keep the name they had.
    THistoryRow renamed = StateRow(k_start + 40 * k_day, 22);
    renamed.Name = QStringLiteral("Lounge / Thermostat");
    ASSERT_TRUE(store.Write({StateRow(k_start + 39 * k_day, 21), renamed}, error)) << error.toStdString();
    const auto named = store.Rows(k_start + 39 * k_day, k_start + 41 * k_day);
    ASSERT_EQ(named.size(), 2u);
    EXPECT_EQ(QStringList({named[0].Name, named[1].Name}), QStringList({"Living room / Thermostat", "Lounge / Thermostat"}));
    const auto listed = store.SeriesKeys();
    ASSERT_EQ(listed.size(), 2u) << "the set point stays listed: its hourly figures are kept";
    EXPECT_EQ(QStringList({listed[1].What, listed[1].Name}), QStringList({"temperature", "Lounge / Thermostat"}));
    // The series over the whole time, as exported: the hourly figures, then the rows kept.
    const auto whole = store.SeriesPoints(temperature, k_start, k_start + 41 * k_day, false);
    ASSERT_EQ(whole.size(), 48u * 2 + 2);
    EXPECT_EQ(std::make_tuple(whole.front().Time, whole.front().Value, whole.back().Time, whole.back().Value),
              std::make_tuple(k_start, 20.0, k_start + 40 * k_day, 22.0));

    EXPECT_EQ(THistoryStore::SeriesCsv({temperature, keys[0]}, {{{k_start, 20.5}, {k_start + 60000, 21}}, {{k_start + 60000, 19}}}),
              QByteArray("time,Living room / Thermostat — temperature,Living room / Thermostat — set point\r\n"
                         "2026-12-01T00:00:00.000Z,20.5,\r\n"
                         "2026-12-01T00:01:00.000Z,21,19\r\n"));
}

// A history of the first version (names in every row, no catalogue): read as it is, and given
// its catalogue when it is next written.
TEST(HistoryPlot, AFileOfTheFirstVersionReads)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("old.sqlite"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("CREATE TABLE events(time INTEGER NOT NULL, kind TEXT NOT NULL, module INTEGER, serial TEXT, "
                                              "channel INTEGER, name TEXT, what TEXT, value REAL, text TEXT, test INTEGER NOT NULL)")));
        ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO events VALUES(%1, 'state', 10, '0a12340b', 0, 'Living room / Thermostat', "
                                              "'temperature', 20.5, '20.5', 0)").arg(k_start)));
        ASSERT_TRUE(query.exec(QStringLiteral("INSERT INTO events VALUES(%1, 'variable', NULL, NULL, 3, 'Guests', 'value', 2, '', 0)").arg(k_start)));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("old"));
    for (const bool readOnly : {true, false}) {
        THistoryStore store;
        QString error;
        ASSERT_TRUE(store.Open(path, error, nullptr, readOnly)) << error.toStdString();
        const auto rows = store.Rows(0, k_start + k_day);
        ASSERT_EQ(rows.size(), 2u) << readOnly;
        EXPECT_EQ(rows[0].Name, QStringLiteral("Living room / Thermostat"));
        const auto keys = store.SeriesKeys();
        ASSERT_EQ(keys.size(), 2u) << readOnly;
        EXPECT_EQ(std::make_tuple(keys[0].Label(), keys[0].Channel, keys[0].Serial), std::make_tuple(QStringLiteral("Guests — value"), 3, QString()));
        EXPECT_EQ(store.Points(keys[0], 0, k_start + 1), (std::vector<THistoryPoint>{{k_start, 2}}));
        EXPECT_EQ(keys[1].Label(), QStringLiteral("Living room / Thermostat — temperature"));
    }
}
