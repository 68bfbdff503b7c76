#pragma once

#include "THistoryStore.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <vector>

// Rows for the writer, each with its database path, gathered in chunks of a bounded size: a burst
// of changes adds rows without moving those already gathered.
using THistoryRowChunks = std::vector<std::vector<std::pair<QString, THistoryRow>>>;

// The recorder's writing side: lives on the recorder's thread, one store per installation.
class THistoryWriter : public QObject
{
    Q_OBJECT

public:
    // Writes each file's rows in one transaction; a file that fails says so and is let go.
    void Write(const THistoryRowChunks &rows);
    // The retention on every open file.
    void Purge(qint64 now);

    THistoryRetention m_retention;

signals:
    void failed(const QString &message);
    void notice(const QString &message);

private:
    THistoryStore *StoreOf(const QString &path);

    std::map<QString, std::unique_ptr<THistoryStore>> m_stores;
};
