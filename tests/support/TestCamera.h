#pragma once

#include <QByteArrayList>
#include <QCryptographicHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <map>
#include <vector>

// A camera for the tests: answers GET requests on 127.0.0.1 with a scripted multipart body,
// written in pieces of a chosen size, one piece per turn of the event loop. It checks Basic or
// Digest credentials itself (RFC 7616 with qop "auth", MD5), so the client's answers are
// checked against an independent computation.
class TestCamera : public QObject
{
public:
    enum class Auth { None, Basic, Digest };
    struct Script
    {
        Auth Authentication = Auth::None;
        QByteArray User = "root";
        QByteArray Password = "tavo";
        bool Refuse = false;              // 401 whatever the credentials
        int Status = 200;
        QByteArray ContentType = "multipart/x-mixed-replace; boundary=myboundary";
        QByteArray Delimiter = "--myboundary";
        bool ContentLength = true;
        QByteArrayList Frames = {"frame-1", "frame-2", "frame-3"};
        int Repeat = 1;                   // the frames sent this many times
        int Piece = 0;                    // bytes per write; 0: a whole frame per write
        bool StallAtEnd = true;           // after the last frame keep the connection quiet, or close it
        // When set, answers every request itself, byte for byte (the request's number from 0).
        std::function<void(QTcpSocket *, const QByteArray &head, int number)> Raw;
    };

    explicit TestCamera(QObject *parent = nullptr) : QObject(parent)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    Script script;

    quint16 Port() const { return m_server.serverPort(); }
    QByteArray Address() const { return "127.0.0.1:" + QByteArray::number(Port()); }
    // Every request head received, in order.
    const QByteArrayList &Requests() const { return m_requests; }
    int StreamsStarted() const { return m_streams; }
    int OpenConnections() const
    {
        int open = 0;
        for (const QTcpSocket *socket : findChildren<QTcpSocket *>())
            open += socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
        return open;
    }
    // Closes every connection open now.
    void CloseAll()
    {
        for (QTcpSocket *socket : findChildren<QTcpSocket *>())
            socket->abort();
    }

private:
    void Read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_pending[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buffer.left(end);
        m_pending.erase(socket);
        m_requests.append(head);
        if (script.Raw) {
            script.Raw(socket, head, int(m_requests.size()) - 1);
            return;
        }
        if (!Authorised(head)) {
            QByteArray challenge = script.Authentication == Auth::Digest
                ? "Digest realm=\"cam\", nonce=\"5ca1ab1e\", qop=\"auth\", algorithm=MD5"
                : "Basic realm=\"cam\"";
            socket->write("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: " + challenge +
                          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        if (script.Status != 200) {
            socket->write("HTTP/1.1 " + QByteArray::number(script.Status) + " Nope\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        ++m_streams;
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + script.ContentType + "\r\nConnection: close\r\n\r\n");
        QByteArray body;
        for (int r = 0; r < script.Repeat; ++r) {
            for (const QByteArray &frame : script.Frames) {
                body += script.Delimiter + "\r\nContent-Type: image/jpeg\r\n";
                if (script.ContentLength)
                    body += "Content-Length: " + QByteArray::number(frame.size()) + "\r\n";
                body += "\r\n" + frame + "\r\n";
            }
        }
        std::vector<QByteArray> pieces;
        if (script.Piece > 0) {
            for (qsizetype at = 0; at < body.size(); at += script.Piece)
                pieces.push_back(body.mid(at, script.Piece));
        } else {
            // A frame per write, each ending where the next delimiter starts.
            qsizetype at = 0;
            while (at < body.size()) {
                qsizetype next = body.indexOf(script.Delimiter, at + 1);
                if (next < 0)
                    next = body.size();
                pieces.push_back(body.mid(at, next - at));
                at = next;
            }
        }
        if (!script.ContentType.toLower().startsWith("multipart"))
            pieces = {"<html>not a camera</html>"};
        Send(QPointer<QTcpSocket>(socket), std::move(pieces), 0);
    }

    void Send(QPointer<QTcpSocket> socket, std::vector<QByteArray> pieces, size_t next)
    {
        if (!socket || socket->state() != QAbstractSocket::ConnectedState)
            return;
        if (next >= pieces.size()) {
            if (!script.StallAtEnd)
                socket->disconnectFromHost();
            return;
        }
        socket->write(pieces[next]);
        QTimer::singleShot(1, this, [this, socket, pieces = std::move(pieces), next]() mutable { Send(socket, std::move(pieces), next + 1); });
    }

    static QByteArray Md5Hex(const QByteArray &text) { return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex(); }

    bool Authorised(const QByteArray &head) const
    {
        if (script.Refuse)
            return false;
        if (script.Authentication == Auth::None)
            return true;
        QByteArray authorization;
        for (const QByteArray &line : head.split('\n')) {
            if (line.toLower().startsWith("authorization:"))
                authorization = line.mid(14).trimmed();
        }
        if (script.Authentication == Auth::Basic)
            return authorization == "Basic " + (script.User + ':' + script.Password).toBase64();
        if (!authorization.startsWith("Digest "))
            return false;
        std::map<QByteArray, QByteArray> fields;
        for (QByteArray field : authorization.mid(7).split(',')) {
            field = field.trimmed();
            const qsizetype equals = field.indexOf('=');
            QByteArray value = field.mid(equals + 1);
            if (value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            fields[field.left(equals)] = value;
        }
        const QByteArray ha1 = Md5Hex(script.User + ":cam:" + script.Password);
        const QByteArray ha2 = Md5Hex("GET:" + fields["uri"]);
        const QByteArray expected = Md5Hex(ha1 + ':' + fields["nonce"] + ':' + fields["nc"] + ':' + fields["cnonce"] + ":auth:" + ha2);
        return fields["username"] == script.User && fields["nonce"] == "5ca1ab1e" && fields["response"] == expected;
    }

    QTcpServer m_server;
    QByteArrayList m_requests;
    std::map<QTcpSocket *, QByteArray> m_pending;
    int m_streams = 0;
};
