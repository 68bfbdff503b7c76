#include "TCameraStream.h"

#include "SerialPort.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

TCameraStream::TCameraStream(QObject *parent)
    : QObject(parent)
    , m_retryTimer(new QTimer(this))
    , m_stallTimer(new QTimer(this))
    , m_headersTimer(new QTimer(this))
{
    m_retryTimer->setSingleShot(true);
    m_stallTimer->setSingleShot(true);
    m_headersTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, &TCameraStream::Connect);
    connect(m_stallTimer, &QTimer::timeout, this, &TCameraStream::Stalled);
    connect(m_headersTimer, &QTimer::timeout, this, [this] { Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream")); });
}

TCameraStream::~TCameraStream()
{
    DropReply();
}

bool TCameraStream::IsValidAddress(const QByteArray &address)
{
    const qsizetype colon = address.indexOf(':');
    if (colon < 0)
        return SerialPort::IsValidIPv4(address);
    const QByteArray port = address.mid(colon + 1);
    if (port.isEmpty() || port.size() > 5)
        return false;
    for (char c : port) {
        if (c < '0' || c > '9')
            return false;
    }
    const int number = port.toInt();
    return number >= 1 && number <= 65535 && SerialPort::IsValidIPv4(address.left(colon));
}

QUrl TCameraStream::StreamUrl(const QByteArray &address)
{
    return QUrl(QStringLiteral("http://") + QString::fromLatin1(address) + QStringLiteral("/axis-cgi/mjpg/video.cgi"));
}

void TCameraStream::SetSource(const QByteArray &address, const QString &user, const QString &password)
{
    m_url = IsValidAddress(address) ? StreamUrl(address) : QUrl();
    m_host = m_url.host().toLatin1();
    m_port = quint16(m_url.port(80));
    m_user = user;
    m_password = password;
    m_auth = THttpAuth();
    m_snapshotNext = false;
    DropReply();
    if (m_running) {
        m_retryTimer->stop();
        m_retryPause = 0;
        Connect();
    }
}

void TCameraStream::Start()
{
    if (m_running)
        return;
    m_running = true;
    m_retryPause = 0;
    SetState(CameraState::Connecting, {});
    Connect();
}

void TCameraStream::Stop()
{
    m_running = false;
    m_snapshotNext = false;
    m_retryTimer->stop();
    DropReply();
    SetState(CameraState::Off, {});
}

bool TCameraStream::TakeNewest(QByteArray &jpeg)
{
    if (!m_hasNewest)
        return false;
    jpeg = std::move(m_newest);
    m_newest.clear();
    m_hasNewest = false;
    return true;
}

void TCameraStream::Connect()
{
    DropReply();
    if (!m_running)
        return;
    // The next picture of a snapshot camera goes on with the attempt and its account.
    if (!std::exchange(m_snapshotNext, false)) {
        ++m_attempts;
        m_auth = THttpAuth();
    }
    m_requestsThisAttempt = 0;
    if (!m_url.isValid()) {
        Fail(CameraState::Connecting, QStringLiteral("no valid camera address"));
        return;
    }
    SendRequest();
}

void TCameraStream::SendRequest()
{
    DropReply();
    ++m_requests;
    ++m_requestsThisAttempt;
    m_headersTaken = false;
    m_framesThisRequest = 0;
    m_snapshotBody.clear();
    m_reader = THttpReader();
    m_reply = new QTcpSocket(this);
    // Qt reads no more from the network than this while the bytes wait: a camera sending faster
    // than the program takes them fills its own buffers, not the program's memory.
    m_reply->setReadBufferSize(ReadBuffer);
    QTcpSocket *socket = m_reply;
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        const QByteArray path = m_url.path(QUrl::FullyEncoded).toLatin1();
        QByteArray request = "GET " + path + " HTTP/1.1\r\nHost: " + m_url.authority(QUrl::FullyEncoded).toLatin1() +
                             "\r\nAccept: multipart/x-mixed-replace, image/*\r\nConnection: close\r\n";
        if (m_auth.IsChosen())
            request += "Authorization: " + m_auth.Answer(m_user, m_password, "GET", path) + "\r\n";
        socket->write(request + "\r\n");
    });
    connect(socket, &QTcpSocket::readyRead, this, &TCameraStream::Read);
    connect(socket, &QTcpSocket::disconnected, this, &TCameraStream::Finished);
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            return;  // the end of the answer: `disconnected` tells it
        if (!m_headersTaken && m_framesThisRequest == 0) {
            Fail(CameraState::Connecting, error == QAbstractSocket::ConnectionRefusedError ? QStringLiteral("no answer (connection refused)")
                                                                                            : QStringLiteral("no answer"));
            return;
        }
        Finished();
    });
    socket->connectToHost(QString::fromLatin1(m_host), m_port);
    m_stallTimer->start(m_timings.StallAfter);
    m_headersTimer->start(m_timings.HeadersWithin);
}

