#include "TMqttClient.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include "TMosquittoLibrary.h"

#include <algorithm>

namespace {

QString ErrorText(const TMosquittoLibrary &library, int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(strerror(errno));
    return QString::fromUtf8(library.StrError(rc));
}

} // namespace

TMqttClient::TMqttClient(QObject *parent)
    : QObject(parent)
{
}

TMqttClient::~TMqttClient()
{
    Stop();
    if (m_handle)
        m_mosq->Destroy(m_handle);
}

void TMqttClient::SetRetryPauses(int first, int longest)
{
    m_retryFirst = std::max(first, 1000);
    m_retryLongest = std::max(longest, m_retryFirst);
    m_retryPause = m_retryFirst;
    if (m_handle)
        m_mosq->ReconnectDelaySet(m_handle, unsigned(m_retryFirst / 1000), unsigned(m_retryLongest / 1000), true);
}

bool TMqttClient::Start(const TMqttSettings &settings, QString &error)
{
    Stop();
    if (m_handle)
        m_mosq->Destroy(m_handle);
    m_handle = nullptr;
    m_mosq = TMosquittoLibrary::Load(error);
    if (!m_mosq)
        return false;
    m_settings = settings;
    m_stopping = false;
    const QByteArray id = settings.ClientId.toUtf8();
    m_handle = m_mosq->New(id.isEmpty() ? nullptr : id.constData(), true, this);
    if (!m_handle) {
        error = QStringLiteral("The MQTT client could not be made.");
        return false;
    }
    m_mosq->ConnectCallbackSet(m_handle, &TMqttClient::OnConnect);
    m_mosq->DisconnectCallbackSet(m_handle, &TMqttClient::OnDisconnect);
    m_mosq->MessageCallbackSet(m_handle, &TMqttClient::OnMessage);
    m_mosq->PublishCallbackSet(m_handle, [](mosquitto *, void *self, int mid) {
        static_cast<TMqttClient *>(self)->m_lastAcknowledged = mid;
    });
    m_mosq->ReconnectDelaySet(m_handle, unsigned(m_retryFirst / 1000), unsigned(m_retryLongest / 1000), true);
    if (!settings.User.isEmpty()) {
        const QByteArray user = settings.User.toUtf8();
        const QByteArray password = settings.Password.toUtf8();
        m_mosq->UsernamePwSet(m_handle, user.constData(), settings.Password.isEmpty() ? nullptr : password.constData());
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
        const int rc = m_mosq->TlsSet(m_handle, ca.constData(), nullptr, cert.isEmpty() ? nullptr : cert.constData(),
                                         key.isEmpty() ? nullptr : key.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            error = QStringLiteral("The TLS files cannot be used: ") + ErrorText(*m_mosq, rc);
            return false;
        }
    }
    if (!settings.WillTopic.isEmpty())
        m_mosq->WillSet(m_handle, settings.WillTopic.constData(), int(settings.WillPayload.size()),
                           settings.WillPayload.constData(), 1, true);
    m_retryPause = m_retryFirst;
    const QByteArray host = settings.Host.toUtf8();
    const int rc = m_mosq->ConnectAsync(m_handle, host.constData(), settings.Port, std::max(5, settings.KeepAlive));
    if (rc == MOSQ_ERR_INVAL) {
        error = QStringLiteral("The broker's address cannot be used: ") + settings.Host;
        return false;
    }
    if (rc != MOSQ_ERR_SUCCESS)
        emit disconnected(ErrorText(*m_mosq, rc));
    // The network goes on in libmosquitto's own thread (connecting, reading, writing, keep-alive,
    // reconnecting); what it reports comes back to this object's thread as queued calls.
    if (m_mosq->LoopStart(m_handle) != MOSQ_ERR_SUCCESS) {
        error = QStringLiteral("The MQTT client's network thread could not start.");
        return false;
    }
    m_looping = true;
    m_publisherStop = false;
    m_publisher = std::thread(&TMqttClient::PublishLoop, this);
    return true;
}

