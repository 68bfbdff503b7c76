#include "TLinkSession.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TSessionDialog.h"

#include <QTimer>

TLinkSession::TLinkSession(TDataFileManager &application)
    : QObject(&application)
    , m_application(application)
    , m_pollTimer(new QTimer(this))
    , m_watchdogTimer(new QTimer(this))
    , m_answerTimer(new QTimer(this))
    , m_quietTimer(new QTimer(this))
    , m_retryTimer(new QTimer(this))
    , m_refreshOutputsTimer(new QTimer(this))
    , m_openFrameTimer(new QTimer(this))
{
    m_pollTimer->setInterval(1000);
    for (QTimer *timer : {m_watchdogTimer, m_answerTimer, m_quietTimer, m_retryTimer, m_refreshOutputsTimer, m_openFrameTimer})
        timer->setSingleShot(true);
    connect(m_openFrameTimer, &QTimer::timeout, this, &TLinkSession::OpenFrameTimeout);
    connect(m_pollTimer, &QTimer::timeout, this, &TLinkSession::PollLink);
    connect(m_watchdogTimer, &QTimer::timeout, this, &TLinkSession::WatchdogExpired);
    connect(m_answerTimer, &QTimer::timeout, this, &TLinkSession::AnswerTimeout);
    connect(m_quietTimer, &QTimer::timeout, this, &TLinkSession::QuietTimeout);
    connect(m_retryTimer, &QTimer::timeout, this, &TLinkSession::RetryLink);
    connect(m_refreshOutputsTimer, &QTimer::timeout, this, [this] {
        if (SerialPort *link = m_application.Link(); link && link->IsOpen())
            TFrameBuilder::BuildRefreshOutputs(*link);
    });
}

TLinkSession::~TLinkSession()
{
    for (QTimer *timer : {m_pollTimer, m_watchdogTimer, m_answerTimer, m_quietTimer, m_retryTimer, m_refreshOutputsTimer, m_openFrameTimer})
        timer->stop();
}

void TLinkSession::StartPolling(bool on)
{
    m_pollTimer->setInterval(50);
    if (on)
        m_pollTimer->start();
    else
        m_pollTimer->stop();
}

bool TLinkSession::OpenSerialLink(quint8 comNumber, quint32 baud)
{
    m_retryTimer->stop();
    m_retryPause = 0;
    // A port that does not open is the caller's to report (a stored link heals: OpenStoredLink).
    return StartSerial(comNumber, baud);
}

bool TLinkSession::StartSerial(quint8 comNumber, quint32 baud)
{
    SerialPort *link = m_application.Link();
    if (!link || !link->OpenSerial(comNumber, baud))
        return false;
    m_wanted = true;
    StartPolling(true);
    LinkUp();
    return true;
}

bool TLinkSession::OpenUdpLink(quint16 udpPort, const QByteArray &host, const QByteArray &password)
{
    m_retryTimer->stop();
    m_retryPause = 0;
    m_wanted = true;
    m_application.Settings().LinkKind = LinkKinds::Udp;
    return BeginLogIn(udpPort, host, password);
}

bool TLinkSession::BeginLogIn(quint16 udpPort, const QByteArray &host, const QByteArray &password)
{
    m_state = SessionStates::LoggingIn;
    m_refusal = Refusals::None;
    // What was reported before this log-in is no longer fresh.
    ++m_epoch;
    if (m_health != LinkHealth::Lost)
        SetHealth(LinkHealth::Opening);
    RefreshTrust();
    StartPolling(true);
    m_watchdogTimer->start(m_loginWatch);
    SerialPort *link = m_application.Link();
    return link && link->OpenUdpAndLogin(udpPort, host, password);
}

void TLinkSession::CloseLink()
{
    // No keep-alive and no attempt to reopen once the session is closed.
    m_wanted = false;
    m_retryPause = 0;
    m_resyncPending = false;
    for (QTimer *timer : {m_watchdogTimer, m_answerTimer, m_quietTimer, m_retryTimer, m_refreshOutputsTimer, m_openFrameTimer})
        timer->stop();
    SetHealth(LinkHealth::Closed);
    SerialPort *link = m_application.Link();
    if (!link)
        return;
    if (link->IsOpen() && link->LinkKind() == LinkKinds::Udp)
        m_state = SessionStates::Closed;
    link->CloseLink();
}

bool TLinkSession::OpenStoredLink()
{
    m_retryTimer->stop();
    m_retryPause = 0;
    return OpenByKind(false);
}

bool TLinkSession::OpenByKind(bool retry)
{
    const TVISUALQvpInfo &settings = m_application.Settings();
    bool opened = false;
    QString failure;
    switch (settings.LinkKind) {
    case LinkKinds::Serial:
        m_wanted = true;
        opened = StartSerial(settings.ComPort, SerialPort::ModuleBaud);
        // A device not there (yet) is a lost link: said on the screens, tried again and again.
        if (!opened)
            failure = QStringLiteral("The port does not open");
        break;
    case LinkKinds::Udp:
        m_wanted = true;
        opened = BeginLogIn(settings.UdpPort, settings.Host, settings.Password);
        if (!opened && retry)
            failure = QStringLiteral("The log-in cannot be sent");
        break;
    default:  // no link kind stored
        if (retry)
            failure = QStringLiteral("No link set up");
        break;
    }
    if (!failure.isEmpty())
        LinkDown(failure);
    return opened;
}

