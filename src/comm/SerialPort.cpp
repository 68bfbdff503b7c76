#include "SerialPort.h"

#include "TLoginLibrary.h"
#include "TSerialTransport.h"
#include "TUdpTransport.h"
#include "UserMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>

SerialPort::SerialPort(QObject *owner, const QString &programFolder, UserMessages *messages)
    : QObject(owner)
    , m_programFolder(programFolder)
    , m_messages(messages)
    , m_serial(new TSerialTransport(this, [this] { return m_open && m_linkKind == LinkKinds::Serial; }))
    , m_udp(new TUdpTransport(this, [this] { return m_open && m_linkKind == LinkKinds::Udp; }))
{
    for (TLinkTransport *transport : {static_cast<TLinkTransport *>(m_serial), static_cast<TLinkTransport *>(m_udp)}) {
        connect(transport, &TLinkTransport::readable, this, &SerialPort::dataArrived);
        connect(transport, &TLinkTransport::failed, this, &SerialPort::linkFailed);
    }
    connect(m_udp, &TUdpTransport::loggedOut, this, [this] {
        m_linkState = LinkStates::Idle;
        emit loggedOut();
    });
}

SerialPort::~SerialPort() = default;

TLinkTransport *SerialPort::Transport() const
{
    // The one place the link kind decides; every step after goes to the transport.
    switch (m_linkKind) {
    case LinkKinds::Serial:
        return m_serial;
    case LinkKinds::Udp:
        return m_udp;
    case LinkKinds::None:
        break;
    }
    return nullptr;
}

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
    if (!m_serial->Open(SerialDevicePath(m_programFolder, comNumber))) {
        m_open = false;
        m_linkState = LinkStates::Failed;
        return false;
    }
    m_open = true;
    m_serial->Configure(baud == ModuleBaud ? ModuleBaud : SlowBaud);
    m_linkKind = LinkKinds::Serial;
    m_linkState = LinkStates::Connected;
    return true;
}

void SerialPort::CloseSerial()
{
    m_serial->Close();
    m_open = false;
}

bool SerialPort::OpenUdpAndLogin(quint16 udpPort, const QByteArray &host, const QByteArray &password)
{
    if (udpPort == 0 || !IsValidIPv4(host))
        return false;
    m_host = host;
    m_udpPort = udpPort;
    if (!m_udp->Connect(QHostAddress(QString::fromLatin1(host)), udpPort)) {
        if (m_messages)
            m_messages->ShowMessage(QStringLiteral("Unable to open an Udp connection "));
        return false;
    }
    m_open = true;
    m_linkKind = LinkKinds::Udp;
    m_linkState = LinkStates::LoginSent;

    QByteArray login = "LOGIN";
    if (!password.isEmpty() && password != "(null)") {
        QString error;
        if (!TLoginLibrary::MakeLoginText(m_programFolder, password, login, error)) {
            if (m_messages)
                m_messages->ShowMessage(QStringLiteral("Unable to load the log-in library\n") + error);
            m_udp->Drop();
            m_open = false;
            m_linkState = LinkStates::Failed;
            return false;
        }
    }
    WriteLink(login);
    m_password = password;
    return true;
}

void SerialPort::SetLogoutWait(int milliseconds)
{
    m_udp->SetLogoutWait(milliseconds);
}

bool SerialPort::IsLoggingOut() const
{
    return m_udp->Closing();
}

void SerialPort::CloseLink()
{
    TLinkTransport *transport = Transport();
    // Closed or closing already (a UDP link logged out, or logging out): not again.
    if (!m_open || !transport || transport->Closing() || m_linkState == LinkStates::Idle)
        return;
    if (const QByteArray farewell = transport->Farewell(); !farewell.isEmpty())
        WriteLink(farewell);
    if (transport->Close())
        m_open = false;
}

void SerialPort::Abandon()
{
    // A log-out under way stops, whatever the kind now; the transport in use lets go.
    m_udp->Abandon();
    if (TLinkTransport *transport = Transport())
        transport->Abandon();
    m_open = false;
    m_linkState = LinkStates::Failed;
}

bool SerialPort::ReadLink(QByteArray &data)
{
    data.clear();
    TLinkTransport *transport = Transport();
    return transport && transport->Read(data);
}

bool SerialPort::WriteLink(QByteArrayView text)
{
    TLinkTransport *transport = Transport();
    if (!m_open || !transport)
        return false;
    const qsizetype nul = text.indexOf('\0');
    const QByteArrayView bytes = nul >= 0 ? text.first(nul) : text;
    QString error;
    if (!transport->Write(bytes, error)) {
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
