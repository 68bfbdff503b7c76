#include "THistoryWriter.h"

#include <QDir>
#include <QFileInfo>

void THistoryWriter::Write(const THistoryRowChunks &rows)
{
    std::map<QString, std::vector<THistoryRow>> byPath;
    for (const auto &chunk : rows) {
        for (const auto &[path, row] : chunk)
            byPath[path].push_back(row);
    }
    for (const auto &[path, list] : byPath) {
        THistoryStore *store = StoreOf(path);
        QString error;
        if (!store || !store->Write(list, error)) {
            if (store)
                emit failed(QStringLiteral("The history %1 cannot be written (%2): recording is paused.").arg(path, error));
            m_stores.erase(path);
            return;
        }
    }
}

void THistoryWriter::Purge(qint64 now)
{
    for (auto &[path, store] : m_stores) {
        QString error;
        store->Purge(now, m_retention, error);
    }
}

THistoryStore *THistoryWriter::StoreOf(const QString &path)
{
    auto found = m_stores.find(path);
    if (found != m_stores.end())
        return found->second.get();
    auto store = std::make_unique<THistoryStore>();
    QString error;
    QString aside;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!store->Open(path, error, &aside)) {
        emit failed(QStringLiteral("The history %1 cannot be opened (%2): recording is paused.").arg(path, error));
        return nullptr;
    }
    if (!aside.isEmpty())
        emit notice(QStringLiteral("The history %1 was damaged: it was set aside as %2 and a new one begun.").arg(path, aside));
    return m_stores.emplace(path, std::move(store)).first->second.get();
}
