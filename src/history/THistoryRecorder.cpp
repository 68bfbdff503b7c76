#include "THistoryRecorder.h"

#include "THistoryWriter.h"

#include "TChannelStates.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TFrameDecoder.h"
#include "TLinkSession.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTimer>

#include <map>

namespace {

// A test starts from what the modules reported: only what its clicks change is recorded, apart;
// leaving it, the reported states come back, which is no change.
template <typename Key, typename IsTest, typename AsTest>
void RestartTest(QHash<Key, double> &last, RunMode mode, IsTest isTest, AsTest asTest)
{
    last.removeIf([&isTest](const auto &entry) { return isTest(entry.key()); });
    if (mode != RunMode::Test)
        return;
    const QHash<Key, double> reported = last;
    for (auto it = reported.begin(); it != reported.end(); ++it)
        last.insert(asTest(it.key()), it.value());
}

constexpr qint64 k_pause = 60 * 1000;

QString HealthName(LinkHealth health)
{
    switch (health) {
    case LinkHealth::Closed: return QStringLiteral("Closed");
    case LinkHealth::Opening: return QStringLiteral("Opening");
    case LinkHealth::Up: return QStringLiteral("Up");
    case LinkHealth::InDoubt: return QStringLiteral("In doubt");
    case LinkHealth::Lost: return QStringLiteral("Lost");
    }
    return {};
}

QString ModeName(RunMode mode)
{
    switch (mode) {
    case RunMode::RunTime: return QStringLiteral("Run Time");
    case RunMode::Test: return QStringLiteral("Test");
    default: return QStringLiteral("Design Time");
    }
}

// A row of the project's own life: opened, closed, an application updated.
THistoryRow ProjectRow(const QString &what, const QString &text)
{
    THistoryRow row;
    row.Kind = QStringLiteral("project");
    row.What = what;
    row.Text = text;
    return row;
}

} // namespace

