#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;
struct TMosquittoLibrary;

// Where and how to reach the MQTT broker. The password is read from a file by the callers and
// never shown.
struct TMqttSettings
{
    QString Host = QStringLiteral("127.0.0.1");
    quint16 Port = 1883;
    QString User;
    QString Password;
    QString TlsCa;       // TLS when set: the broker's certificate is checked against this CA
    QString ClientCert;  // with ClientKey: the client's own certificate
    QString ClientKey;
    int KeepAlive = 30;  // seconds
    QString ClientId;
    QByteArray WillTopic;  // published retained by the broker when this client vanishes
    QByteArray WillPayload;
};

// One connection to an MQTT broker through libmosquitto. Its network runs in libmosquitto's own
// thread, so that a publish only queues a packet (no system call on the caller's thread, which is
// the program's GUI thread); what that thread reports (connected, lost, a message) comes back as
// queued calls, so the signals are emitted in this object's thread, in order. A lost connection
// is made again by itself with growing pauses (1, 2, 4 … 30 s); connected() says when it is up.
class TMqttClient : public QObject
{
    Q_OBJECT

public:
    explicit TMqttClient(QObject *parent = nullptr);
    ~TMqttClient() override;

    // Takes the settings and starts connecting; false with `error` when they cannot be used (a
    // certificate file missing, an unknown host). Connecting itself goes on in the event loop.
    bool Start(const TMqttSettings &settings, QString &error);
    // Leaves the broker cleanly (no last will); what was published last is acknowledged first.
    void Stop();
    bool IsConnected() const { return m_connected; }
    // Queued for the broker at QoS 1 and handed to libmosquitto by a thread of this client's own;
    // false while not connected (nothing is kept for later: the caller republishes on
    // connected()).
    bool Publish(const QByteArray &topic, const QByteArray &payload, bool retain);
    bool Subscribe(const QByteArray &pattern);
    // The pause before the attempt that follows the last loss, in milliseconds.
    int RetryPause() const { return m_shownPause; }
    void SetRetryPauses(int first, int longest);

signals:
    void connected();
    // The connection went (or a connect failed); `reason` is for the log, never a credential.
    void disconnected(const QString &reason);
    void messageReceived(const QByteArray &topic, const QByteArray &payload);

private:
    static void OnConnect(mosquitto *, void *self, int rc);
    static void OnDisconnect(mosquitto *, void *self, int rc);
    static void OnMessage(mosquitto *, void *self, const mosquitto_message *message);

    void Lost(const QString &reason);
    void PublishLoop();
    void HandOver();
    void StopPublisher();

    struct Outgoing
    {
        QByteArray Topic;
        QByteArray Payload;
        bool Retain = false;
    };

    const TMosquittoLibrary *m_mosq = nullptr;  // loaded by the first start, never unloaded
    mosquitto *m_handle = nullptr;
    TMqttSettings m_settings;
    bool m_looping = false;
    bool m_connected = false;
    bool m_stopping = false;
    std::atomic<int> m_lastSent = 0;           // message id of the last publish
    // Publishing is a system call or two per message in libmosquitto: a thread of its own takes
    // them off the caller's thread.
    std::mutex m_queueLock;
    std::condition_variable m_queueReady;
    std::vector<Outgoing> m_queue;
    std::vector<Outgoing> m_pending;  // this object's thread only
    bool m_queueBusy = false;
    bool m_publisherStop = false;
    std::thread m_publisher;
    std::atomic<int> m_lastAcknowledged = 0;   // and of the last the broker acknowledged
    int m_retryFirst = 1000;
    int m_retryLongest = 30000;
    int m_retryPause = 1000;
    int m_shownPause = 1000;
};
