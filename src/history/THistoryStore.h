#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>

#include "THistorySeries.h"

#include <functional>
#include <vector>

// One recorded change: what happened to which channel, and when.
struct THistoryRow
{
    qint64 Time = 0;       // milliseconds since the epoch, UTC
    QString Kind;          // state, command, link, mode, project, memo, variable, power
    int Module = -1;       // the module's number; -1 for none
    QString Serial;        // the module's serial number in hex; empty for none
    int Channel = -1;      // the channel, memo or variable number; -1 for none
    QString Name;          // the module's, memo's or variable's name, the channel's after " / "
    QString What;          // output, input, level, temperature, set point, mode, value, health, …
    double Value = 0;      // the number, when HasValue
    bool HasValue = false;
    QString Text;          // the value as text (ON, OFF, Lost, Run Time, the frame…)
    bool Test = false;     // made in test mode, never reported by a module

    bool operator==(const THistoryRow &) const = default;
};

// How long the rows are kept: raw rows, and the hourly minimum, maximum and average of the
// numeric ones.
struct THistoryRetention
{
    qint64 RawDays = 30;
    qint64 HourlyDays = 730;
};

// One installation's history in a SQLite file: WAL, one transaction per batch. Used from one
// thread (the recorder's writer thread, or a tool reading it). A file that is no database or is
// damaged is set aside under another name and a new one started; it is never deleted.
class THistoryStore
{
public:
    THistoryStore();
    ~THistoryStore();
    THistoryStore(const THistoryStore &) = delete;
    THistoryStore &operator=(const THistoryStore &) = delete;

    // Opens (or makes) the database; false with `error` when it cannot be used now (locked, the
    // folder not writable). `setAside` says the name a damaged file was given.
    bool Open(const QString &path, QString &error, QString *setAside = nullptr, bool readOnly = false);
    void Close();
    bool IsOpen() const;
    const QString &Path() const { return m_path; }

    // One transaction; false with `error` (the rows are then not written).
    bool Write(const std::vector<THistoryRow> &rows, QString &error);
    // Hours older than the last full hour before `now` get their aggregates; raw rows and
    // aggregates older than the retention go.
    bool Purge(qint64 now, const THistoryRetention &retention, QString &error);

    // Rows in [since, until), oldest first, filtered by module (-1: any) and kind (empty: any);
    // with `newest`, only that many of the newest.
    std::vector<THistoryRow> Rows(qint64 since, qint64 until, int module = -1, const QString &kind = {}, int newest = 0) const;
    struct Hourly
    {
        qint64 Hour = 0;
        double Minimum = 0;
        double Maximum = 0;
        double Average = 0;
        qint64 Count = 0;
    };
    std::vector<Hourly> HourlyOf(const QString &serial, int channel, const QString &what) const;

    // The rows as CSV: a header line, ISO 8601 UTC times, CRLF line ends.
    static QByteArray Csv(const std::vector<THistoryRow> &rows);

    // The numeric series the rows hold (test mode's left out), each with its newest name.
    std::vector<THistorySeriesKey> SeriesKeys() const;
    // A series' reported values in [since, until) and the last one before `since`, oldest first.
    std::vector<THistoryPoint> Points(const THistorySeriesKey &key, qint64 since, qint64 until) const;
    // The hourly lowest and highest values of a series in [since, until), two points an hour.
    std::vector<THistoryPoint> HourlyPoints(const THistorySeriesKey &key, qint64 since, qint64 until) const;
    // The spans of [since, until) with no reports: the link lost, closed or opening.
    std::vector<THistorySpan> Gaps(qint64 since, qint64 until) const;
    // A series over [since, until]: the rows kept where they are, the hourly figures before
    // them; `coarse`, for more than a month the hourly figures wherever they exist.
    std::vector<THistoryPoint> SeriesPoints(const THistorySeriesKey &key, qint64 since, qint64 until, bool coarse) const;
    // Its lines for a plot `pixels` wide, coarse.
    std::vector<std::vector<QPointF>> Plot(const THistorySeriesKey &key, qint64 since, qint64 until, qint64 now, int pixels) const;
    // Series as CSV: a time column and one column per series, a row at each time any of them
    // changed (empty where that one did not).
    static QByteArray SeriesCsv(const std::vector<THistorySeriesKey> &keys, const std::vector<std::vector<THistoryPoint>> &points);

private:
    bool Prepare(QString &error);
    // Keeps the channel's name in the names table when it is new or changed.
    bool Rename(class THistoryStatements &statements, QHash<QString, QString> &names, const THistoryRow &row, QString &error) const;
    // Keeps a numeric series, with its newest name, in the series table when it is new or renamed.
    bool Catalogue(class THistoryStatements &statements, QHash<QString, QString> &series, const THistoryRow &row, QString &error) const;
    // Makes the names and series tables (the series from the rows a file of an older version holds).
    bool PrepareCatalogue(QString &error);
    // Whether a file opened for reading has them (a writer may add them while it is open).
    void FindCatalogue() const;
    // The SQL expression of a row's name.
    QString NameColumn() const;

    QString m_connection;
    QString m_path;
    QHash<QString, QString> m_names;   // "serial/channel" -> the name kept last
    QHash<QString, QString> m_series;  // "kind/serial/channel/what" -> the name kept last
    mutable bool m_hasNames = false;
    mutable bool m_hasSeries = false;
};
