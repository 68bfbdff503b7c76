#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QImage>
#include <QObject>
#include <QSize>

#include <functional>
#include <map>

class QTcpServer;
class QTcpSocket;
class QTimer;

// A network camera for the demo and for trying the program: serves a Motion-JPEG stream at
// /axis-cgi/mjpg/video.cgi, asking for Basic or Digest credentials, drawing a test picture with a
// moving bar, a clock and a frame counter so that a frozen stream shows at once. Faults on
// request: stop sending after some frames (keeping the connection), or refuse every account.
class TCameraServer : public QObject
{
    Q_OBJECT

public:
    enum class Auth { Basic, Digest, Both };
    struct Options
    {
        QHostAddress Address = QHostAddress::LocalHost;
        quint16 Port = 0;            // 0: any free port
        QByteArray User = "root";
        QByteArray Password = "tavo";
        Auth Authentication = Auth::Both;
        int FramesPerSecond = 10;
        QSize PictureSize = QSize(640, 480);
        int StallAfter = 0;          // frames sent on each connection before it goes quiet; 0: never
        bool Refuse = false;
    };

    // `log` receives one line per request (never an account); may be empty.
    TCameraServer(const Options &options, std::function<void(const QString &)> log, QObject *parent = nullptr);

    bool Start(QString &error);
    quint16 Port() const;
    // Connections receiving the stream now.
    int Streaming() const;

    // The test picture of frame `number` at `time` (milliseconds since the start).
    static QImage TestPicture(QSize size, qint64 number, qint64 time);
    // Seven-segment digits and colons, `height` tall, from (x, y).
    static void DrawDigits(QImage &image, const QString &text, int x, int y, int height, QRgb colour);

private:
    struct Client
    {
        QByteArray Head;
        bool Streaming = false;
        qint64 Sent = 0;
    };

    void Accept();
    void Read(QTcpSocket *socket);
    void Answer(QTcpSocket *socket, const QByteArray &head);
    bool Authorised(const QByteArray &head) const;
    void SendFrame();

    Options m_options;
    std::function<void(const QString &)> m_log;
    QTcpServer *m_server = nullptr;
    QTimer *m_timer = nullptr;
    QElapsedTimer m_clock;
    QByteArray m_nonce;
    std::map<QTcpSocket *, Client> m_clients;
    qint64 m_frame = 0;
};