void TMqttClient::Stop()
{
    if (!m_handle || !m_looping)
        return;
    m_stopping = true;
    if (m_connected) {
        // What was published last (the "offline" of a stop) is handed over and acknowledged
        // before leaving, so that the broker has it and sees a clean end, not a cut connection.
        QElapsedTimer waited;
        waited.start();
        HandOver();
        {
            std::unique_lock<std::mutex> lock(m_queueLock);
            m_queueReady.wait_for(lock, std::chrono::seconds(2), [this] { return m_queue.empty() && !m_queueBusy; });
        }
        while (m_lastAcknowledged != m_lastSent && waited.elapsed() < 2000)
            QThread::msleep(5);
    }
    StopPublisher();
    m_mosq->Disconnect(m_handle);
    m_mosq->LoopStop(m_handle, false);
    m_looping = false;
    m_connected = false;
}

bool TMqttClient::Publish(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    if (!m_connected)
        return false;
    // Gathered here and handed over once per turn of the event loop: one wake of the publishing
    // thread for a whole burst of states, not one per message.
    m_pending.push_back({topic, payload, retain});
    if (m_pending.size() == 1)
        QMetaObject::invokeMethod(this, &TMqttClient::HandOver, Qt::QueuedConnection);
    return true;
}

void TMqttClient::HandOver()
{
    if (m_pending.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        if (m_queue.empty())
            m_queue.swap(m_pending);
        else
            m_queue.insert(m_queue.end(), std::make_move_iterator(m_pending.begin()), std::make_move_iterator(m_pending.end()));
    }
    m_pending.clear();
    m_queueReady.notify_one();
}

void TMqttClient::PublishLoop()
{
    std::vector<Outgoing> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_queueLock);
            m_queueBusy = false;
            m_queueReady.notify_all();
            m_queueReady.wait(lock, [this] { return m_publisherStop || !m_queue.empty(); });
            if (m_queue.empty())
                return;
            batch.swap(m_queue);
            m_queueBusy = true;
        }
        for (const Outgoing &message : batch) {
            int mid = 0;
            if (m_mosq->Publish(m_handle, &mid, message.Topic.constData(), int(message.Payload.size()), message.Payload.constData(), 1,
                                  message.Retain) == MOSQ_ERR_SUCCESS)
                m_lastSent = mid;
        }
        batch.clear();
    }
}

void TMqttClient::StopPublisher()
{
    if (!m_publisher.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_publisherStop = true;
    }
    m_queueReady.notify_all();
    m_publisher.join();
    m_queue.clear();
    m_pending.clear();
}

bool TMqttClient::Subscribe(const QByteArray &pattern)
{
    if (!m_connected)
        return false;
    return m_mosq->Subscribe(m_handle, nullptr, pattern.constData(), 1) == MOSQ_ERR_SUCCESS;
}

// The callbacks run in libmosquitto's thread: each hands its news to this object's thread.
void TMqttClient::OnConnect(mosquitto *, void *self, int rc)
{
    auto *client = static_cast<TMqttClient *>(self);
    QMetaObject::invokeMethod(client, [client, rc] {
        if (client->m_stopping)
            return;
        if (rc != 0) {
            client->Lost(QStringLiteral("refused by the broker: ") + QString::fromUtf8(client->m_mosq->ConnackString(rc)));
            return;
        }
        client->m_connected = true;
        client->m_retryPause = client->m_retryFirst;
        emit client->connected();
    }, Qt::QueuedConnection);
}

void TMqttClient::OnDisconnect(mosquitto *, void *self, int rc)
{
    auto *client = static_cast<TMqttClient *>(self);
    QMetaObject::invokeMethod(client, [client, rc] {
        if (!client->m_stopping)
            client->Lost(ErrorText(*client->m_mosq, rc));
    }, Qt::QueuedConnection);
}

void TMqttClient::OnMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<TMqttClient *>(self);
    const QByteArray topic(message->topic);
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    QMetaObject::invokeMethod(client, [client, topic, payload] {
        // Messages read while leaving are not acted upon.
        if (!client->m_stopping)
            emit client->messageReceived(topic, payload);
    }, Qt::QueuedConnection);
}

void TMqttClient::Lost(const QString &reason)
{
    m_connected = false;
    // libmosquitto tries again by itself after the same growing pauses.
    const int pause = m_retryPause;
    m_retryPause = std::min(m_retryPause * 2, m_retryLongest);
    m_shownPause = pause;
    emit disconnected(reason);
}
