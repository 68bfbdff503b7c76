#pragma once

#include "THistoryWriter.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

class QTimer;
struct IoRecord;
struct ModuleRecord;
class TDataFileManager;
class TProjectSession;
class TVQQModuleBase;

// Records every change the project session announces into one SQLite history per installation
// (named by its interface module's serial number) in `folder`: module states channel by channel
// (one row for each value that changed), memos, variables, the power total, the frames sent, the
// links' health, the mode, the project opened and closed and applications updated. Test mode's
// rows are marked as such. Rows are gathered on the caller's thread and written by a thread of
// their own, at most a second of them per transaction; a history that cannot be written says so
// once and recording pauses, to be tried again later, while run time goes on.
class THistoryRecorder : public QObject
{
    Q_OBJECT

public:
    // `say` shows one line when recording pauses or a damaged history was set aside.
    THistoryRecorder(TProjectSession &session, const QString &folder, std::function<void(const QString &)> say,
                     QObject *parent = nullptr);
    ~THistoryRecorder() override;

    static QString DatabasePath(const QString &folder, const QByteArray &installation);
    // Every installation into this one file instead (quelnor-bridge --history-db).
    void SetDatabase(const QString &path) { m_database = path; }
    // The clock of the rows and of the retention (tests set their own).
    void SetClock(std::function<qint64()> now) { m_now = std::move(now); }
    void SetRetention(const THistoryRetention &retention);
    // Hands what was gathered to the writer now, and waits until it is written (tests, the end).
    void FlushAndWait();
    bool Paused() const { return m_pausedUntil != 0 && m_pausedUntil > m_now(); }
    size_t Pending() const { return m_pendingCount; }

private:
    struct Channel
    {
        quint16 Number = 0;
        const IoRecord *Io = nullptr;
        enum Kind : quint8 { Output, Cover, Dimmer, Input, Sensor, Analogue } Kind = Output;
        QString Name;    // made when a change of it is first recorded, shared by its rows after
        QString Serial;  // its module's serial number in hex, made likewise
    };

    // A report that repeats what was recorded under `key` is no change; a new value is kept.
    template <typename Key>
    static bool Repeats(QHash<Key, double> &last, const Key &key, double value)
    {
        const auto found = last.constFind(key);
        if (found != last.constEnd() && *found == value)
            return true;
        last.insert(key, value);
        return false;
    }
    void Index();
    // The channels and the databases are found again: the project's applications changed.
    void Forget();
    const QString &DatabaseOf(TDataFileManager *application);
    void Add(TDataFileManager *application, THistoryRow row);
    void AddToAll(THistoryRow row);
    void StateChanged(TDataFileManager *application, TVQQModuleBase *module, quint8 parts);
    // Adds the row unless it repeats the value last recorded under `key`.
    void Value(TDataFileManager *application, const QString &key, THistoryRow row);
    // The same for a module channel's measure, under a key of numbers (reports are many: a string
    // key made and hashed for each cost more than the rest of the recording), the row named from
    // `module` and `io`.
    void StateValue(TDataFileManager *application, quint64 key, THistoryRow row, const ModuleRecord &module, Channel &channel);
    void Flush();
    void WriterFailed(const QString &error);

    TProjectSession &m_session;
    QString m_folder;
    std::function<void(const QString &)> m_say;
    std::function<qint64()> m_now;
    QThread m_thread;
    THistoryWriter *m_writer = nullptr;
    QTimer *m_flushTimer = nullptr;
    THistoryRowChunks m_pending;
    size_t m_pendingCount = 0;
    QHash<const TVQQModuleBase *, std::vector<Channel>> m_channels;
    bool m_indexed = false;  // m_channels lists the project's modules as they are now
    QHash<const TDataFileManager *, QString> m_databases;  // each application's, once worked out
    QHash<QString, double> m_last;  // the last recorded value of each memo, variable, power…
    // ... and of each module channel's measure; test mode's apart, under the key's lowest bit.
    static constexpr quint64 k_testKey = 1;
    QHash<quint64, double> m_lastStates;
    qint64 m_pausedUntil = 0;
    QString m_database;
};
