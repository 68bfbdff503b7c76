#include "TCameraStream.h"

#include "SerialPort.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

TCameraStream::TCameraStream(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
    , m_retryTimer(new QTimer(this))
    , m_stallTimer(new QTimer(this))
{
    m_retryTimer->setSingleShot(true);
    m_stallTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, &TCameraStream::Connect);
    connect(m_stallTimer, &QTimer::timeout, this, &TCameraStream::Stalled);
    connect(m_network, &QNetworkAccessManager::authenticationRequired, this, &TCameraStream::AnswerChallenge);
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
    m_user = user;
    m_password = password;
    // A new manager forgets the accounts the old one remembered for the host.
    DropReply();
    delete m_network;
    m_network = new QNetworkAccessManager(this);
    connect(m_network, &QNetworkAccessManager::authenticationRequired, this, &TCameraStream::AnswerChallenge);
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
    ++m_attempts;
    if (!m_url.isValid()) {
        Fail(CameraState::Connecting, QStringLiteral("no valid camera address"));
        return;
    }
    QNetworkRequest request(m_url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    m_challengeAnswered = false;
    m_headersTaken = false;
    m_framesThisRequest = 0;
    m_splitter.reset();
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &TCameraStream::TakeBody);
    connect(m_reply, &QNetworkReply::finished, this, &TCameraStream::Finished);
    m_stallTimer->start(m_timings.StallAfter);
}

void TCameraStream::DropReply()
{
    m_stallTimer->stop();
    m_splitter.reset();
    if (!m_reply)
        return;
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void TCameraStream::AnswerChallenge(QNetworkReply *reply, QAuthenticator *authenticator)
{
    // A second challenge on the same request means the account was refused: left unanswered,
    // the request ends with the camera's refusal.
    if (reply != m_reply || m_challengeAnswered)
        return;
    m_challengeAnswered = true;
    authenticator->setUser(m_user);
    authenticator->setPassword(m_password);
}

void TCameraStream::TakeHeaders()
{
    m_headersTaken = true;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 401 || status == 403) {
        Fail(CameraState::Refused, status == 401 ? QStringLiteral("the account was not accepted") : QStringLiteral("access forbidden (HTTP 403)"));
        return;
    }
    if (status != 200) {
        Fail(CameraState::Stopped, QStringLiteral("HTTP %1").arg(status));
        return;
    }
    const QByteArray type = m_reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    const QByteArray boundary = TMjpegSplitter::BoundaryOf(type);
    if (!type.trimmed().toLower().startsWith("multipart/x-mixed-replace") || boundary.isEmpty()) {
        Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
        return;
    }
    m_splitter = std::make_unique<TMjpegSplitter>(boundary);
}

void TCameraStream::TakeBody()
{
    if (!m_reply)
        return;
    if (!m_headersTaken)
        TakeHeaders();
    if (!m_reply || !m_splitter)
        return;
    m_splitter->Feed(m_reply->readAll());
    QByteArray part;
    if (!m_splitter->TakeNewest(part))
        return;
    m_newest = std::move(part);
    m_hasNewest = true;
    ++m_framesThisRequest;
    ++m_framesSeen;
    m_stallTimer->start(m_timings.StallAfter);
    if (m_state != CameraState::Playing) {
        m_retryPause = 0;
        SetState(CameraState::Playing, {});
    }
    emit frameArrived();
}

void TCameraStream::Finished()
{
    if (!m_reply)
        return;
    if (!m_headersTaken && m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        TakeBody();
        if (!m_reply)
            return;
    }
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error == QNetworkReply::AuthenticationRequiredError || error == QNetworkReply::ContentAccessDenied) {
        Fail(CameraState::Refused, QStringLiteral("the account was not accepted"));
    } else if (m_framesThisRequest > 0) {
        Fail(CameraState::Stopped, QStringLiteral("the camera ended the stream"));
    } else if (m_headersTaken) {
        Fail(CameraState::Stopped, QStringLiteral("not an MJPEG stream"));
    } else {
        QString why = QStringLiteral("no answer");
        if (error == QNetworkReply::ConnectionRefusedError)
            why = QStringLiteral("no answer (connection refused)");
        else if (error == QNetworkReply::HostNotFoundError)
            why = QStringLiteral("no answer (host not found)");
        Fail(CameraState::Connecting, why);
    }
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
