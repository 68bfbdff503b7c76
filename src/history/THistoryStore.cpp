#include "THistoryStore.h"
#include "THistoryStatements.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sqlite3.h>

#include <algorithm>
#include <mutex>

namespace {

constexpr qint64 k_hour = 3600 * 1000;
constexpr qint64 k_day = 24 * k_hour;

QSqlDatabase Db(const QString &connection)
{
    return QSqlDatabase::database(connection, false);
}

bool Exec(QSqlQuery &query, const QString &sql, QString &error)
{
    if (query.exec(sql))
        return true;
    error = query.lastError().text();
    return false;
}

// The damage SQLite reports for a file that is no database or is broken.
bool Damaged(const QString &text)
{
    return text.contains(QStringLiteral("not a database"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("malformed"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("corrupt"), Qt::CaseInsensitive);
}

// Each connection would set aside twenty pages (87 KB) for its page cache at its first read, and
// the program holds one per installation: pages are taken one by one as they are read instead.
// It must be said before SQLite's first use in the process; said later, SQLite declines it.
void LeanPageCache()
{
    static std::once_flag once;
    std::call_once(once, [] { sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0); });
}

} // namespace

namespace {

QString Quoted(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

THistoryStore::THistoryStore()
    : m_connection(QStringLiteral("history-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

THistoryStore::~THistoryStore()
{
    Close();
}

bool THistoryStore::IsOpen() const
{
    return Db(m_connection).isOpen();
}

void THistoryStore::Close()
{
    if (QSqlDatabase::contains(m_connection)) {
        {
            QSqlDatabase db = Db(m_connection);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool THistoryStore::Open(const QString &path, QString &error, QString *setAside, bool readOnly)
{
    Close();
    m_path = path;
    LeanPageCache();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        db.setDatabaseName(path);
        // A locked file waits a little, never blocks for long.
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000;QSQLITE_OPEN_READONLY")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            error = db.lastError().text();
            return false;
        }
    }
    if (readOnly) {
        FindCatalogue();
        return true;
    }
    if (Prepare(error))
        return true;
    if (!Damaged(error))
        return false;
    // Damaged: kept under another name for whoever wants to look at it, and a new one begun.
    Close();
    const QString aside = path + QStringLiteral(".damaged-") + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!QFile::rename(path, aside)) {
        error = QStringLiteral("The damaged history ") + path + QStringLiteral(" could not be set aside");
        return false;
    }
    for (const char *side : {"-wal", "-shm"})
        QFile::rename(path + QLatin1String(side), aside + QLatin1String(side));
    if (setAside)
        *setAside = aside;
    return Open(path, error, nullptr);
}

bool THistoryStore::Prepare(QString &error)
{
    QSqlQuery query(Db(m_connection));
    // A damaged file shows here, at its first read.
    if (!Exec(query, QStringLiteral("PRAGMA quick_check"), error))
        return false;
    if (query.next() && query.value(0).toString() != QStringLiteral("ok")) {
        error = QStringLiteral("database disk image is malformed");
        return false;
    }
    query.finish();
    // The check read the whole file into the page cache: given back, the writes fill it again.
    return Exec(query, QStringLiteral("PRAGMA shrink_memory"), error) && Exec(query, QStringLiteral("PRAGMA journal_mode=WAL"), error) &&
           Exec(query, QStringLiteral("PRAGMA synchronous=NORMAL"), error) &&
           Exec(query, QStringLiteral("CREATE TABLE IF NOT EXISTS events(time INTEGER NOT NULL, kind TEXT NOT NULL, module INTEGER, "
                                      "serial TEXT, channel INTEGER, name TEXT, what TEXT, value REAL, text TEXT, test INTEGER NOT NULL)"),
                error) &&
           Exec(query, QStringLiteral("CREATE INDEX IF NOT EXISTS events_time ON events(time)"), error) &&
           Exec(query, QStringLiteral("CREATE INDEX IF NOT EXISTS events_series ON events(serial, channel, what, time)"), error) &&
           // The link's and the project's rows are few: an index of their own finds the gaps.
           Exec(query, QStringLiteral("DROP INDEX IF EXISTS events_kind"), error) &&
           Exec(query, QStringLiteral("CREATE INDEX IF NOT EXISTS events_link ON events(time) WHERE kind IN ('link', 'project')"), error) &&
           Exec(query, QStringLiteral("CREATE TABLE IF NOT EXISTS hourly(hour INTEGER NOT NULL, serial TEXT NOT NULL, channel INTEGER NOT NULL, "
                                      "what TEXT NOT NULL, minimum REAL, maximum REAL, average REAL, count INTEGER, "
                                      "PRIMARY KEY(hour, serial, channel, what))"),
                error) &&
           Exec(query, QStringLiteral("CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value INTEGER)"), error) &&
           PrepareCatalogue(error);
}

bool THistoryStore::Write(const std::vector<THistoryRow> &rows, QString &error)
{
    QSqlDatabase db = Db(m_connection);
    if (!db.isOpen()) {
        error = QStringLiteral("The history is not open");
        return false;
    }
    if (!db.transaction()) {
        error = db.lastError().text();
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO events(time, kind, module, serial, channel, name, what, value, text, test) "
                                  "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QHash<QString, QString> names = m_names;
    QHash<QString, QString> series = m_series;
    THistoryStatements statements(db);
    for (const THistoryRow &row : rows) {
        const bool named = !row.Serial.isEmpty() && row.Channel >= 0;
        if ((named && !Rename(statements, names, row, error)) || (row.HasValue && !row.Test && !Catalogue(statements, series, row, error))) {
            db.rollback();
            return false;
        }
        insert.addBindValue(row.Time);
        insert.addBindValue(row.Kind);
        insert.addBindValue(row.Module >= 0 ? QVariant(row.Module) : QVariant());
        insert.addBindValue(row.Serial.isEmpty() ? QVariant() : QVariant(row.Serial));
        insert.addBindValue(row.Channel >= 0 ? QVariant(row.Channel) : QVariant());
        insert.addBindValue(named ? QVariant() : QVariant(row.Name));
        insert.addBindValue(row.What);
        insert.addBindValue(row.HasValue ? QVariant(row.Value) : QVariant());
        insert.addBindValue(row.Text);
        insert.addBindValue(row.Test ? 1 : 0);
        if (!insert.exec()) {
            error = insert.lastError().text();
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        error = db.lastError().text();
        db.rollback();
        return false;
    }
    m_names = std::move(names);
    m_series = std::move(series);
    return true;
}

bool THistoryStore::Purge(qint64 now, const THistoryRetention &retention, QString &error)
{
    QSqlDatabase db = Db(m_connection);
    QSqlQuery query(db);
    if (!Exec(query, QStringLiteral("SELECT value FROM meta WHERE key = 'aggregated'"), error))
        return false;
    const qint64 from = query.next() ? query.value(0).toLongLong() : 0;
    const qint64 until = now / k_hour * k_hour;  // the hour under way is not complete
    if (!db.transaction()) {
        error = db.lastError().text();
        return false;
    }
    // Reported numbers only: test rows are no measurement.
    const QString aggregate = QStringLiteral(
        "INSERT OR REPLACE INTO hourly(hour, serial, channel, what, minimum, maximum, average, count) "
        "SELECT time / %1 * %1, IFNULL(serial, ''), IFNULL(channel, -1), what, MIN(value), MAX(value), AVG(value), COUNT(*) FROM events "
        "WHERE time >= %2 AND time < %3 AND value IS NOT NULL AND test = 0 "
        "GROUP BY time / %1, serial, channel, what").arg(k_hour).arg(from).arg(until);
    const bool done = Exec(query, aggregate, error) &&
                      Exec(query, QStringLiteral("INSERT OR REPLACE INTO meta(key, value) VALUES('aggregated', %1)").arg(until), error) &&
                      Exec(query, QStringLiteral("DELETE FROM events WHERE time < %1").arg(now - retention.RawDays * k_day), error) &&
                      Exec(query, QStringLiteral("DELETE FROM hourly WHERE hour < %1").arg(now - retention.HourlyDays * k_day), error);
    if (!done || !db.commit()) {
        if (error.isEmpty())
            error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

std::vector<THistoryRow> THistoryStore::Rows(qint64 since, qint64 until, int module, const QString &kind, int newest) const
{
    QSqlQuery query(Db(m_connection));
    QString sql = QStringLiteral("SELECT time, kind, module, serial, channel, ") + NameColumn() + QStringLiteral(", what, value, text, test FROM events "
                                 "WHERE time >= ? AND time < ?");
    if (module >= 0)
        sql += QStringLiteral(" AND module = ?");
    if (!kind.isEmpty())
        sql += QStringLiteral(" AND kind = ?");
    query.prepare(newest > 0 ? sql + QStringLiteral(" ORDER BY time DESC, rowid DESC LIMIT %1").arg(newest)
                             : sql + QStringLiteral(" ORDER BY time, rowid"));
    query.addBindValue(since);
    query.addBindValue(until);
    if (module >= 0)
        query.addBindValue(module);
    if (!kind.isEmpty())
        query.addBindValue(kind);
    std::vector<THistoryRow> rows;
    if (!query.exec())
        return rows;
    while (query.next()) {
        THistoryRow row;
        row.Time = query.value(0).toLongLong();
        row.Kind = query.value(1).toString();
        row.Module = query.value(2).isNull() ? -1 : query.value(2).toInt();
        row.Serial = query.value(3).toString();
        row.Channel = query.value(4).isNull() ? -1 : query.value(4).toInt();
        row.Name = query.value(5).toString();
        row.What = query.value(6).toString();
        row.HasValue = !query.value(7).isNull();
        row.Value = query.value(7).toDouble();
        row.Text = query.value(8).toString();
        row.Test = query.value(9).toInt() != 0;
        rows.push_back(row);
    }
    if (newest > 0)
        std::reverse(rows.begin(), rows.end());
    return rows;
}

std::vector<THistoryStore::Hourly> THistoryStore::HourlyOf(const QString &serial, int channel, const QString &what) const
{
    QSqlQuery query(Db(m_connection));
    query.prepare(QStringLiteral("SELECT hour, minimum, maximum, average, count FROM hourly WHERE serial = IFNULL(?, '') AND channel = ? AND what = ? "
                                 "ORDER BY hour"));
    query.addBindValue(serial);
    query.addBindValue(channel);
    query.addBindValue(what);
    std::vector<Hourly> hours;
    if (query.exec()) {
        while (query.next())
            hours.push_back({query.value(0).toLongLong(), query.value(1).toDouble(), query.value(2).toDouble(), query.value(3).toDouble(),
                             query.value(4).toLongLong()});
    }
    return hours;
}

QByteArray THistoryStore::Csv(const std::vector<THistoryRow> &rows)
{
    QString text = QStringLiteral("time,kind,module,channel,name,what,value,test\r\n");
    for (const THistoryRow &row : rows) {
        const QString time = QDateTime::fromMSecsSinceEpoch(row.Time, Qt::UTC).toString(Qt::ISODateWithMs);
        const QString value = row.HasValue ? QString::number(row.Value, 'g', 10) : Quoted(row.Text);
        text += time + QLatin1Char(',') + row.Kind + QLatin1Char(',') + (row.Module >= 0 ? QString::number(row.Module) : QString()) +
                QLatin1Char(',') + (row.Channel >= 0 ? QString::number(row.Channel) : QString()) + QLatin1Char(',') + Quoted(row.Name) +
                QLatin1Char(',') + Quoted(row.What) + QLatin1Char(',') + value + QLatin1Char(',') + (row.Test ? QStringLiteral("1") : QStringLiteral("0")) +
                QStringLiteral("\r\n");
    }
    return text.toUtf8();
}
