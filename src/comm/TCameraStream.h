#pragma once

#include "TMjpegSplitter.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// What a camera view has to show besides its picture.
enum class CameraState { Off, Connecting, Playing, Refused, Stopped };

struct TCameraTimings
{
    int RetryFirst = 1000;     // the first pause before asking again, doubled after each failure
    int RetryLongest = 30000;  // up to this
    int StallAfter = 5000;     // no new picture for this long: the stream counts as stopped
};

// The Motion-JPEG stream of an IP camera: "http://" + address + "/axis-cgi/mjpg/video.cgi" asked
// for over HTTP, its multipart body cut into pictures, the newest kept for the view. Basic and
// Digest challenges are answered once per request with the account given (never in the URL,
// never written anywhere); a refused account, an answer that is no picture stream, a stream that
// ends or stalls and a camera that does not answer are each a state, and the stream is asked
// for again after 1, 2, 4 ... 30 s for as long as it is running.
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

    // The newest picture (JPEG bytes) since the last call, or false when none came.
    bool TakeNewest(QByteArray &jpeg);
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
    void DropReply();
    void TakeHeaders();
    void TakeBody();
    void Finished();
    void Stalled();
    void AnswerChallenge(QNetworkReply *reply, QAuthenticator *authenticator);
    // The request has failed: show why and plan the next one.
    void Fail(CameraState state, const QString &detail);
    void SetState(CameraState state, const QString &detail);

    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
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
    bool m_challengeAnswered = false;  // for the current request
    bool m_headersTaken = false;
    qsizetype m_framesThisRequest = 0;
    qsizetype m_framesSeen = 0;
    int m_attempts = 0;
    int m_retryPause = 0;
    CameraState m_state = CameraState::Off;
    QString m_detail;
};
