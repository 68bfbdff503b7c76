#pragma once

#include <QByteArray>
#include <QObject>

class QTimer;
class SerialPort;
class TDataFileManager;
class TSessionDialog;

// Where the UDP log-in of an application stands.
enum class SessionStates : quint8 { Closed = 0, LoggingIn = 1, Open = 2 };

// What the interface module said of the last log-in it refused.
enum class Refusals : quint8 { None, WrongPassword, AccessDenied };

// The session of one application's link: the 50 ms poll that routes what arrives to the log-in
// answers or to the frame assembler, the watchdog (log-in watch, then keep-alive), the log-in
// answers and the log-out. Only the session changes the link's open flag and state.
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
    // Closes the link (a UDP link logs out) and stops the keep-alive.
    void CloseLink();
    // Opens the link again with the stored settings; false for no link kind or a failure.
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

    SessionStates State() const { return m_state; }
    Refusals LastRefusal() const { return m_refusal; }
    QTimer *PollTimer() const { return m_pollTimer; }
    QTimer *WatchdogTimer() const { return m_watchdogTimer; }

signals:
    // The interface module answered a log-in with this text.
    void sessionAnswered(const QByteArray &text);
    // The link's device failed; the link is closed and marked failed.
    void linkLost(const QString &reason);

private:
    void LinkFailed(const QString &reason);

    TDataFileManager &m_application;
    QTimer *m_pollTimer = nullptr;
    QTimer *m_watchdogTimer = nullptr;
    SessionStates m_state = SessionStates::Closed;
    Refusals m_refusal = Refusals::None;
    bool m_polling = false;
    TSessionDialog *m_sessionDialog = nullptr;
    int m_loginWatch = 5000;
    int m_keepAlive = 60000;
};