void TCameraStream::DropReply()
{
    m_stallTimer->stop();
    m_headersTimer->stop();
    m_splitter.reset();
    if (!m_reply)
        return;
    QTcpSocket *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void TCameraStream::Read()
{
    // Every byte counts as life: a slow camera is not a stalled one.
    m_stallTimer->start(m_timings.StallAfter);
    while (m_reply && m_reply->bytesAvailable() > 0) {
        const QByteArray bytes = m_reply->read(64 * 1024);
        if (!m_reader.Feed(bytes)) {
            Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
            return;
        }
        if (!m_headersTaken && m_reader.HeadersDone() && !TakeHeaders())
            return;
        if (m_headersTaken)
            TakeBody(m_reader.TakeBody());
        if (m_reply && m_snapshot && m_reader.Complete()) {
            // One picture per answer: shown, and the next asked for at the camera's pace.
            NextSnapshot();
            return;
        }
    }
}

bool TCameraStream::TakeHeaders()
{
    m_headersTaken = true;
    m_headersTimer->stop();
    const int status = m_reader.Status();
    if (status == 401) {
        const std::vector<THttpAuth::Challenge> challenges = THttpAuth::Parse(m_reader.Header("WWW-Authenticate"));
        const bool stale = std::any_of(challenges.begin(), challenges.end(), &THttpAuth::IsStale);
        // The account goes once; again only for a nonce the camera calls stale, and never more
        // than a few requests in one attempt.
        const bool answered = m_auth.IsChosen();
        if ((answered && !stale) || m_requestsThisAttempt >= MostRequestsPerAttempt) {
            Fail(CameraState::Refused, QStringLiteral("the account was not accepted"));
            return false;
        }
        QString why;
        if (!m_auth.Choose(challenges, why)) {
            Fail(CameraState::Refused, why);
            return false;
        }
        DropReply();
        QTimer::singleShot(0, this, [this] {
            if (m_running && !m_reply && !m_retryTimer->isActive())
                SendRequest();
        });
        return false;
    }
    if (status == 403) {
        Fail(CameraState::Refused, QStringLiteral("access forbidden (HTTP 403)"));
        return false;
    }
    if (status != 200) {
        Fail(CameraState::Stopped, QStringLiteral("HTTP %1").arg(status));
        return false;
    }
    const QByteArray type = m_reader.Header("Content-Type").value(0).trimmed().toLower();
    const QByteArray boundary = TMjpegSplitter::BoundaryOf(m_reader.Header("Content-Type").value(0));
    m_snapshot = type.startsWith("image/");
    if (!m_snapshot && (!type.startsWith("multipart/x-mixed-replace") || boundary.isEmpty())) {
        Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
        return false;
    }
    if (!m_snapshot)
        m_splitter = std::make_unique<TMjpegSplitter>(boundary);
    return true;
}

void TCameraStream::TakeBody(QByteArray body)
{
    if (m_snapshot) {
        if (m_snapshotBody.size() + body.size() > TMjpegSplitter::MaxPart)
            Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
        else
            m_snapshotBody += body;
        return;
    }
    if (!m_splitter || body.isEmpty())
        return;
    m_splitter->Feed(body);
    if (m_splitter->NotAStream()) {
        Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
        return;
    }
    QByteArray part;
    if (m_splitter->TakeNewest(part))
        ShowPicture(std::move(part));
}

void TCameraStream::ShowPicture(QByteArray picture)
{
    if (picture.isEmpty())
        return;
    m_newest = std::move(picture);
    m_hasNewest = true;
    ++m_framesThisRequest;
    ++m_framesSeen;
    if (m_state != CameraState::Playing) {
        m_retryPause = 0;
        SetState(CameraState::Playing, {});
    }
    emit frameArrived();
}

void TCameraStream::NextSnapshot()
{
    ShowPicture(std::move(m_snapshotBody));
    DropReply();
    m_snapshotNext = true;
    m_retryTimer->start(m_timings.SnapshotGap);
}

void TCameraStream::PictureUnreadable()
{
    if (++m_unreadable >= UnreadableInARow && m_running) {
        m_unreadable = 0;
        Fail(CameraState::Stopped, QStringLiteral("not a picture stream"));
    }
}

void TCameraStream::Finished()
{
    if (!m_reply)
        return;
    // A last picture of an answer that ends with the close.
    if (m_reply->bytesAvailable() > 0)
        Read();
    if (!m_reply)
        return;
    if (m_snapshot && m_headersTaken && !m_snapshotBody.isEmpty()) {
        NextSnapshot();
        return;
    }
    if (m_framesThisRequest > 0)
        Fail(CameraState::Stopped, QStringLiteral("the camera ended the stream"));
    else if (m_headersTaken || m_reader.Status() != 0)
        Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
    else
        Fail(CameraState::Connecting, QStringLiteral("no answer"));
}

void TCameraStream::Stalled()
{
    if (m_framesThisRequest > 0)
        Fail(CameraState::Stopped, QStringLiteral("no new picture for %1 s").arg(m_timings.StallAfter / 1000.0));
    else
        Fail(CameraState::Connecting, QStringLiteral("no answer"));
}

void TCameraStream::Fail(CameraState state, const QString &detail)
{
    DropReply();
    m_snapshotNext = false;
    if (!m_running)
        return;
    SetState(state, detail);
    m_retryPause = m_retryPause == 0 ? m_timings.RetryFirst : std::min(m_retryPause * 2, m_timings.RetryLongest);
    m_retryTimer->start(m_retryPause);
}

void TCameraStream::SetState(CameraState state, const QString &detail)
{
    if (state == m_state && detail == m_detail)
        return;
    m_state = state;
    m_detail = detail;
    emit stateChanged();
}
