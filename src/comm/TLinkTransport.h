#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <functional>

// One way of carrying a link's bytes to its interface module: a serial device or a UDP socket.
// The link (SerialPort) keeps what every transport shares (open or not, its state, the interface
// module, the sequence number); a transport only moves bytes and says when its device fails.
class TLinkTransport : public QObject
{
    Q_OBJECT

public:
    // `inUse` tells whether the link is open on this transport: the device's failures and the
    // reasons it reads count only then.
    TLinkTransport(QObject *parent, std::function<bool()> inUse) : QObject(parent), m_inUse(std::move(inUse)) {}

    // Takes what has arrived; false when nothing came.
    virtual bool Read(QByteArray &data) = 0;
    // Sends the bytes; false, with why, when they were not taken whole.
    virtual bool Write(QByteArrayView bytes, QString &error) = 0;
    // What the module is told before the link closes; nothing when it is told nothing.
    virtual QByteArray Farewell() const { return {}; }
    // The program closes the link, the farewell sent: true when it is closed now, false when the
    // closing goes on by itself (a log-out).
    virtual bool Close() = 0;
    // Closing and not done yet: a second close is not made.
    virtual bool Closing() const { return false; }
    // The link is gone: closed at once, without a word to the module.
    virtual void Abandon() = 0;

signals:
    // Bytes or a datagram wait to be read.
    void readable();
    // The device or the network failed while the link was open on it: `reason` says how.
    void failed(const QString &reason);

protected:
    bool InUse() const { return m_inUse(); }

private:
    std::function<bool()> m_inUse;
};
