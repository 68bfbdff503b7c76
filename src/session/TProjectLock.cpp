#include "TProjectLock.h"

#include <QFileInfo>
#include <QLockFile>

TProjectLock::TProjectLock() = default;

TProjectLock::~TProjectLock() = default;

QString TProjectLock::LockPath(const QString &path)
{
    const QFileInfo file(path);
    return file.absolutePath() + QStringLiteral("/.") + file.fileName() + QStringLiteral(".lock");
}

void TProjectLock::Take(const QString &path)
{
    Release();
    auto lock = std::make_unique<QLockFile>(LockPath(path));
    // Only a mark whose process is gone is stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return;
    m_lock = std::move(lock);
    m_path = QFileInfo(path).absoluteFilePath();
}

void TProjectLock::Release()
{
    m_lock.reset();
    m_path.clear();
}

bool TProjectLock::Holds(const QString &path) const
{
    return m_lock && m_path == QFileInfo(path).absoluteFilePath();
}

QString TProjectLock::OtherHolder(const QString &path)
{
    QLockFile lock(LockPath(path));
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        lock.unlock();
        return {};
    }
    if (lock.error() != QLockFile::LockFailedError)
        return {};
    qint64 pid = 0;
    QString host, application;
    lock.getLockInfo(&pid, &host, &application);
    return QStringLiteral("process %1 on %2").arg(pid).arg(host);
}
