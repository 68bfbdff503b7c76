#include "SerialPort.h"

#include "TLoginLibrary.h"
#include "UserMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QSerialPort>
#include <QTimer>
#include <QUdpSocket>

#include <sys/socket.h>

#include <cerrno>

SerialPort::SerialPort(QObject *owner, const QString &programFolder, UserMessages *messages)
    : QObject(owner)
    , m_programFolder(programFolder)
    , m_messages(messages)
    , m_serial(new QSerialPort(this))
    , m_udp(new QUdpSocket(this))
    , m_logoutTimer(new QTimer(this))
{
    m_logoutTimer->setSingleShot(true);
    connect(m_logoutTimer, &QTimer::timeout, this, &SerialPort::FinishLogoutStep);
    connect(m_udp, &QUdpSocket::readyRead, this, &SerialPort::UdpReadable);
    connect(m_serial, &QSerialPort::readyRead, this, &SerialPort::dataArrived);
    connect(m_serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) { SerialError(int(error)); });
    connect(m_udp, &QUdpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) { UdpError(int(error)); });
}

QString SerialPort::TakeUnreachable()
{
    // The module's port closed answers with "port unreachable", a host or network gone with
    // "unreachable" too, which Qt does not report: the kernel keeps it as the socket's pending
    // error until the next read or peek takes it.
    int pending = 0;
    socklen_t size = sizeof pending;
    const qintptr fd = m_udp->socketDescriptor();
    if (!m_open || m_linkKind != LinkKinds::Udp || fd < 0 || ::getsockopt(int(fd), SOL_SOCKET, SO_ERROR, &pending, &size) != 0)
        return {};
    return UnreachableReason(pending);
}

void SerialPort::UdpReadable()
{
    // It wakes the socket with no datagram: the link is lost.
    const QString unreachable = TakeUnreachable();
    if (!unreachable.isEmpty()) {
        emit linkFailed(unreachable);
        return;
    }
    emit dataArrived();
}

QString SerialPort::UnreachableReason(int socketError)
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

void SerialPort::UdpError(int error)
{
    if (!m_open || m_linkKind != LinkKinds::Udp)
        return;
    // The module's port unreachable (an ICMP answer on the connected socket) or the network gone.
    switch (QAbstractSocket::SocketError(error)) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::NetworkError:
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::SocketAccessError:
        emit linkFailed(m_udp->errorString());
        return;
    default:
        return;
    }
}

void SerialPort::SerialError(int error)
{
    // Errors while opening are the open's answer.
    if (!m_open || m_linkKind != LinkKinds::Serial)
        return;
    // Every error the port can report, each decided here: a device that went or stopped working
    // fails the link; a refused setting (a pty has no modem lines), a read that timed out or an
    // error the device did not explain leaves it as it is.
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::NotOpenError:
        emit linkFailed(m_serial->errorString());
        return;
    case QSerialPort::NoError:
    case QSerialPort::OpenError:
    case QSerialPort::TimeoutError:
    case QSerialPort::UnsupportedOperationError:
    case QSerialPort::UnknownError:
        return;
    }
}

SerialPort::~SerialPort() = default;

QString SerialPort::SerialDevicePath(const QString &programFolder, quint8 comNumber)
{
    const QString mapped = QDir(programFolder).filePath(QStringLiteral("Ports/COM%1").arg(comNumber));
    if (QFileInfo::exists(mapped))
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(int(comNumber) - 1);
}

void SerialPort::SetInterface(quint16 index, quint16 address)
{
    m_interfaceIndex = index;
    m_interfaceAddress = address;
}

bool SerialPort::OpenSerial(quint8 comNumber, quint32 baud)
{
    if (m_open)
        CloseSerial();
    m_serial->setPortName(SerialDevicePath(m_programFolder, comNumber));
    if (!m_serial->open(QIODevice::ReadWrite)) {
        m_open = false;
        m_linkState = LinkStates::Failed;
        return false;
    }
    m_open = true;
    m_serial->setBaudRate(baud == ModuleBaud ? ModuleBaud : SlowBaud);
    m_serial->setDataBits(QSerialPort::Data8);
    m_serial->setParity(QSerialPort::NoParity);
    m_serial->setStopBits(QSerialPort::OneStop);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    // A pty refuses the modem lines; that is no reason to fail the open.
    m_serial->setDataTerminalReady(false);
    m_serial->setRequestToSend(true);
    m_serial->clear(QSerialPort::AllDirections);
    m_serial->clearError();
    m_linkKind = LinkKinds::Serial;
    m_linkState = LinkStates::Connected;
    return true;
}

void SerialPort::CloseSerial()
{
    if (m_serial->isOpen())
        m_serial->close();
    m_open = false;
}

bool SerialPort::OpenUdpAndLogin(quint16 udpPort, const QByteArray &host, const QByteArray &password)
{
    if (udpPort == 0 || !IsValidIPv4(host))
        return false;
    m_logoutTimer->stop();
    m_logoutStep = LogoutSteps::None;

    // Logging in again to the same module keeps the socket, so the module sees the same client
    // (a new local port would be a second client, which the module refuses).
    const QHostAddress peer(QString::fromLatin1(host));
    const bool samePeer = m_udp->state() == QAbstractSocket::ConnectedState && m_udp->peerAddress() == peer
                          && m_udp->peerPort() == udpPort;
    if (!samePeer) {
        m_udp->abort();
        m_udp->connectToHost(peer, udpPort);
    }
    m_host = host;
    m_udpPort = udpPort;
    if (m_udp->state() != QAbstractSocket::ConnectedState && !m_udp->waitForConnected(1000)) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("Unable to open an Udp connection "));
        return false;
    }
    if (!samePeer)
        EnlargeReceiveBuffer();
    m_open = true;
    m_linkKind = LinkKinds::Udp;
    m_linkState = LinkStates::LoginSent;
    // An answer still waiting from an earlier log-in must not pass for this one's.
    while (m_udp->hasPendingDatagrams())
        m_udp->receiveDatagram();

    QByteArray login = "LOGIN";
    if (!password.isEmpty() && password != "(null)") {
        QString error;
        if (!TLoginLibrary::MakeLoginText(m_programFolder, password, login, error)) {
            if (m_messages)
                m_messages->ShowMessage(QStringLiteral("Unable to load the log-in library\n") + error);
            m_udp->abort();
            m_open = false;
            m_linkState = LinkStates::Failed;
            return false;
        }
    }
    WriteLink(login);
    m_password = password;
    return true;
}

