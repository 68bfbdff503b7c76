#include "TLinkSession.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TSessionDialog.h"
#include "UserMessages.h"

#include <QTimer>

TLinkSession::TLinkSession(TDataFileManager &application)
    : QObject(&application)
    , m_application(application)
    , m_pollTimer(new QTimer(this))
    , m_watchdogTimer(new QTimer(this))
{
    m_pollTimer->setInterval(1000);
    m_watchdogTimer->setSingleShot(true);
    connect(m_pollTimer, &QTimer::timeout, this, &TLinkSession::PollLink);
    connect(m_watchdogTimer, &QTimer::timeout, this, &TLinkSession::WatchdogExpired);
}

TLinkSession::~TLinkSession()
{
    m_pollTimer->stop();
    m_watchdogTimer->stop();
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
    SerialPort *link = m_application.Link();
    if (!link || !link->OpenSerial(comNumber, baud))
        return false;
    StartPolling(true);
    return true;
}

bool TLinkSession::OpenUdpLink(quint16 udpPort, const QByteArray &host, const QByteArray &password)
{
    m_state = SessionStates::LoggingIn;
    m_refusal = Refusals::None;
    StartPolling(true);
    m_watchdogTimer->start(m_loginWatch);
    m_application.Settings().LinkKind = LinkKinds::Udp;
    SerialPort *link = m_application.Link();
    return link && link->OpenUdpAndLogin(udpPort, host, password);
}

void TLinkSession::CloseLink()
{
    // No keep-alive goes out once the session is closed.
    m_watchdogTimer->stop();
    SerialPort *link = m_application.Link();
    if (!link)
        return;
    if (link->IsOpen() && link->LinkKind() == LinkKinds::Udp)
        m_state = SessionStates::Closed;
    link->CloseLink();
}

bool TLinkSession::ReopenLink()
{
    const TVISUALQvpInfo &settings = m_application.Settings();
    bool opened = false;
    if (settings.LinkKind == LinkKinds::Serial)
        opened = OpenSerialLink(settings.ComPort, 115200);
    else if (settings.LinkKind == LinkKinds::Udp)
        opened = OpenUdpLink(settings.UdpPort, settings.Host, settings.Password);
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
    m_application.BeginBatch();
    // A session answer can close the link: reading stops then.
    while (link->IsOpen() && link->ReadLink(data)) {
        if (m_state == SessionStates::LoggingIn)
            HandleSessionInfo(data);
        else
            m_application.AssembleBytes(data);
    }
    m_application.EndBatch();
    m_polling = false;
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
        if (m_sessionDialog && m_sessionDialog->IsShown())
            m_sessionDialog->ShowPanelText(QStringLiteral("No connection with Module Qnet04"));
        if (link)
            link->SetOpen(false);
    } else if (m_state == SessionStates::Open) {
        if (link)
            TFrameBuilder::BuildHello(*link);
        m_watchdogTimer->start(m_keepAlive);
    }
}

void TLinkSession::AttachLink(SerialPort *link)
{
    if (!link)
        return;
    connect(link, &SerialPort::linkFailed, this, &TLinkSession::LinkFailed, Qt::UniqueConnection);
    connect(link, &SerialPort::dataArrived, this, &TLinkSession::PollLink, Qt::UniqueConnection);
}

void TLinkSession::LinkFailed(const QString &reason)
{
    SerialPort *link = m_application.Link();
    if (!link)
        return;
    StartPolling(false);
    m_watchdogTimer->stop();
    link->CloseLink();
    link->SetOpen(false);
    link->SetLinkState(LinkStates::Failed);
    if (UserMessages *messages = m_application.Messages())
        messages->ShowMessage(QStringLiteral("Communication port error:\n") + reason);
    emit linkLost(reason);
}

void TLinkSession::SetWatchdogIntervals(int loginWatch, int keepAlive)
{
    m_loginWatch = loginWatch;
    m_keepAlive = keepAlive;
}
