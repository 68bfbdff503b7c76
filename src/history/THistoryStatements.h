#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>

#include <QVariant>

#include <array>
#include <initializer_list>
#include <optional>

// The catalogue's statements for one write, each prepared when first needed and then only bound
// and run again: SQLite compiles a statement once a write rather than once a row (a first refresh
// brings thousands of channels never seen).
class THistoryStatements
{
public:
    enum Which { LastName, KeepName, LastSeries, KeepSeries, Count };

    explicit THistoryStatements(const QSqlDatabase &db)
        : m_db(db)
    {
    }
    QSqlQuery &Get(Which which, const QString &sql)
    {
        std::optional<QSqlQuery> &query = m_queries[which];
        if (!query) {
            query.emplace(m_db);
            query->prepare(sql);
        }
        return *query;
    }
    // The statement with `values` bound to its placeholders in order.
    QSqlQuery &Bound(Which which, const QString &sql, std::initializer_list<QVariant> values)
    {
        QSqlQuery &query = Get(which, sql);
        int index = 0;
        for (const QVariant &value : values)
            query.bindValue(index++, value);
        return query;
    }

private:
    QSqlDatabase m_db;
    std::array<std::optional<QSqlQuery>, Count> m_queries;
};
