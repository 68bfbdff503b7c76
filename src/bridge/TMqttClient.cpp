#include "TMqttClient.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <mosquitto.h>
#include <openssl/ssl.h>

#include <algorithm>

namespace {

// libmosquitto is set up once per process and never torn down while a client may exist.
void InitLibrary()
{
    static const bool done = [] {
        mosquitto_lib_init();
        return true;
    }();
    (void)done;
}

QString ErrorText(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

TMqttClient::TMqttClient(QObject *parent)
    : QObject(parent)
    , m_misc(new QTimer(this))
    , m_retry(new QTimer(this))
{
    InitLibrary();
    m_misc->setInterval(1000);
    connect(m_misc, &QTimer::timeout, this, &TMqttClient::Housekeeping);
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &TMqttClient::Connect);
}

TMqttClient::~TMqttClient()
{
    Stop();
    if (m_handle)
        mosquitto_destroy(m_handle);
}

void TMqttClient::SetRetryPauses(int first, int longest)
{
    m_retryFirst = first;
    m_retryLongest = longest;
    m_retryPause = first;
}

bool TMqttClient::Start(const TMqttSettings &settings, QString &error)
{
    if (m_handle)
        mosquitto_destroy(m_handle);
    m_settings = settings;
    m_stopping = false;
    const QByteArray id = settings.ClientId.toUtf8();
    m_handle = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, this);
    if (!m_handle) {
        error = QStringLiteral("The MQTT client could not be made.");
        return false;
    }
    mosquitto_connect_callback_set(m_handle, &TMqttClient::OnConnect);
    mosquitto_disconnect_callback_set(m_handle, &TMqttClient::OnDisconnect);
    mosquitto_message_callback_set(m_handle, &TMqttClient::OnMessage);
    mosquitto_publish_callback_set(m_handle, [](mosquitto *, void *self, int mid) {
        static_cast<TMqttClient *>(self)->m_lastAcknowledged = mid;
    });
    if (!settings.User.isEmpty()) {
        const QByteArray user = settings.User.toUtf8();
        const QByteArray password = settings.Password.toUtf8();
        mosquitto_username_pw_set(m_handle, user.constData(), settings.Password.isEmpty() ? nullptr : password.constData());
    }
    if (!settings.TlsCa.isEmpty()) {
        for (const QString &file : {settings.TlsCa, settings.ClientCert, settings.ClientKey}) {
            if (!file.isEmpty() && !QFileInfo(file).isReadable()) {
                error = QStringLiteral("Cannot read ") + file;
                return false;
            }
        }
        const QByteArray ca = settings.TlsCa.toLocal8Bit();
        const QByteArray cert = settings.ClientCert.toLocal8Bit();
        const QByteArray key = settings.ClientKey.toLocal8Bit();
        const int rc = mosquitto_tls_set(m_handle, ca.constData(), nullptr, cert.isEmpty() ? nullptr : cert.constData(),
                                         key.isEmpty() ? nullptr : key.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            error = QStringLiteral("The TLS files cannot be used: ") + ErrorText(rc);
            return false;
        }
    }
    if (!settings.WillTopic.isEmpty())
        mosquitto_will_set(m_handle, settings.WillTopic.constData(), int(settings.WillPayload.size()),
                           settings.WillPayload.constData(), 1, true);
    m_retryPause = m_retryFirst;
    m_misc->start();
    const QByteArray host = settings.Host.toUtf8();
    const int rc = mosquitto_connect_async(m_handle, host.constData(), settings.Port, std::max(5, settings.KeepAlive));
    if (rc == MOSQ_ERR_INVAL) {
        error = QStringLiteral("The broker's address cannot be used: ") + settings.Host;
        return false;
    }
    if (rc != MOSQ_ERR_SUCCESS)
        Lost(ErrorText(rc));
    else
        WatchSocket();
    return true;
}

void TMqttClient::Connect()
{
    if (!m_handle || m_stopping)
        return;
    const int rc = mosquitto_reconnect_async(m_handle);
    if (rc != MOSQ_ERR_SUCCESS)
        Lost(ErrorText(rc));
    else
        WatchSocket();
}

