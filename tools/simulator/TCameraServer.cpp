#include "TCameraServer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace {

constexpr qsizetype k_longestHead = 8192;
constexpr const char *k_path = "/axis-cgi/mjpg/video.cgi";
constexpr const char *k_boundary = "quelnorframe";
constexpr const char *k_realm = "quelnor-sim camera";

QByteArray Md5Hex(const QByteArray &text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

QByteArray HeaderValue(const QByteArray &head, const QByteArray &name)
{
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

// The parameters of a Digest authorization header, unquoted.
std::map<QByteArray, QByteArray> DigestFields(const QByteArray &text)
{
    std::map<QByteArray, QByteArray> fields;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype equals = text.indexOf('=', at);
        if (equals < 0)
            break;
        const QByteArray key = text.mid(at, equals - at).trimmed();
        qsizetype end = 0;
        QByteArray value;
        if (equals + 1 < text.size() && text[equals + 1] == '"') {
            end = text.indexOf('"', equals + 2);
            if (end < 0)
                break;
            value = text.mid(equals + 2, end - equals - 2);
            end = text.indexOf(',', end);
        } else {
            end = text.indexOf(',', equals);
            value = text.mid(equals + 1, (end < 0 ? text.size() : end) - equals - 1).trimmed();
        }
        fields[key] = value;
        if (end < 0)
            break;
        at = end + 1;
    }
    return fields;
}

} // namespace

TCameraServer::TCameraServer(const Options &options, std::function<void(const QString &)> log, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_log(std::move(log))
    , m_server(new QTcpServer(this))
    , m_timer(new QTimer(this))
    , m_nonce(QByteArray::number(QRandomGenerator::global()->generate64(), 16))
{
    connect(m_server, &QTcpServer::newConnection, this, &TCameraServer::Accept);
    connect(m_timer, &QTimer::timeout, this, &TCameraServer::SendFrame);
}

bool TCameraServer::Start(QString &error)
{
    if (!m_server->listen(m_options.Address, m_options.Port)) {
        error = QStringLiteral("Cannot serve the camera on %1:%2: %3")
                    .arg(m_options.Address.toString()).arg(m_options.Port).arg(m_server->errorString());
        return false;
    }
    m_clock.start();
    m_timer->start(1000 / std::max(1, m_options.FramesPerSecond));
    return true;
}

int TCameraServer::Streaming() const
{
    return int(std::count_if(m_clients.begin(), m_clients.end(), [](const auto &entry) { return entry.second.Streaming; }));
}

quint16 TCameraServer::Port() const
{
    return m_server->serverPort();
}

void TCameraServer::Accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_clients[socket] = Client();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_clients.erase(socket);
            socket->deleteLater();
        });
    }
}

void TCameraServer::Read(QTcpSocket *socket)
{
    const auto found = m_clients.find(socket);
    if (found == m_clients.end() || found->second.Streaming) {
        socket->readAll();
        return;
    }
    Client &client = found->second;
    client.Head += socket->readAll();
    const qsizetype end = client.Head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (client.Head.size() > k_longestHead)
            socket->abort();
        return;
    }
    const QByteArray head = client.Head.left(end);
    client.Head.remove(0, end + 4);
    Answer(socket, head);
}

