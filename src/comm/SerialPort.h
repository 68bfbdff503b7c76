#pragma once

#include "LinkKinds.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class TLinkTransport;
class TSerialTransport;
class TUdpTransport;
class UserMessages;

// The link of one application to its interface module: a numbered serial port or UDP with a
// log-in. Moves byte strings out and raw byte blocks in; knows nothing of frames. What the link
// kind changes is in its transport (TSerialTransport, TUdpTransport); the rest is shared here.
class SerialPort : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 NoInterface = 0xFFFF;
    // The interface module's serial speed; any other asks for the slow one.
    static constexpr quint32 ModuleBaud = 115200;
    static constexpr quint32 SlowBaud = 38400;

    // `programFolder` holds "Ports" (serial devices by COM number) and the log-in library.
    // `messages` must outlive the link.
    SerialPort(QObject *owner, const QString &programFolder, UserMessages *messages);
    ~SerialPort() override;

    // Opens COM n: "<program folder>/Ports/COMn" when it exists, else /dev/ttyS<n-1>. Baud 115200
    // gives 115200,N,8,1; any other value 38400,N,8,1. RTS on, DTR off, both queues purged.
    bool OpenSerial(quint8 comNumber, quint32 baud);
    void CloseSerial();
    // Connects the UDP socket to host:port and sends the log-in datagram: "LOGIN" without a
    // password (empty or "(null)"), else the log-in library's text. The answer comes later.
    bool OpenUdpAndLogin(quint16 udpPort, const QByteArray &host, const QByteArray &password);
    // Closes a serial link; a UDP link logs out: "LOGOUT", then after one wait the socket closed
    // and after a second wait idle. The waits run on a timer, so the caller is never blocked.
    void CloseLink();
    // The link is gone: closed at once, without a log-out; a UDP socket is kept, so that a new
    // log-in comes from the same client.
    void Abandon();
    bool IsOpen() const { return m_open; }
    // Takes what has arrived: for serial up to 2047 bytes (the rest waits for the next read),
    // for UDP one datagram up to its first NUL. False when nothing came.
    bool ReadLink(QByteArray &data);
    // Sends the bytes before the first NUL. False when the link is not open or did not take them
    // whole (the device reports why through linkFailed when it is gone).
    virtual bool WriteLink(QByteArrayView text);

    // Four decimal fields of 1 to 3 digits below 256, separated by "."; only the first 20
    // characters count.
    static bool IsValidIPv4(const QByteArray &host);
    // The device a COM number opens in a program folder.
    static QString SerialDevicePath(const QString &programFolder, quint8 comNumber);

    LinkKinds LinkKind() const { return m_linkKind; }
    void SetLinkKind(LinkKinds kind) { m_linkKind = kind; }
    LinkStates LinkState() const { return m_linkState; }
    void SetLinkState(LinkStates state) { m_linkState = state; }
    void SetOpen(bool open) { m_open = open; }
    quint16 InterfaceIndex() const { return m_interfaceIndex; }
    quint16 InterfaceAddress() const { return m_interfaceAddress; }
    void SetInterface(quint16 index, quint16 address);
    // The sequence number for the next numbered frame; advances it (wrapping 255 to 0).
    quint8 TakeSequenceNumber() { return m_sequenceNumber++; }
    quint8 SequenceNumber() const { return m_sequenceNumber; }

    // Host, port and password of the last UDP log-in.
    const QByteArray &Host() const { return m_host; }
    quint16 UdpPort() const { return m_udpPort; }
    const QByteArray &Password() const { return m_password; }

    // The two log-out waits, in milliseconds (one second each).
    void SetLogoutWait(int milliseconds);
    bool IsLoggingOut() const;

signals:
    void loggedOut();
    // Bytes or a datagram wait to be read.
    void dataArrived();
    // The device or the network failed (a serial device unplugged or refused, an I/O error, the
    // peer's port unreachable, a write not taken): `reason` says how. The link's session acts.
    void linkFailed(const QString &reason);
    // A bus frame (a command or a refresh request) was written: an answer is expected.
    void frameWritten(const QByteArray &frame);

private:
    // The transport of the link kind; none for a link without one.
    TLinkTransport *Transport() const;

    QString m_programFolder;
    UserMessages *m_messages = nullptr;
    LinkKinds m_linkKind = LinkKinds::None;
    LinkStates m_linkState = LinkStates::Idle;
    quint16 m_interfaceIndex = NoInterface;
    quint16 m_interfaceAddress = 0;
    quint8 m_sequenceNumber = 0;
    bool m_open = false;
    QByteArray m_password;
    QByteArray m_host;
    quint16 m_udpPort = 0;
    TSerialTransport *m_serial = nullptr;
    TUdpTransport *m_udp = nullptr;
};
