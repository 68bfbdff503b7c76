#pragma once

#include "THttpAuth.h"
#include "THttpReader.h"
#include "TMjpegSplitter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class QTcpSocket;
class QTimer;

// What a camera view has to show besides its picture.
enum class CameraState { Off, Connecting, Playing, Refused, Stopped };

struct TCameraTimings
{
    int RetryFirst = 1000;     // the first pause before asking again, doubled after each failure
    int RetryLongest = 30000;  // up to this
    int StallAfter = 5000;     // no byte for this long: the stream counts as stopped
    int HeadersWithin = 10000; // an answer whose headers have not ended by then is no stream
    int SnapshotGap = 100;     // a camera that sends one picture per answer is asked at most this often
};

// The Motion-JPEG stream of an IP camera: "http://" + address + "/axis-cgi/mjpg/video.cgi" asked
// for over HTTP, its multipart body cut into pictures, the newest kept for the view; a camera
// that answers one picture at a time is asked again at its own pace. A challenge is answered with
// the account given (never in the URL, never written anywhere), Digest before Basic; an attempt
// makes at most three requests whatever the camera answers. What is buffered per camera is
// bounded. A refused account, an answer that is no picture stream, a stream that ends or goes
// quiet and a camera that does not answer are each a state, and the stream is asked for again
// after 1, 2, 4 ... 30 s for as long as it is running.
class TCameraStream : public QObject
{
    Q_OBJECT

public:
    // The camera's factory account, used when the record asks for no log-in of its own.
    static constexpr const char *FactoryUser = "root";
    static constexpr const char *FactoryPassword = "tavo";

    explicit TCameraStream(QObject *parent = nullptr);
    ~TCameraStream() override;

    // A dotted quad (each field 1 to 3 digits, below 256), optionally followed by ":port"
    // (1 to 65535) for a camera behind a forwarded port.
    static bool IsValidAddress(const QByteArray &address);
    static QUrl StreamUrl(const QByteArray &address);

    // Where to ask and with which account; a running stream asks again at once.
    void SetSource(const QByteArray &address, const QString &user, const QString &password);
    void SetTimings(const TCameraTimings &timings) { m_timings = timings; }

    // Starts asking for pictures (nothing when already running); Stop drops the connection and
    // every planned attempt.
    void Start();
    void Stop();
    bool IsRunning() const { return m_running; }

    CameraState State() const { return m_state; }
    // A few words on why the stream is not playing (no account and no address in it).
    QString Detail() const { return m_detail; }

    // The newest picture (its encoded bytes) since the last call, or false when none came.
    bool TakeNewest(QByteArray &jpeg);
    // The viewer could not decode the last picture taken, or could: a few unreadable ones in a
    // row and the stream is no picture stream.
    void PictureUnreadable();
    void PictureShown() { m_unreadable = 0; }
    // Requests sent in all, and in the current attempt.
    int Requests() const { return m_requests; }
    int RequestsThisAttempt() const { return m_requestsThisAttempt; }
    static constexpr int MostRequestsPerAttempt = 3;
    static constexpr int UnreadableInARow = 3;
    static constexpr qint64 ReadBuffer = 256 * 1024;
    qsizetype FramesSeen() const { return m_framesSeen; }
    int Attempts() const { return m_attempts; }
    int RetryPause() const { return m_retryPause; }
    QTimer *RetryTimer() const { return m_retryTimer; }
    QTimer *StallTimer() const { return m_stallTimer; }

signals:
    // A new picture is waiting in TakeNewest.
    void frameArrived();
    void stateChanged();

private:
    void Connect();
    void SendRequest();
    void DropReply();
    void Read();
    // The answer's headers are in: false when the request ended with them.
    bool TakeHeaders();
    void TakeBody(QByteArray body);
    void ShowPicture(QByteArray picture);
    void NextSnapshot();
    void Finished();
    void Stalled();
    // The request has failed: show why and plan the next one.
    void Fail(CameraState state, const QString &detail);
    void SetState(CameraState state, const QString &detail);

    QTcpSocket *m_reply = nullptr;
    THttpReader m_reader;
    THttpAuth m_auth;
    QByteArray m_host;
    quint16 m_port = 80;
    QTimer *m_retryTimer = nullptr;
    QTimer *m_stallTimer = nullptr;
    std::unique_ptr<TMjpegSplitter> m_splitter;
    TCameraTimings m_timings;
    QUrl m_url;
    QString m_user;
    QString m_password;
    QByteArray m_newest;
    bool m_hasNewest = false;
    bool m_running = false;
    bool m_headersTaken = false;
    bool m_snapshot = false;          // the camera answers one picture per request
    bool m_snapshotNext = false;      // the planned request asks for a snapshot camera's next picture
    QByteArray m_snapshotBody;
    int m_requests = 0;
    int m_requestsThisAttempt = 0;
    int m_unreadable = 0;
    QTimer *m_headersTimer = nullptr;
    qsizetype m_framesThisRequest = 0;
    qsizetype m_framesSeen = 0;
    int m_attempts = 0;
    int m_retryPause = 0;
    CameraState m_state = CameraState::Off;
    QString m_detail;
};