bool TLinkSession::ReopenLink()
{
    const bool opened = OpenStoredLink();
    if (opened)
        StartPolling(true);
    return opened;
}

void TLinkSession::PollLink()
{
    SerialPort *link = m_application.Link();
    // Reading may announce more data: the loop below takes it, not a nested call.
    if (!link || !link->IsOpen() || m_polling)
        return;
    m_polling = true;
    QByteArray data;
    bool heard = false;
    // Damage: a frame with a wrong checksum, or bytes the assembler had to throw away.
    const auto damage = [this] { return m_application.DamagedFrames() + m_application.DroppedBytes(); };
    const quint64 damagedBefore = damage();
    m_application.BeginBatch();
    // A session answer can close the link: reading stops then.
    while (link->IsOpen() && link->ReadLink(data)) {
        if (m_state == SessionStates::LoggingIn) {
            HandleSessionInfo(data);
        } else if (data.startsWith("INFO:") && data.endsWith(":INFO\r\n")) {
            // A late or repeated session answer is no frame, and no damage either.
        } else {
            m_application.AssembleBytes(data);
            heard = true;
        }
    }
    m_application.EndBatch();
    m_polling = false;
    if (heard) {
        // The rest of a frame may come with the next read (a serial line delivers pieces); if
        // the link goes quiet first, the frame was cut.
        if (m_application.FrameOpen())
            m_openFrameTimer->start(m_timings.QuietMoment);
        else
            m_openFrameTimer->stop();
        Heard(damage() != damagedBefore);
    }
}

void TLinkSession::HandleSessionInfo(QByteArrayView text)
{
    SerialPort *link = m_application.Link();
    if (!link)
        return;
    const bool dialogShown = m_sessionDialog && m_sessionDialog->IsShown();
    if (text == "INFO:Session opened:INFO\r\n") {
        TVISUALQvpInfo &settings = m_application.Settings();
        settings.LinkKind = LinkKinds::Udp;
        settings.Host = link->Host();
        settings.UdpPort = link->UdpPort();
        settings.Password = link->Password();
        link->SetOpen(true);
        link->SetLinkState(LinkStates::Connected);
        m_state = SessionStates::Open;
        LinkUp();
        if (m_sessionDialog)
            m_sessionDialog->SessionOpened();
    } else if (text == "INFO:Auth failed:INFO\r\n" || text == "INFO:Access denied. Close current session:INFO\r\n") {
        m_state = SessionStates::Closed;
        m_refusal = text.startsWith("INFO:Auth") ? Refusals::WrongPassword : Refusals::AccessDenied;
        if (dialogShown)
            m_sessionDialog->ShowPanelText(m_refusal == Refusals::WrongPassword
                                               ? QStringLiteral("Authorisation failed\nwrong password")
                                               : QStringLiteral("Acces denied\nModule is used with another connection"));
        // A refused log-in is over at once: the connection window says so instead of waiting.
        link->SetLinkState(LinkStates::Failed);
        link->SetOpen(false);
        m_watchdogTimer->stop();
        // The log-in dialog lets the user try again; elsewhere the link tries by itself.
        if (!dialogShown)
            LinkDown(m_refusal == Refusals::WrongPassword ? QStringLiteral("Authorisation failed, wrong password")
                                                          : QStringLiteral("Access denied, module used by another connection"));
    } else {
        return;
    }
    emit sessionAnswered(text.toByteArray());
}

void TLinkSession::WatchdogExpired()
{
    m_watchdogTimer->stop();
    SerialPort *link = m_application.Link();
    if (m_state == SessionStates::LoggingIn) {
        const bool dialogShown = m_sessionDialog && m_sessionDialog->IsShown();
        if (dialogShown)
            m_sessionDialog->ShowPanelText(QStringLiteral("No connection with Module Qnet04"));
        if (link)
            link->SetOpen(false);
        if (!dialogShown)
            LinkDown(QStringLiteral("No answer to the log-in"));
    } else if (m_state == SessionStates::Open) {
        if (link)
            TFrameBuilder::BuildHello(*link);
        // After a silent interval the keep-alive must be followed by something, as a command
        // must: a module that restarted meanwhile answers nothing until it is logged in again.
        const bool watched = m_health == LinkHealth::Up || m_health == LinkHealth::InDoubt;
        if (watched && !m_heardSinceKeepAlive && !m_answerTimer->isActive())
            m_answerTimer->start(m_timings.AnswerWait);
        m_heardSinceKeepAlive = false;
        m_watchdogTimer->start(m_keepAlive);
    }
}

void TLinkSession::AttachLink(SerialPort *link)
{
    if (!link)
        return;
    connect(link, &SerialPort::linkFailed, this, &TLinkSession::LinkFailed, Qt::UniqueConnection);
    connect(link, &SerialPort::dataArrived, this, &TLinkSession::PollLink, Qt::UniqueConnection);
    connect(link, &SerialPort::frameWritten, this, &TLinkSession::FrameWritten, Qt::UniqueConnection);
}

void TLinkSession::LinkFailed(const QString &reason)
{
    if (!m_application.Link())
        return;
    LinkDown(reason);
    emit linkLost(reason);
}

void TLinkSession::SetWatchdogIntervals(int loginWatch, int keepAlive)
{
    m_loginWatch = loginWatch;
    m_keepAlive = keepAlive;
}