void TCameraServer::Answer(QTcpSocket *socket, const QByteArray &head)
{
    const QList<QByteArray> requestLine = head.left(head.indexOf('\r')).split(' ');
    const QByteArray method = requestLine.value(0);
    const QByteArray path = requestLine.value(1);
    const QString from = socket->peerAddress().toString();
    const auto close = [socket](const QByteArray &status, const QByteArray &extra = {}) {
        socket->write("HTTP/1.1 " + status + "\r\n" + extra + "Content-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
    };
    const qsizetype query = path.indexOf('?');
    if (method != "GET" || (query < 0 ? path : path.left(query)) != k_path) {
        if (m_log)
            m_log(QStringLiteral("camera: %1 asked for %2: 404").arg(from, QString::fromLatin1(path.left(80))));
        close("404 Not Found");
        return;
    }
    if (!Authorised(head)) {
        QByteArray challenges;
        if (m_options.Authentication != Auth::Basic)
            challenges += QByteArray("WWW-Authenticate: Digest realm=\"") + k_realm + "\", nonce=\"" + m_nonce +
                          "\", qop=\"auth\", algorithm=MD5\r\n";
        if (m_options.Authentication != Auth::Digest)
            challenges += QByteArray("WWW-Authenticate: Basic realm=\"") + k_realm + "\"\r\n";
        if (m_log)
            m_log(QStringLiteral("camera: %1 %2: 401").arg(from, HeaderValue(head, "authorization").isEmpty()
                                                                      ? QStringLiteral("without an account")
                                                                      : QStringLiteral("with an account refused")));
        close("401 Unauthorized", challenges);
        return;
    }
    if (m_log)
        m_log(QStringLiteral("camera: %1 streaming").arg(from));
    m_clients[socket].Streaming = true;
    socket->write(QByteArray("HTTP/1.1 200 OK\r\nCache-Control: no-cache\r\nConnection: close\r\n"
                             "Content-Type: multipart/x-mixed-replace; boundary=") + k_boundary + "\r\n\r\n");
}

bool TCameraServer::Authorised(const QByteArray &head) const
{
    if (m_options.Refuse)
        return false;
    const QByteArray authorization = HeaderValue(head, "authorization");
    if (authorization.startsWith("Basic ") && m_options.Authentication != Auth::Digest)
        return authorization.mid(6).trimmed() == (m_options.User + ':' + m_options.Password).toBase64();
    if (!authorization.startsWith("Digest ") || m_options.Authentication == Auth::Basic)
        return false;
    // RFC 7616 with qop "auth" and MD5, as cameras of this kind answer.
    auto fields = DigestFields(authorization.mid(7));
    if (fields["username"] != m_options.User || fields["nonce"] != m_nonce || fields["realm"] != k_realm)
        return false;
    const QByteArray ha1 = Md5Hex(m_options.User + ':' + k_realm + ':' + m_options.Password);
    const QByteArray ha2 = Md5Hex("GET:" + fields["uri"]);
    const QByteArray expected = fields["qop"].isEmpty()
        ? Md5Hex(ha1 + ':' + m_nonce + ':' + ha2)
        : Md5Hex(ha1 + ':' + m_nonce + ':' + fields["nc"] + ':' + fields["cnonce"] + ':' + fields["qop"] + ':' + ha2);
    return fields["response"] == expected;
}

void TCameraServer::SendFrame()
{
    ++m_frame;
    bool anyone = false;
    for (const auto &[socket, client] : m_clients)
        anyone |= client.Streaming && (m_options.StallAfter == 0 || client.Sent < m_options.StallAfter);
    if (!anyone)
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(80);
    writer.write(TestPicture(m_options.PictureSize, m_frame, m_clock.elapsed()));
    const QByteArray part = QByteArray("--") + k_boundary + "\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                            QByteArray::number(buffer.data().size()) + "\r\n\r\n" + buffer.data() + "\r\n";
    for (auto &[socket, client] : m_clients) {
        if (!client.Streaming || (m_options.StallAfter != 0 && client.Sent >= m_options.StallAfter))
            continue;
        // A viewer that does not keep up loses pictures, not memory.
        if (socket->bytesToWrite() > 4 * part.size())
            continue;
        socket->write(part);
        ++client.Sent;
    }
}

QImage TCameraServer::TestPicture(QSize size, qint64 number, qint64 time)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width(), h = size.height();
    // A slow colour drift behind eight vertical bands, and a bar crossing once every 4 s.
    const int drift = int((time / 40) % 256);
    QPainter painter(&image);
    for (int band = 0; band < 8; ++band) {
        const QColor colour((band * 32 + drift) % 256, (band * 97) % 256, (255 - band * 32 + drift / 2) % 256);
        painter.fillRect(QRect(band * w / 8, 0, (band + 1) * w / 8 - band * w / 8, h), colour);
    }
    const int barX = int((time % 4000) * (w - w / 16) / 4000);
    painter.fillRect(QRect(barX, 0, w / 16, h), Qt::white);
    painter.fillRect(QRect(w / 16, h / 3, w - w / 8, h / 3), QColor(0, 0, 0, 200));
    painter.end();
    const QString clock = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss"));
    const int digitHeight = h / 6;
    DrawDigits(image, clock, w / 8, h / 3 + h / 24, digitHeight, qRgb(255, 255, 255));
    DrawDigits(image, QString::number(number % 1000000), w / 8, h / 3 + h / 24 + digitHeight + h / 24, digitHeight / 2,
               qRgb(255, 200, 0));
    return image;
}

void TCameraServer::DrawDigits(QImage &image, const QString &text, int x, int y, int height, QRgb colour)
{
    // Segments a-g of each digit: a top, b top right, c bottom right, d bottom, e bottom left,
    // f top left, g middle.
    static const quint8 k_segments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    const int width = height / 2;
    const int t = std::max(1, height / 10);
    QPainter painter(&image);
    const QColor ink = QColor::fromRgb(colour);
    for (const QChar c : text) {
        if (c == QLatin1Char(':')) {
            painter.fillRect(QRect(x, y + height / 3 - t / 2, t, t), ink);
            painter.fillRect(QRect(x, y + 2 * height / 3 - t / 2, t, t), ink);
            x += 3 * t;
            continue;
        }
        if (!c.isDigit())
            continue;
        const quint8 s = k_segments[c.digitValue()];
        const int half = height / 2;
        const QRect segments[7] = {
            {x, y, width, t},                    {x + width - t, y, t, half},  {x + width - t, y + half, t, half},
            {x, y + height - t, width, t},       {x, y + half, t, half},       {x, y, t, half},
            {x, y + half - t / 2, width, t},
        };
        for (int i = 0; i < 7; ++i) {
            if (s & (1 << i))
                painter.fillRect(segments[i], ink);
        }
        x += width + 2 * t;
    }
}
