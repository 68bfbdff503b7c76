// The store's catalogue: the names of the channels over time, and the numeric series recorded,
// kept once each rather than in every row.
#include "THistoryStore.h"
#include "THistoryStatements.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// None kept yet reads as a name no channel has, so that the first one is kept.
const QString k_none = QStringLiteral("\u0001");

bool HasTable(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    query.addBindValue(table);
    return query.exec() && query.next();
}

// The catalogue keeps "" where a row has no serial: SQL binds a null string as NULL.
QString NotNull(const QString &text)
{
    return text.isNull() ? QString::fromLatin1("", 0) : text;
}

bool Run(QSqlQuery &query, QString &error)
{
    if (query.exec())
        return true;
    error = query.lastError().text();
    return false;
}

} // namespace

QString THistoryStore::NameColumn() const
{
    // A channel's rows take the name it had at their time; other rows carry their own.
    if (!m_hasNames)
        FindCatalogue();
    if (!m_hasNames)
        return QStringLiteral("events.name");
    return QStringLiteral("IFNULL(events.name, (SELECT names.name FROM names WHERE names.serial = events.serial AND "
                          "names.channel = events.channel AND names.since <= events.time ORDER BY names.since DESC LIMIT 1))");
}

void THistoryStore::FindCatalogue() const
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    m_hasNames = HasTable(db, QStringLiteral("names"));
    m_hasSeries = HasTable(db, QStringLiteral("series"));
}

bool THistoryStore::PrepareCatalogue(QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    const bool hadSeries = HasTable(db, QStringLiteral("series"));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("CREATE TABLE IF NOT EXISTS names(serial TEXT NOT NULL, channel INTEGER NOT NULL, since INTEGER NOT NULL, "
                                 "name TEXT, PRIMARY KEY(serial, channel, since))"));
    if (!Run(query, error))
        return false;
    query.prepare(QStringLiteral("CREATE TABLE IF NOT EXISTS series(kind TEXT NOT NULL, serial TEXT NOT NULL, channel INTEGER NOT NULL, "
                                 "what TEXT NOT NULL, name TEXT, PRIMARY KEY(kind, serial, channel, what))"));
    if (!Run(query, error))
        return false;
    m_hasNames = true;
    m_hasSeries = true;
    if (hadSeries)
        return true;
    // A file of the first version: its series listed once from its rows.
    query.prepare(QStringLiteral("INSERT OR IGNORE INTO series(kind, serial, channel, what, name) SELECT kind, IFNULL(serial, ''), "
                                 "IFNULL(channel, -1), what, ") +
                  NameColumn() + QStringLiteral(" FROM events WHERE value IS NOT NULL AND test = 0 GROUP BY kind, serial, channel, what"));
    return Run(query, error);
}

bool THistoryStore::Rename(THistoryStatements &statements, QHash<QString, QString> &names, const THistoryRow &row, QString &error) const
{
    const QString channel = row.Serial + QLatin1Char('/') + QString::number(row.Channel);
    auto known = names.find(channel);
    if (known == names.end()) {
        QSqlQuery &last = statements.Bound(THistoryStatements::LastName,
                                           QStringLiteral("SELECT name FROM names WHERE serial = ? AND channel = ? ORDER BY since DESC LIMIT 1"),
                                           {row.Serial, row.Channel});
        if (!Run(last, error))
            return false;
        known = names.insert(channel, last.next() ? last.value(0).toString() : k_none);
        last.finish();
    }
    if (*known == row.Name)
        return true;
    QSqlQuery &rename = statements.Bound(THistoryStatements::KeepName,
                                         QStringLiteral("INSERT OR REPLACE INTO names(serial, channel, since, name) VALUES(?, ?, ?, ?)"),
                                         {row.Serial, row.Channel, row.Time, row.Name});
    if (!Run(rename, error))
        return false;
    *known = row.Name;
    return true;
}

bool THistoryStore::Catalogue(THistoryStatements &statements, QHash<QString, QString> &series, const THistoryRow &row, QString &error) const
{
    const QString key = row.Kind + QLatin1Char('/') + row.Serial + QLatin1Char('/') + QString::number(row.Channel) + QLatin1Char('/') + row.What;
    auto known = series.find(key);
    if (known == series.end()) {
        QSqlQuery &last = statements.Bound(THistoryStatements::LastSeries,
                                           QStringLiteral("SELECT name FROM series WHERE kind = ? AND serial = ? AND channel = ? AND what = ?"),
                                           {row.Kind, NotNull(row.Serial), row.Channel, row.What});
        if (!Run(last, error))
            return false;
        known = series.insert(key, last.next() ? last.value(0).toString() : k_none);
        last.finish();
    }
    if (*known == row.Name)
        return true;
    QSqlQuery &keep = statements.Bound(THistoryStatements::KeepSeries,
                                       QStringLiteral("INSERT OR REPLACE INTO series(kind, serial, channel, what, name) VALUES(?, ?, ?, ?, ?)"),
                                       {row.Kind, NotNull(row.Serial), row.Channel, row.What, NotNull(row.Name)});
    if (!Run(keep, error))
        return false;
    *known = row.Name;
    return true;
}

std::vector<THistorySeriesKey> THistoryStore::SeriesKeys() const
{
    if (!m_hasSeries)
        FindCatalogue();
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // A file of the first version, read only: its series from its rows, named by the newest.
    const QString sql = m_hasSeries ? QStringLiteral("SELECT kind, serial, channel, what, name FROM series ORDER BY name, what")
                                    : QStringLiteral("SELECT kind, IFNULL(serial, ''), IFNULL(channel, -1), what, ") + NameColumn() +
                                          QStringLiteral(" AS named, MAX(time) FROM events WHERE value IS NOT NULL AND test = 0 "
                                                         "GROUP BY kind, serial, channel, what ORDER BY named, what");
    std::vector<THistorySeriesKey> keys;
    if (!query.exec(sql))
        return keys;
    while (query.next())
        keys.push_back({query.value(0).toString(), query.value(1).toString(), query.value(2).toInt(), query.value(3).toString(),
                        query.value(4).toString()});
    return keys;
}
