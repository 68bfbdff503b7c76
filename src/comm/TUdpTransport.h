#pragma once

#include "TLinkTransport.h"

class QHostAddress;
class QTimer;
class QUdpSocket;

// A link over UDP: one datagram a message, to a module that wants a log-in first and a log-out
// last ("LOGOUT", then after one wait the socket closed, after a second wait idle).
class TUdpTransport : public TLinkTransport
{
    Q_OBJECT

public:
    TUdpTransport(QObject *parent, std::function<bool()> inUse);

    // Connects the socket to the module; the same module keeps the socket, so that it sees the
    // same client (a new local port would be a second client, which the module refuses). Stops a
    // log-out under way and drops an answer still waiting from an earlier log-in.
    bool Connect(const QHostAddress &peer, quint16 port);
    // The socket shut at once (a log-in that could not be made).
    void Drop();

    // One datagram, cut at its first NUL, of fewer than `DatagramLimit` bytes; longer ones are
    // passed over.
    bool Read(QByteArray &data) override;
    bool Write(QByteArrayView bytes, QString &error) override;
    QByteArray Farewell() const override { return "LOGOUT"; }
    // The log-out's waits, on a timer, so the caller is never blocked.
    bool Close() override;
    bool Closing() const override;
    // Any log-out under way stops; the socket is kept for the next log-in.
    void Abandon() override;

    // The two log-out waits, in milliseconds.
    void SetLogoutWait(int milliseconds) { m_logoutWait = milliseconds; }

    // Why the link is lost, for a socket error the kernel holds for it (an errno value); nothing
    // for an error that says nothing of the link.
    static QString UnreachableReason(int socketError);

    static constexpr qsizetype DatagramLimit = 2048;

signals:
    // The log-out's second wait is over.
    void loggedOut();

private:
    // The two waits of a log-out: "LOGOUT" sent, then the socket closed, then idle.
    enum class LogoutSteps : quint8 { None, Sent, Disconnected };

    // The socket, made if it is not yet.
    QUdpSocket *Socket();
    void FinishLogoutStep();
    // The socket's pending error taken (only while the link is open on it): why the link is
    // lost, or nothing.
    QString TakeUnreachable();
    void SocketReadable();
    void SocketError(int error);
    void EnlargeReceiveBuffer();

    QUdpSocket *m_socket = nullptr;
    QTimer *m_logoutTimer = nullptr;
    LogoutSteps m_logoutStep = LogoutSteps::None;
    int m_logoutWait = 1000;
};
