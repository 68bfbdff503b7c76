#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;
struct mosquitto;
struct mosquitto_message;

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

// One connection to an MQTT broker through libmosquitto, driven by Qt's event loop: the socket is
// watched by notifiers and the keep-alive by a timer, so every callback runs in the loop's thread
// in order, with no lock and no second thread. A lost connection is made again by itself with
// growing pauses (1, 2, 4 … 30 s); connected() says when it is up again.
class TMqttClient : public QObject
{
    Q_OBJECT

public:
    explicit TMqttClient(QObject *parent = nullptr);
    ~TMqttClient() override;

    // Takes the settings and starts connecting; false with `error` when they cannot be used (a
    // certificate file missing, an unknown host). Connecting itself goes on in the event loop.
    bool Start(const TMqttSettings &settings, QString &error);
    // Leaves the broker cleanly (no last will); what was published before is written out first.
    void Stop();
    bool IsConnected() const { return m_connected; }
    // Queued for the broker at QoS 1; false while not connected (nothing is kept for later: the
    // caller republishes on connected()).
    bool Publish(const QByteArray &topic, const QByteArray &payload, bool retain);
    bool Subscribe(const QByteArray &pattern);
    // The pause before the next attempt after a loss, in milliseconds.
    int RetryPause() const { return m_retryPause; }
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

    void Connect();
    void Lost(const QString &reason);
    void WatchSocket();
    void ForgetSocket();
    void ReadReady();
    void WriteReady();
    void Housekeeping();
    void UpdateWriteWatch();

    mosquitto *m_handle = nullptr;
    TMqttSettings m_settings;
    QSocketNotifier *m_read = nullptr;
    QSocketNotifier *m_write = nullptr;
    QTimer *m_misc = nullptr;
    QTimer *m_retry = nullptr;
    bool m_connected = false;
    bool m_stopping = false;
    int m_lastSent = 0;          // message id of the last publish
    int m_lastAcknowledged = 0;  // and of the last the broker acknowledged
    int m_retryFirst = 1000;
    int m_retryLongest = 30000;
    int m_retryPause = 1000;
};
