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
    if (!link || !link->IsOpen())
        return;
    QByteArray data;
    const auto route = [this](const QByteArray &bytes) {
        if (m_state == SessionStates::LoggingIn)
            HandleSessionInfo(bytes);
        else
            m_application.AssembleBytes(bytes);
    };
    if (link->LinkKind() == LinkKinds::Serial) {
        if (link->ReadLink(data))
            route(data);
    } else if (link->LinkKind() == LinkKinds::Udp) {
        // A session answer can close the link: stop reading then. A flood of datagrams is read
        // over several ticks so the window keeps answering.
        for (int i = 0; i < MaxDatagramsPerPoll && link->IsOpen() && link->ReadLink(data); ++i)
            route(data);
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
        if (m_sessionDialog)
            m_sessionDialog->SessionOpened();
    } else if (text == "INFO:Auth failed:INFO\r\n" || text == "INFO:Access denied. Close current session:INFO\r\n") {
        m_state = SessionStates::Closed;
        if (dialogShown) {
            m_sessionDialog->ShowPanelText(text.startsWith("INFO:Auth")
                                               ? QStringLiteral("Authorisation failed\nwrong password")
                                               : QStringLiteral("Acces denied\nModule is used with another connection"));
            link->SetLinkState(LinkStates::Failed);
        }
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
    if (link)
        connect(link, &SerialPort::linkFailed, this, &TLinkSession::LinkFailed, Qt::UniqueConnection);
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
