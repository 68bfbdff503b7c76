#pragma once

#include "EventLoop.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

// The interface module's side of a UDP link, on loopback: it answers whoever wrote last.
class UdpPeer
{
public:
    UdpPeer() { m_socket.bind(QHostAddress::LocalHost, 0); }
    quint16 Port() const { return m_socket.localPort(); }

    // The next datagram, or nothing after `milliseconds`.
    QByteArray Receive(int milliseconds = 5000)
    {
        QByteArray data;
        RunUntil([&] {
            if (!m_socket.hasPendingDatagrams())
                return false;
            const QNetworkDatagram d = m_socket.receiveDatagram();
            m_client = d.senderAddress();
            m_clientPort = quint16(d.senderPort());
            data = d.data();
            return true;
        }, milliseconds);
        return data;
    }
    void Send(const QByteArray &data) { m_socket.writeDatagram(data, m_client, m_clientPort); }
    bool HasPending() const { return m_socket.hasPendingDatagrams(); }

private:
    QUdpSocket m_socket;
    QHostAddress m_client;
    quint16 m_clientPort = 0;
};