void TMqttClient::Stop()
{
    if (!m_handle || m_stopping)
        return;
    m_stopping = true;
    m_retry->stop();
    m_misc->stop();
    if (m_connected) {
        // What was published last (the "offline" of a stop) is acknowledged before leaving, so
        // that the broker has it and sees a clean end rather than a cut connection.
        QElapsedTimer waited;
        waited.start();
        while (m_lastAcknowledged != m_lastSent && waited.elapsed() < 2000) {
            if (mosquitto_loop(m_handle, 50, 1) != MOSQ_ERR_SUCCESS)
                break;
        }
        mosquitto_disconnect(m_handle);
        for (int i = 0; i < 100 && mosquitto_want_write(m_handle); ++i) {
            if (mosquitto_loop_write(m_handle, 1) != MOSQ_ERR_SUCCESS)
                break;
        }
    }
    m_connected = false;
    ForgetSocket();
}

bool TMqttClient::Publish(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    if (!m_connected)
        return false;
    int mid = 0;
    const int rc = mosquitto_publish(m_handle, &mid, topic.constData(), int(payload.size()), payload.constData(), 1, retain);
    if (rc == MOSQ_ERR_SUCCESS)
        m_lastSent = mid;
    UpdateWriteWatch();
    return rc == MOSQ_ERR_SUCCESS;
}

bool TMqttClient::Subscribe(const QByteArray &pattern)
{
    if (!m_connected)
        return false;
    const int rc = mosquitto_subscribe(m_handle, nullptr, pattern.constData(), 1);
    UpdateWriteWatch();
    return rc == MOSQ_ERR_SUCCESS;
}

void TMqttClient::OnConnect(mosquitto *, void *self, int rc)
{
    auto *client = static_cast<TMqttClient *>(self);
    if (rc != 0) {
        client->Lost(QStringLiteral("refused by the broker: ") + QString::fromUtf8(mosquitto_connack_string(rc)));
        return;
    }
    client->m_connected = true;
    client->m_retryPause = client->m_retryFirst;
    emit client->connected();
}

void TMqttClient::OnDisconnect(mosquitto *, void *self, int rc)
{
    auto *client = static_cast<TMqttClient *>(self);
    if (!client->m_stopping)
        client->Lost(ErrorText(rc));
}

void TMqttClient::OnMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<TMqttClient *>(self);
    // Messages read while leaving are not acted upon.
    if (client->m_stopping)
        return;
    const QByteArray topic(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    emit client->messageReceived(topic, payload);
}

void TMqttClient::Lost(const QString &reason)
{
    ForgetSocket();
    const bool was = m_connected;
    m_connected = false;
    if (m_stopping || m_retry->isActive())
        return;
    m_retry->start(m_retryPause);
    m_retryPause = std::min(m_retryPause * 2, m_retryLongest);
    if (was || !reason.isEmpty())
        emit disconnected(reason);
}

void TMqttClient::WatchSocket()
{
    ForgetSocket();
    const int fd = mosquitto_socket(m_handle);
    if (fd < 0)
        return;
    m_read = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_read, &QSocketNotifier::activated, this, &TMqttClient::ReadReady);
    m_write = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(m_write, &QSocketNotifier::activated, this, &TMqttClient::WriteReady);
    UpdateWriteWatch();
}

void TMqttClient::ForgetSocket()
{
    // Deleted later: this may run inside one of their own activations.
    for (QSocketNotifier *notifier : {m_read, m_write}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_read = nullptr;
    m_write = nullptr;
}

void TMqttClient::ReadReady()
{
    // TLS may hold whole packets already taken off the socket, which the notifier never reports.
    const auto sslPending = [this] {
        auto *ssl = static_cast<SSL *>(mosquitto_ssl_get(m_handle));
        return ssl && SSL_pending(ssl) > 0;
    };
    int rounds = 0;
    do {
        const int rc = mosquitto_loop_read(m_handle, 1);
        if (rc != MOSQ_ERR_SUCCESS) {
            Lost(ErrorText(rc));
            return;
        }
    } while (m_read && sslPending() && ++rounds < 1000);
    UpdateWriteWatch();
}

void TMqttClient::WriteReady()
{
    const int rc = mosquitto_loop_write(m_handle, 1);
    if (rc != MOSQ_ERR_SUCCESS) {
        Lost(ErrorText(rc));
        return;
    }
    UpdateWriteWatch();
}

void TMqttClient::Housekeeping()
{
    if (!m_read)
        return;
    // Sends the keep-alive ping and notices a broker that stopped answering it.
    const int rc = mosquitto_loop_misc(m_handle);
    if (rc != MOSQ_ERR_SUCCESS)
        Lost(ErrorText(rc));
    else
        UpdateWriteWatch();
}

void TMqttClient::UpdateWriteWatch()
{
    if (m_write)
        m_write->setEnabled(mosquitto_want_write(m_handle));
}