void SerialPort::Logout()
{
    WriteLink("LOGOUT");
    m_logoutStep = LogoutSteps::Sent;
    m_logoutTimer->start(m_logoutWait);
}

bool SerialPort::IsLoggingOut() const
{
    return m_logoutStep != LogoutSteps::None;
}

void SerialPort::FinishLogoutStep()
{
    if (m_logoutStep == LogoutSteps::Sent) {
        m_udp->abort();
        m_logoutStep = LogoutSteps::Disconnected;
        m_logoutTimer->start(m_logoutWait);
        return;
    }
    if (m_logoutStep == LogoutSteps::Disconnected) {
        m_logoutStep = LogoutSteps::None;
        m_linkState = LinkStates::Idle;
        emit loggedOut();
    }
}

void SerialPort::EnlargeReceiveBuffer()
{
    // A full refresh of a large installation arrives as thousands of datagrams at once: the
    // kernel's default buffer would drop most of them before the window reads them.
    constexpr int size = 8 * 1024 * 1024;
    m_udp->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, size);
#ifdef SO_RCVBUFFORCE
    // Past the system's limit when the program may (as root); otherwise the limit stands.
    const qintptr fd = m_udp->socketDescriptor();
    if (fd >= 0)
        ::setsockopt(int(fd), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
#endif
}

void SerialPort::CloseLink()
{
    if (!m_open)
        return;
    // A UDP link logs out once: not again while it is logging out or after it has.
    if (m_linkKind == LinkKinds::Udp && (IsLoggingOut() || m_linkState == LinkStates::Idle))
        return;
    if (m_linkKind == LinkKinds::Serial)
        CloseSerial();
    else if (m_linkKind == LinkKinds::Udp)
        Logout();
}

void SerialPort::Abandon()
{
    m_logoutTimer->stop();
    m_logoutStep = LogoutSteps::None;
    if (m_linkKind == LinkKinds::Serial)
        CloseSerial();
    m_open = false;
    m_linkState = LinkStates::Failed;
}

bool SerialPort::ReadLink(QByteArray &data)
{
    data.clear();
    if (m_linkKind == LinkKinds::Serial) {
        if (!m_serial->isOpen())
            return false;
        if (m_serial->bytesAvailable() == 0)
            m_serial->waitForReadyRead(0);
        data = m_serial->read(ReadBufferSize - 1);
        return !data.isEmpty();
    }
    if (m_linkKind == LinkKinds::Udp) {
        // After the log-out the socket is disconnected, though the link still counts as open.
        if (m_udp->state() != QAbstractSocket::ConnectedState)
            return false;
        // Asked before peeking for a datagram, which would take the error and drop it; said from
        // the event loop rather than from inside the caller's read loop.
        const QString unreachable = TakeUnreachable();
        if (!unreachable.isEmpty()) {
            QTimer::singleShot(0, this, [this, unreachable] {
                if (m_open && m_linkKind == LinkKinds::Udp)
                    emit linkFailed(unreachable);
            });
            return false;
        }
        if (!m_udp->hasPendingDatagrams())
            m_udp->waitForReadyRead(0);
        while (m_udp->hasPendingDatagrams()) {
            QByteArray datagram = m_udp->receiveDatagram().data();
            const qsizetype nul = datagram.indexOf('\0');
            if (nul >= 0)
                datagram.truncate(nul);
            if (!datagram.isEmpty() && datagram.size() < ReadBufferSize) {
                data = datagram;
                return true;
            }
        }
    }
    return false;
}

bool SerialPort::WriteLink(QByteArrayView text)
{
    if (!m_open)
        return false;
    const qsizetype nul = text.indexOf('\0');
    const QByteArrayView bytes = nul >= 0 ? text.first(nul) : text;
    bool taken = false;
    QString error;
    if (m_linkKind == LinkKinds::Serial) {
        const qint64 written = m_serial->write(bytes.data(), bytes.size());
        m_serial->flush();
        taken = written == bytes.size();
        error = m_serial->errorString();
    } else if (m_linkKind == LinkKinds::Udp) {
        const QByteArray datagram = bytes.first(qMin<qsizetype>(bytes.size(), 65535)).toByteArray();
        taken = m_udp->write(datagram) == datagram.size();
        error = m_udp->errorString();
    } else {
        return false;
    }
    if (!taken) {
        emit linkFailed(error);
        return false;
    }
    // A bus frame starts with STX; the keep-alive is one too, but no answer follows it.
    if (bytes.startsWith('\x02') && !bytes.endsWith("HELLO"))
        emit frameWritten(bytes.toByteArray());
    return true;
}

bool SerialPort::IsValidIPv4(const QByteArray &host)
{
    const QList<QByteArray> fields = host.left(20).split('.');
    if (fields.size() != 4)
        return false;
    for (const QByteArray &field : fields) {
        if (field.isEmpty() || field.size() > 3)
            return false;
        int value = 0;
        for (char c : field) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        if (value >= 256)
            return false;
    }
    return true;
}