THistoryRecorder::THistoryRecorder(TProjectSession &session, const QString &folder, std::function<void(const QString &)> say,
                                   QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_folder(folder)
    , m_say(std::move(say))
    , m_now([] { return QDateTime::currentMSecsSinceEpoch(); })
    , m_writer(new THistoryWriter)
    , m_flushTimer(new QTimer(this))
{
    m_writer->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    connect(m_writer, &THistoryWriter::failed, this, &THistoryRecorder::WriterFailed);
    connect(m_writer, &THistoryWriter::notice, this, [this](const QString &text) {
        if (m_say)
            m_say(text);
    });
    m_thread.start();
    // At most a second of changes in each transaction.
    m_flushTimer->setInterval(1000);
    connect(m_flushTimer, &QTimer::timeout, this, &THistoryRecorder::Flush);
    m_flushTimer->start();
    // The retention runs in the background once an hour.
    auto *purge = new QTimer(this);
    purge->setInterval(3600 * 1000);
    connect(purge, &QTimer::timeout, this, [this] {
        const qint64 now = m_now();
        QMetaObject::invokeMethod(m_writer, [writer = m_writer, now] { writer->Purge(now); });
    });
    purge->start();

    TProjectSession *s = &session;
    // The channels are listed when a state first comes after a change: an open adds many applications.
    connect(s, &TProjectSession::projectOpened, this, [this] {
        Forget();
        AddToAll(ProjectRow(QStringLiteral("opened"), m_session.Project()->FileName()));
    });
    connect(s, &TProjectSession::aboutToClose, this, [this] {
        AddToAll(ProjectRow(QStringLiteral("closed"), m_session.Project()->FileName()));
        Flush();
        Forget();
    });
    connect(s, &TProjectSession::applicationAdded, this, [this] { Forget(); });
    connect(s, &TProjectSession::applicationUpdated, this, [this](TDataFileManager *application) {
        Forget();
        Add(application, ProjectRow(QStringLiteral("updated"), TCodePage::ToDisplay(application->DisplayName())));
    });
    connect(s, &TProjectSession::applicationRemoved, this, [this] { Forget(); });
    connect(s, &TProjectSession::modeChanged, this, [this](RunMode mode) {
        RestartTest(m_last, mode, [](const QString &key) { return key.startsWith(QStringLiteral("test/")); },
                    [](const QString &key) { return QStringLiteral("test/") + key; });
        RestartTest(m_lastStates, mode, [](quint64 key) { return (key & k_testKey) != 0; }, [](quint64 key) { return key | k_testKey; });
        THistoryRow row;
        row.Kind = QStringLiteral("mode");
        row.What = QStringLiteral("mode");
        row.Text = ModeName(mode);
        AddToAll(row);
    });
    connect(s, &TProjectSession::healthChanged, this, [this](TDataFileManager *application, LinkHealth health) {
        THistoryRow row;
        row.Kind = QStringLiteral("link");
        row.What = QStringLiteral("health");
        row.Text = HealthName(health);
        if (health == LinkHealth::Lost)
            row.Text += QStringLiteral(": ") + application->Session().LostReason();
        Add(application, row);
    });
    connect(s, &TProjectSession::stateChanged, this, &THistoryRecorder::StateChanged);
    connect(s, &TProjectSession::memoChanged, this, [this](TDataFileManager *application, TVQQMemoBaseItem *memo) {
        THistoryRow row;
        row.Kind = QStringLiteral("memo");
        row.Channel = memo->GetMemoNumber();
        row.Name = TCodePage::ToDisplay(memo->GetName()).trimmed();
        row.What = QStringLiteral("state");
        row.Text = QString::fromLatin1(memo->GetStateText());
        Add(application, row);
    });
    connect(s, &TProjectSession::variableChanged, this, [this](TDataFileManager *application, TVQQVariableBaseItem *variable) {
        THistoryRow row;
        row.Kind = QStringLiteral("variable");
        row.Channel = variable->GetVariableNumber();
        row.Name = TCodePage::ToDisplay(variable->GetName()).trimmed();
        row.What = QStringLiteral("value");
        row.Value = variable->GetValue();
        row.HasValue = true;
        Value(application, QStringLiteral("var/%1").arg(variable->GetVariableNumber()), row);
    });
    connect(s, &TProjectSession::powerChanged, this, [this](quint32 watts) {
        THistoryRow row;
        row.Kind = QStringLiteral("power");
        row.What = QStringLiteral("power");
        row.Value = watts;
        row.HasValue = true;
        row.Text = QStringLiteral("%1 W").arg(watts);
        AddToAll(row);
    });
    connect(s, &TProjectSession::commandSent, this, [this](TDataFileManager *application, const QByteArray &frame) {
        // The refresh requests the link sends by itself are no command.
        const QByteArray message = frame.size() > 2 ? TFrameDecoder::MessageBytes(QByteArrayView(frame).sliced(1, frame.size() - 2)) : QByteArray();
        if (message.size() >= 5 && quint8(message[4]) == 0x64)
            return;
        THistoryRow row;
        row.Kind = QStringLiteral("command");
        row.What = QStringLiteral("frame");
        row.Text = QString::fromLatin1(message.toHex(' '));
        Add(application, row);
    });
}

THistoryRecorder::~THistoryRecorder()
{
    FlushAndWait();
    m_thread.quit();
    m_thread.wait();
}

QString THistoryRecorder::DatabasePath(const QString &folder, const QByteArray &installation)
{
    return QDir(folder).filePath(QString::fromLatin1(installation) + QStringLiteral(".sqlite"));
}

void THistoryRecorder::SetRetention(const THistoryRetention &retention)
{
    QMetaObject::invokeMethod(m_writer, [writer = m_writer, retention] { writer->m_retention = retention; }, Qt::BlockingQueuedConnection);
}

void THistoryRecorder::Forget()
{
    m_indexed = false;
    m_databases.clear();
}

const QString &THistoryRecorder::DatabaseOf(TDataFileManager *application)
{
    auto found = m_databases.find(application);
    if (found == m_databases.end())
        found = m_databases.insert(application, DatabasePath(m_folder, InstallationId(*application)));
    return *found;
}

void THistoryRecorder::Value(TDataFileManager *application, const QString &key, THistoryRow row)
{
    // A report that repeats what was recorded is no change.
    row.Test = m_session.Mode() == RunMode::Test;
    if (!Repeats(m_last, (row.Test ? QStringLiteral("test/") : QString()) + key, row.Value))
        Add(application, row);
}

void THistoryRecorder::Add(TDataFileManager *application, THistoryRow row)
{
    if (Paused())
        return;
    row.Time = m_now();
    row.Test = row.Test || m_session.Mode() == RunMode::Test;
    constexpr size_t chunk = 512;
    if (m_pending.empty() || m_pending.back().size() == chunk) {
        m_pending.emplace_back();
        m_pending.back().reserve(chunk);
    }
    m_pending.back().emplace_back(m_database.isEmpty() ? DatabaseOf(application) : m_database, std::move(row));
    ++m_pendingCount;
}

void THistoryRecorder::AddToAll(THistoryRow row)
{
    for (const auto &application : m_session.Project()->Applications())
        Add(application.get(), row);
}

void THistoryRecorder::Flush()
{
    if (m_pending.empty())
        return;
    THistoryRowChunks rows;
    rows.swap(m_pending);
    m_pendingCount = 0;
    QMetaObject::invokeMethod(m_writer, [writer = m_writer, rows = std::move(rows)] { writer->Write(rows); });
}

void THistoryRecorder::FlushAndWait()
{
    Flush();
    // Queued after the write: it returns once the write is done.
    QMetaObject::invokeMethod(m_writer, [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::sendPostedEvents(this);
}

void THistoryRecorder::WriterFailed(const QString &error)
{
    // Said once; nothing is gathered until the pause is over, then the history is tried again.
    const bool wasPaused = Paused();
    m_pausedUntil = m_now() + k_pause;
    m_pending.clear();
    m_pendingCount = 0;
    if (!wasPaused && m_say)
        m_say(error);
}

