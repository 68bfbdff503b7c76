#include "TUdpTransport.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <QVariant>

#include <sys/socket.h>

#include <cerrno>

TUdpTransport::TUdpTransport(QObject *parent, std::function<bool()> inUse)
    : TLinkTransport(parent, std::move(inUse))
    , m_logoutTimer(new QTimer(this))
{
    m_logoutTimer->setSingleShot(true);
    connect(m_logoutTimer, &QTimer::timeout, this, &TUdpTransport::FinishLogoutStep);
}

QUdpSocket *TUdpTransport::Socket()
{
    // Made at the first log-in: most applications of a project never link over UDP.
    if (!m_socket) {
        m_socket = new QUdpSocket(this);
        connect(m_socket, &QUdpSocket::readyRead, this, &TUdpTransport::SocketReadable);
        connect(m_socket, &QUdpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) { SocketError(int(error)); });
    }
    return m_socket;
}

bool TUdpTransport::Connect(const QHostAddress &peer, quint16 port)
{
    m_logoutTimer->stop();
    m_logoutStep = LogoutSteps::None;
    Socket();
    const bool samePeer = m_socket->state() == QAbstractSocket::ConnectedState && m_socket->peerAddress() == peer
                          && m_socket->peerPort() == port;
    if (!samePeer) {
        m_socket->abort();
        m_socket->connectToHost(peer, port);
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState && !m_socket->waitForConnected(1000))
        return false;
    if (!samePeer)
        EnlargeReceiveBuffer();
    // An answer still waiting from an earlier log-in must not pass for this one's.
    while (m_socket->hasPendingDatagrams())
        m_socket->receiveDatagram();
    return true;
}

void TUdpTransport::Drop()
{
    if (m_socket)
        m_socket->abort();
}

QString TUdpTransport::TakeUnreachable()
{
    // The module's port closed answers with "port unreachable", a host or network gone with
    // "unreachable" too, which Qt does not report: the kernel keeps it as the socket's pending
    // error until the next read or peek takes it.
    int pending = 0;
    socklen_t size = sizeof pending;
    const qintptr fd = m_socket ? m_socket->socketDescriptor() : -1;
    if (!InUse() || fd < 0 || ::getsockopt(int(fd), SOL_SOCKET, SO_ERROR, &pending, &size) != 0)
        return {};
    return UnreachableReason(pending);
}

void TUdpTransport::SocketReadable()
{
    // It wakes the socket with no datagram: the link is lost.
    const QString unreachable = TakeUnreachable();
    if (!unreachable.isEmpty()) {
        emit failed(unreachable);
        return;
    }
    emit readable();
}

QString TUdpTransport::UnreachableReason(int socketError)
{
    switch (socketError) {
    case ECONNREFUSED:
        return QStringLiteral("The interface module's port is unreachable");
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return QStringLiteral("The interface module's host is unreachable");
    case ENETUNREACH:
    case ENETDOWN:
        return QStringLiteral("The interface module's network is unreachable");
    default:
        return {};
    }
}

void TUdpTransport::SocketError(int error)
{
    if (!InUse())
        return;
    // The module's port unreachable (an ICMP answer on the connected socket) or the network gone.
    switch (QAbstractSocket::SocketError(error)) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::SocketAccessError:
        emit failed(m_socket->errorString());
        return;
    default:
        return;
    }
}

void TUdpTransport::EnlargeReceiveBuffer()
{
    // A full refresh of a large installation arrives as thousands of datagrams at once: the
    // kernel's default buffer would drop most of them before the window reads them.
    constexpr int size = 8 * 1024 * 1024;
    m_socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, size);
#ifdef SO_RCVBUFFORCE
    // Past the system's limit when the program may (as root); otherwise the limit stands.
    const qintptr fd = m_socket->socketDescriptor();
    if (fd >= 0)
        ::setsockopt(int(fd), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
#endif
}

bool TUdpTransport::Read(QByteArray &data)
{
    // After the log-out the socket is disconnected, though the link still counts as open.
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    // Asked before peeking for a datagram, which would take the error and drop it; said from
    // the event loop rather than from inside the caller's read loop.
    const QString unreachable = TakeUnreachable();
    if (!unreachable.isEmpty()) {
        QTimer::singleShot(0, this, [this, unreachable] {
            if (InUse())
                emit failed(unreachable);
        });
        return false;
    }
    if (!m_socket->hasPendingDatagrams())
        m_socket->waitForReadyRead(0);
    while (m_socket->hasPendingDatagrams()) {
        QByteArray datagram = m_socket->receiveDatagram().data();
        const qsizetype nul = datagram.indexOf('\0');
        if (nul >= 0)
            datagram.truncate(nul);
        if (!datagram.isEmpty() && datagram.size() < DatagramLimit) {
            data = datagram;
            return true;
        }
    }
    return false;
}

bool TUdpTransport::Write(QByteArrayView bytes, QString &error)
{
    const QByteArray datagram = bytes.first(qMin<qsizetype>(bytes.size(), 65535)).toByteArray();
    const bool taken = Socket()->write(datagram) == datagram.size();
    error = m_socket->errorString();
    return taken;
}

bool TUdpTransport::Close()
{
    m_logoutStep = LogoutSteps::Sent;
    m_logoutTimer->start(m_logoutWait);
    return false;
}

bool TUdpTransport::Closing() const
{
    return m_logoutStep != LogoutSteps::None;
}

void TUdpTransport::Abandon()
{
    m_logoutTimer->stop();
    m_logoutStep = LogoutSteps::None;
}

void TUdpTransport::FinishLogoutStep()
{
    if (m_logoutStep == LogoutSteps::Sent) {
        if (m_socket)
            m_socket->abort();
        m_logoutStep = LogoutSteps::Disconnected;
        m_logoutTimer->start(m_logoutWait);
        return;
    }
    if (m_logoutStep == LogoutSteps::Disconnected) {
        m_logoutStep = LogoutSteps::None;
        emit loggedOut();
    }
}
