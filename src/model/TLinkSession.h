#pragma once

#include "TBoundControl.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;
class SerialPort;
class TDataFileManager;
class TSessionDialog;

// Where the UDP log-in of an application stands.
enum class SessionStates : quint8 { Closed = 0, LoggingIn = 1, Open = 2 };

// What the interface module said of the last log-in it refused.
enum class Refusals : quint8 { None, WrongPassword, AccessDenied };

// How an application's link is doing. Closed: not wanted (design time, or never opened). Opening:
// a first log-in waits for its answer. Up: open. InDoubt: open, but a command got no status back
// or frames were dropped, so the states are asked for again. Lost: gone, reopened by itself with
// growing pauses until it is up again or no longer wanted.
enum class LinkHealth : quint8 { Closed, Opening, Up, InDoubt, Lost };

// The waits of the link's health, in milliseconds; tests shorten them.
struct TLinkTimings
{
    int AnswerWait = 3000;       // a command without any frame back within it puts the link in doubt
    int QuietMoment = 300;       // the states are asked for again once the link is quiet this long
    int ResyncLatest = 1000;     // or this long after the damage, however busy the link stays
    int ResyncSpacing = 3000;    // and not more often than this
    int RetryFirst = 1000;       // the first pause before reopening a lost link, doubled each time
    int RetryLongest = 30000;    // up to this
    int RefreshGap = 100;        // between asking for the inputs and for the outputs
};

// The session of one application's link: the 50 ms poll that routes what arrives to the log-in
// answers or to the frame assembler, the watchdog (log-in watch, then keep-alive), the log-in
// answers and the log-out, and the link's health: lost links reopened, missed states asked for
// again. Only the session changes the link's open flag and state.
class TLinkSession : public QObject
{
    Q_OBJECT

public:
    // The application owns the session and outlives it.
    explicit TLinkSession(TDataFileManager &application);
    ~TLinkSession() override;

    // Starts (or stops) reading the link every 50 ms.
    void StartPolling(bool on);
    // Opens the serial link and starts polling.
    bool OpenSerialLink(quint8 comNumber, quint32 baud);
    // Logging in, polling and the log-in watch started, then the link's UDP open and log-in; the
    // answer arrives through the poll.
    bool OpenUdpLink(quint16 udpPort, const QByteArray &host, const QByteArray &password);
    // Closes the link (a UDP link logs out), stops the keep-alive and every attempt to reopen it.
    void CloseLink();
    // Opens the link of the stored kind with the stored settings (a UDP link logs in); false for
    // no link kind or a failure.
    bool OpenStoredLink();
    // The same, polling started.
    bool ReopenLink();
    // Reads everything that waits on the link, as it arrives (and on the poll, as a safety net),
    // and recomputes the power total once for the whole batch.
    void PollLink();
    // The three answers of the interface module to a log-in; any other text is ignored.
    void HandleSessionInfo(QByteArrayView text);
    // The watchdog handler: no answer to the log-in closes the link; an open session sends the
    // keep-alive and waits again.
    void WatchdogExpired();
    // The log-in watch and keep-alive intervals, in milliseconds (5000 and 60000).
    void SetWatchdogIntervals(int loginWatch, int keepAlive);
    // Follows the failures of the application's link (set by the application when its link is).
    void AttachLink(SerialPort *link);

    // The UDP connection dialog while it is shown, or none; the dialog clears it before it goes.
    void SetSessionDialog(TSessionDialog *dialog) { m_sessionDialog = dialog; }

    LinkHealth Health() const { return m_health; }
    // Counts the times the link came up; a state reported under an earlier count is stale.
    quint32 Epoch() const { return m_epoch; }
    // The trust of a state reported under epoch `reported` (0 for never).
    StateTrust TrustOf(quint32 reported) const;
    // When the link was lost and why (set while it is lost).
    const QDateTime &LostAt() const { return m_lostAt; }
    const QString &LostReason() const { return m_lostReason; }
    // The pause before the next attempt to reopen the lost link.
    int RetryPause() const { return m_retryPause; }
    void SetTimings(const TLinkTimings &timings) { m_timings = timings; }
    const TLinkTimings &Timings() const { return m_timings; }

    // The health timers' handlers: no frame back after a command, the link quiet after frames
    // were dropped, the pause before reopening a lost link over.
    void AnswerTimeout();
    void QuietTimeout();
    // A frame whose end never came (cut short) is damage: thrown away, the states asked again.
    void OpenFrameTimeout();
    void RetryLink();
    // Asks the interface module for the state of every input, then of every output.
    void RequestRefresh();

    SessionStates State() const { return m_state; }
    Refusals LastRefusal() const { return m_refusal; }
    QTimer *PollTimer() const { return m_pollTimer; }
    QTimer *RetryTimer() const { return m_retryTimer; }
    QTimer *AnswerTimer() const { return m_answerTimer; }

signals:
    // The interface module answered a log-in with this text.
    void sessionAnswered(const QByteArray &text);
    // The link's device failed; the link is closed and marked failed.
    void linkLost(const QString &reason);
    // The link's health changed, or a lost link's reason (LostReason) did.
    void healthChanged(LinkHealth health);

private:
    void LinkFailed(const QString &reason);
    // Opens the stored link by its kind; a retry keeps the growing pause, and a failure of it is a
    // lost link with its reason.
    bool OpenByKind(bool retry);
    // The serial port opened, polling started and the link up; false when the port does not open.
    bool StartSerial(quint8 comNumber, quint32 baud);
    // Sends the log-in and waits for its answer through the poll, under the log-in watch.
    bool BeginLogIn(quint16 udpPort, const QByteArray &host, const QByteArray &password);
    // A bus frame went out: a frame is expected back.
    void FrameWritten();
    // The link is up: a new epoch, and every state is asked for.
    void LinkUp();
    // The link is lost: closed without a log-out, the next attempt planned.
    void LinkDown(const QString &reason);
    void SetHealth(LinkHealth health);
    // Every control of the application's model objects repaints if its state's trust changed.
    void RefreshTrust();
    // Something arrived on the link; `dropped`: some of it was thrown away as bad.
    void Heard(bool dropped);
    void ScheduleResync();

    TDataFileManager &m_application;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_watchdogTimer = nullptr;
    SessionStates m_state = SessionStates::Closed;
    Refusals m_refusal = Refusals::None;
    bool m_polling = false;
    TSessionDialog *m_sessionDialog = nullptr;
    int m_loginWatch = 5000;
    int m_keepAlive = 60000;

    LinkHealth m_health = LinkHealth::Closed;
    quint32 m_epoch = 1;
    bool m_wanted = false;      // the user asked for the link and has not closed it
    bool m_resyncPending = false;
    bool m_resyncUnanswered = false;  // the states were asked for and nothing came back yet
    bool m_heardSinceKeepAlive = false;
    QElapsedTimer m_damagedSince;     // the first damage not yet followed by the states asked again
    TLinkTimings m_timings;
    int m_retryPause = 0;
    QDateTime m_lostAt;
    QString m_lostReason;
    QTimer *m_answerTimer = nullptr;
    QTimer *m_quietTimer = nullptr;
    QTimer *m_retryTimer = nullptr;
    QTimer *m_refreshOutputsTimer = nullptr;
    QTimer *m_openFrameTimer = nullptr;  // a frame started and not ended when the link went quiet
    QElapsedTimer m_lastResync;
};
