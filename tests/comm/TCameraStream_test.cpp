#include "TCameraStream.h"

#include "EventLoop.h"
#include "TestCamera.h"


#include <gtest/gtest.h>

namespace {

// Short pauses so that a test sees several attempts.
TCameraTimings Quick() { return {.RetryFirst = 20, .RetryLongest = 80, .StallAfter = 200}; }

// Plays the camera at `address` with the factory account.
void Play(TCameraStream &stream, const QByteArray &address, const TCameraTimings &timings = Quick())
{
    stream.SetTimings(timings);
    stream.SetSource(address, QStringLiteral("root"), QStringLiteral("tavo"));
    stream.Start();
}

struct Viewer
{
    explicit Viewer(TCameraStream &stream) : stream(stream)
    {
        QObject::connect(&stream, &TCameraStream::frameArrived, &stream, [this] {
            QByteArray jpeg;
            if (this->stream.TakeNewest(jpeg))
                shown.append(jpeg);
        });
    }
    TCameraStream &stream;
    QByteArrayList shown;
};

} // namespace

TEST(TCameraStream, AddressesAndUrl)
{
    // A dotted quad as the link's check has it, with an optional port for a forwarded camera.
    const struct { const char *address; bool valid; } rows[] = {
        {"192.168.1.20", true}, {"10.0.0.1:8080", true}, {"127.0.0.1:1", true}, {"127.0.0.1:65535", true},
        {"192.168.1.", false}, {"192.168.1", false}, {"256.1.1.1", false}, {"1.2.3.4:", false}, {"1.2.3.4:0", false},
        {"1.2.3.4:65536", false}, {"1.2.3.4:80a", false}, {"1.2.3.4:123456", false}, {"cam.local", false}, {"", false},
        {"1.2.3.4/x", false}, {"user:pw@1.2.3.4", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(TCameraStream::IsValidAddress(row.address), row.valid) << row.address;
    EXPECT_EQ(TCameraStream::StreamUrl("10.0.0.1:8080").toString(), QStringLiteral("http://10.0.0.1:8080/axis-cgi/mjpg/video.cgi"));
}

TEST(TCameraStream, EveryBodyFormGivesTheNewestPicture)
{
    // Boundary forms a camera may send (with or without the dashes, quoted), parts with and
    // without Content-Length, and parts cut anywhere across writes.
    const struct { const char *name; QByteArray type; QByteArray delimiter; bool length; int piece; } rows[] = {
        {"plain", "multipart/x-mixed-replace; boundary=myboundary", "--myboundary", true, 0},
        {"dashes in the header", "multipart/x-mixed-replace;boundary=--myboundary", "--myboundary", true, 0},
        {"quoted", "multipart/x-mixed-replace; boundary=\"my boundary\"", "--my boundary", false, 0},
        {"no length, byte by byte", "multipart/x-mixed-replace; boundary=b", "--b", false, 1},
        {"length, 7-byte pieces", "Multipart/X-Mixed-Replace; boundary=b", "--b", true, 7},
    };
    for (const auto &row : rows) {
        TestCamera camera;
        camera.script.ContentType = row.type;
        camera.script.Delimiter = row.delimiter;
        camera.script.ContentLength = row.length;
        camera.script.Piece = row.piece;
        camera.script.Frames = {"\xff\xd8one\r\n--not-it\xff\xd9", "\xff\xd8two\xff\xd9", "\xff\xd8three\xff\xd9"};
        // The stream's own stall time: a body sent a byte per turn of a loaded machine's event
        // loop may take a while, and must not count as stalled.
        TCameraStream stream;
        Viewer viewer(stream);
        Play(stream, camera.Address(), TCameraTimings());
        // A part without a length ends where the next delimiter starts: the last one sent waits.
        const QByteArray newest = row.length ? "\xff\xd8three\xff\xd9" : "\xff\xd8two\xff\xd9";
        ASSERT_TRUE(RunUntil([&] { return !viewer.shown.isEmpty() && viewer.shown.last() == newest; }, 20000)) << row.name;
        EXPECT_EQ(stream.State(), CameraState::Playing) << row.name;
        // Never a part that was not sent whole.
        for (const QByteArray &shown : viewer.shown)
            EXPECT_TRUE(camera.script.Frames.contains(shown)) << row.name << ": " << shown.toStdString();
        const QByteArray request = camera.Requests().value(0);
        EXPECT_TRUE(request.startsWith("GET /axis-cgi/mjpg/video.cgi HTTP/1.1")) << request.toStdString();
    }
}

TEST(TCameraStream, BasicAndDigestAccountsAndRefusals)
{
    const struct { const char *name; TestCamera::Auth auth; QString user, password; CameraState expected; } rows[] = {
        {"basic, factory account", TestCamera::Auth::Basic, QStringLiteral("root"), QStringLiteral("tavo"), CameraState::Playing},
        {"digest, factory account", TestCamera::Auth::Digest, QStringLiteral("root"), QStringLiteral("tavo"), CameraState::Playing},
        {"basic, wrong password", TestCamera::Auth::Basic, QStringLiteral("root"), QStringLiteral("nope"), CameraState::Refused},
        {"digest, wrong user", TestCamera::Auth::Digest, QStringLiteral("admin"), QStringLiteral("tavo"), CameraState::Refused},
    };
    for (const auto &row : rows) {
        TestCamera camera;
        camera.script.Authentication = row.auth;
        TCameraStream stream;
        stream.SetTimings(Quick());
        Viewer viewer(stream);
        stream.SetSource(camera.Address(), row.user, row.password);
        stream.Start();
        ASSERT_TRUE(RunUntil([&] { return stream.State() == row.expected; })) << row.name;
        if (row.expected == CameraState::Refused) {
            // Refused, the stream asks again later, never in a loop of challenges.
            EXPECT_TRUE(stream.RetryTimer()->isActive()) << row.name;
            EXPECT_LE(camera.Requests().size(), 2) << row.name;
            EXPECT_TRUE(viewer.shown.isEmpty()) << row.name;
        }
        // The account never travels in the request line, and a password never in clear text.
        for (const QByteArray &request : camera.Requests()) {
            EXPECT_FALSE(request.split('\n').first().contains("root")) << row.name;
            EXPECT_FALSE(request.contains(row.password.toLatin1())) << row.name;
        }
    }

    // Whatever a camera answers to the account, one attempt makes at most three requests.
    TestCamera stale;
    stale.script.Raw = [](QTcpSocket *socket, const QByteArray &, int number) {
        socket->write("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Digest realm=\"cam\", nonce=\"n" + QByteArray::number(number) +
                      "\", qop=\"auth\", stale=true\r\nContent-Length: 0\r\n\r\n");
    };
    TCameraStream stream;
    Play(stream, stale.Address());
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Refused; }));
    EXPECT_EQ(stream.Detail(), QStringLiteral("the account was not accepted"));
    EXPECT_EQ(stale.Requests().size(), TCameraStream::MostRequestsPerAttempt);
    ASSERT_TRUE(RunUntil([&] { return stream.Attempts() >= 3; }));
    stream.Stop();
    EXPECT_LE(stale.Requests().size(), 3 * TCameraStream::MostRequestsPerAttempt);
}

TEST(TCameraStream, FailuresAreRetriedWithGrowingPauses)
{
    TestCamera camera;
    camera.script.Refuse = true;
    TCameraStream stream;
    Play(stream, camera.Address());
    std::vector<int> pauses;
    ASSERT_TRUE(RunUntil([&] {
        if (stream.RetryTimer()->isActive() && (pauses.empty() || stream.Attempts() != int(pauses.size())))
            pauses.push_back(stream.RetryPause());
        return pauses.size() >= 5;
    }));
    EXPECT_EQ(pauses, (std::vector<int>{20, 40, 80, 80, 80}));
    EXPECT_EQ(stream.State(), CameraState::Refused);

    // The camera accepts again: playing, and the next failure starts from the first pause.
    camera.script.Refuse = false;
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Playing; }));
    camera.CloseAll();
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Stopped; }));
    EXPECT_EQ(stream.RetryPause(), 20);

    // Stopped, nothing is planned any more.
    stream.Stop();
    EXPECT_EQ(stream.State(), CameraState::Off);
    EXPECT_FALSE(stream.RetryTimer()->isActive());
    EXPECT_FALSE(stream.StallTimer()->isActive());
    const qsizetype asked = camera.Requests().size();
    RunUntil([] { return false; }, 150);
    EXPECT_EQ(camera.Requests().size(), asked);
}

TEST(TCameraStream, StalledOrUnreadableStreamsStop)
{
    TestCamera camera;
    camera.script.StallAtEnd = true;
    TCameraStream stream;
    Viewer viewer(stream);
    Play(stream, camera.Address());
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Playing; }));
    // The connection stays open and quiet: after the stall time the stream counts as stopped.
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Stopped; }, 3000));
    EXPECT_EQ(stream.Detail(), QStringLiteral("no new picture for 0.2 s"));
    // The next attempt finds the camera sending again.
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Playing; }, 3000));
    EXPECT_GE(camera.StreamsStarted(), 2);

    // Pictures the viewer cannot decode: after a few in a row the stream is no picture stream.
    TestCamera garbage;
    garbage.script.Frames = QByteArrayList(10, "not a picture");
    TCameraStream unreadable;
    QObject::connect(&unreadable, &TCameraStream::frameArrived, &unreadable, [&] {
        QByteArray picture;
        if (unreadable.TakeNewest(picture))
            unreadable.PictureUnreadable();
    });
    Play(unreadable, garbage.Address());
    ASSERT_TRUE(RunUntil([&] { return unreadable.State() == CameraState::Stopped; }));
    EXPECT_EQ(unreadable.Detail(), QStringLiteral("not a picture stream"));
}

TEST(TCameraStream, AnswersThatAreNoStreamAndNoCameraThere)
{
    const struct { const char *name; int status; QByteArray type; CameraState expected; QString detail; } rows[] = {
        {"a web page", 200, "text/html", CameraState::Stopped, QStringLiteral("not an MJPEG stream")},
        {"multipart without a boundary", 200, "multipart/x-mixed-replace", CameraState::Stopped, QStringLiteral("not an MJPEG stream")},
        {"not found", 404, "text/html", CameraState::Stopped, QStringLiteral("HTTP 404")},
        {"forbidden", 403, "text/html", CameraState::Refused, QStringLiteral("access forbidden (HTTP 403)")},
    };
    for (const auto &row : rows) {
        TestCamera camera;
        camera.script.Status = row.status;
        camera.script.ContentType = row.type;
        camera.script.StallAtEnd = false;
        TCameraStream stream;
        Play(stream, camera.Address());
        ASSERT_TRUE(RunUntil([&] { return stream.State() == row.expected; })) << row.name;
        EXPECT_EQ(stream.Detail(), row.detail) << row.name;
        EXPECT_TRUE(stream.RetryTimer()->isActive()) << row.name;
    }

    // No camera there: asked again and again, and said so.
    quint16 port = 0;
    {
        TestCamera gone;
        port = gone.Port();
    }
    TCameraStream stream;
    Play(stream, "127.0.0.1:" + QByteArray::number(port));
    ASSERT_TRUE(RunUntil([&] { return stream.Attempts() >= 2; }));
    EXPECT_EQ(stream.State(), CameraState::Connecting);
    EXPECT_EQ(stream.Detail(), QStringLiteral("no answer (connection refused)"));

    // An address that is no address is not asked for at all.
    TCameraStream bad;
    Play(bad, "camera", TCameraTimings());
    EXPECT_EQ(bad.State(), CameraState::Connecting);
    EXPECT_EQ(bad.Detail(), QStringLiteral("no valid camera address"));
}

TEST(TCameraStream, DestroyedWhileStreaming)
{
    TestCamera camera;
    camera.script.Frames = QByteArrayList(50, QByteArray(4000, 'x'));
    camera.script.Piece = 333;
    auto *stream = new TCameraStream;
    Viewer viewer(*stream);
    Play(*stream, camera.Address(), TCameraTimings());
    ASSERT_TRUE(RunUntil([&] { return viewer.shown.size() >= 2; }));
    delete stream;
    // The camera goes on writing to a closed connection; nothing is left to answer it.
    RunUntil([] { return false; }, 100);
    SUCCEED();
}

namespace {

// A JPEG's structure (not a picture): an APP1 segment holding an end marker of its own, a scan
// with a stuffed FF and a restart marker, the end. `tag` tells the pictures apart.
QByteArray StructuredJpeg(char tag)
{
    return QByteArray("\xFF\xD8\xFF\xE1\x00\x06\xFF\xD9\xFF\xD9\xFF\xDA\x00\x04\x01\x02", 16) + tag +
           QByteArray("\xFF\x00\x11\xFF\xD3\x22\xFF\xD9", 8);
}

void Write(QTcpSocket *socket, const QByteArray &bytes) { socket->write(bytes); }

// Writes each piece on its own turn of the event loop, a few milliseconds apart.
void WriteInTurns(QTcpSocket *socket, const QByteArrayList &pieces)
{
    for (int i = 0; i < pieces.size(); ++i)
        QTimer::singleShot(5 * i, socket, [socket, piece = pieces[i]] { socket->write(piece); });
}

// The state and words a stream reaches against a camera answering as `raw` does.
struct Outcome
{
    CameraState state;
    QString detail;
};
Outcome Against(std::function<void(QTcpSocket *, const QByteArray &, int)> raw, int within = 5000)
{
    TestCamera camera;
    camera.script.Raw = std::move(raw);
    TCameraStream stream;
    TCameraTimings timings = Quick();
    timings.HeadersWithin = 300;
    Play(stream, camera.Address(), timings);
    RunUntil([&] { return stream.State() == CameraState::Stopped || stream.State() == CameraState::Refused; }, within);
    return {stream.State(), stream.Detail()};
}

} // namespace

// Answers that never end a line, a header block or a chunk cost a few kilobytes and say so.
TEST(TCameraStream, HeadersWithoutEndAreNoStream)
{
    const QByteArray ok = "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=b\r\n";
    const struct { const char *name; QByteArray head; QByteArray endless; } rows[] = {
        {"status line", "HTTP/1.1 200 ", QByteArray(64 * 1024, 'O')},
        {"header line", ok + "X-Long: ", QByteArray(64 * 1024, 'x')},
        {"header block", ok, QByteArray("X-A: 1\r\n").repeated(16 * 1024)},
        {"chunk size line", ok + "Transfer-Encoding: chunked\r\n\r\n", QByteArray(64 * 1024, '7')},
        {"part headers", ok + "\r\n--b\r\n", QByteArray(64 * 1024, 'h')},
        {"garbage body", ok + "\r\n", QByteArray(128 * 1024, 'g')},
        {"a chunk declared endless", ok + "Transfer-Encoding: chunked\r\n\r\n7fffffffffffffff\r\n", QByteArray(128 * 1024, 'c')},
    };
    for (const auto &row : rows) {
        const Outcome outcome = Against([&](QTcpSocket *socket, const QByteArray &, int) { Write(socket, row.head + row.endless); });
        EXPECT_EQ(outcome.state, CameraState::Stopped) << row.name;
        EXPECT_EQ(outcome.detail, QStringLiteral("not an MJPEG stream")) << row.name;
    }
    // Headers that come a line at a time and never end: given up after the headers' time.
    QTimer drip;
    QPointer<QTcpSocket> dripping;
    QObject::connect(&drip, &QTimer::timeout, [&] { if (dripping) dripping->write("X: 1\r\n"); });
    drip.start(5);
    const Outcome slow = Against([&](QTcpSocket *socket, const QByteArray &, int) { dripping = socket; Write(socket, "HTTP/1.1 200 OK\r\n"); });
    EXPECT_EQ(slow.detail, QStringLiteral("not an MJPEG stream"));
}

// What real cameras send: pictures as soon as they end, slow bytes, wrong lengths, one picture
// per answer; each picture shown whole, never a cut one.
TEST(TCameraStream, EveryPictureAsSoonAsItIsWhole)
{
    const QByteArray a = StructuredJpeg('a'), b = StructuredJpeg('b');
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=b\r\n\r\n";
    const auto part = [](const QByteArray &picture, qsizetype length) {
        return "--b\r\nContent-Type: image/jpeg\r\n" + (length >= 0 ? "Content-Length: " + QByteArray::number(length) + "\r\n" : QByteArray()) +
               "\r\n" + picture + "\r\n";
    };
    const struct { const char *name; QByteArrayList body; QByteArrayList shown; } rows[] = {
        {"no length, last before a pause", {part(a, -1), part(b, -1)}, {a, b}},
        {"a length 100 too long", {part(a, a.size() + 100), part(b, b.size() + 100) + QByteArray(200, '\0')}, {a, b}},
        {"a length too short", {part(a, 5), part(b, 5)}, {a, b}},
        {"a cut picture is never shown", {part(a.left(20), -1), part(b, -1)}, {b}},
        {"PNG, a length too long", {part("\x89PNG-one", 108), part("\x89PNG-two", 108), "--b"}, {"\x89PNG-one", "\x89PNG-two"}},
        {"PNG by its length", {part("\x89PNG-one", 8), part("\x89PNG-two", 8) + "--b"}, {"\x89PNG-one", "\x89PNG-two"}},
    };
    for (const auto &row : rows) {
        TestCamera camera;
        camera.script.Raw = [&](QTcpSocket *socket, const QByteArray &, int) { WriteInTurns(socket, QByteArrayList{head} + row.body); };
        TCameraStream stream;
        Viewer viewer(stream);
        Play(stream, camera.Address(), TCameraTimings());
        EXPECT_TRUE(RunUntil([&] { return viewer.shown.size() >= row.shown.size(); }, 3000)) << row.name << " " << viewer.shown.size();
        EXPECT_EQ(viewer.shown.value(viewer.shown.size() - 1), row.shown.last()) << row.name;
        for (const QByteArray &shown : viewer.shown)
            EXPECT_TRUE(row.shown.contains(shown)) << row.name << ": " << shown.toHex().toStdString();
    }

    // A camera sending a byte every few milliseconds, slower than the stall time per picture.
    TestCamera slow;
    slow.script.Raw = [&](QTcpSocket *socket, const QByteArray &, int) {
        const QByteArray bytes = head + part(a, -1);
        auto *timer = new QTimer(socket);
        auto at = std::make_shared<qsizetype>(0);
        QObject::connect(timer, &QTimer::timeout, socket, [=] { if (*at < bytes.size()) socket->write(bytes.mid((*at)++, 1)); });
        timer->start(3);
    };
    TCameraStream stream;
    TCameraTimings timings = Quick();
    timings.StallAfter = 100;
    Viewer viewer(stream);
    Play(stream, slow.Address(), timings);
    ASSERT_TRUE(RunUntil([&] { return !viewer.shown.isEmpty(); }, 10000));
    EXPECT_EQ(viewer.shown.first(), a);
    EXPECT_EQ(slow.Requests().size(), 1);

    // A snapshot camera: one picture per HTTP/1.0 answer, asked again, playing all along.
    TestCamera snapshots;
    snapshots.script.Raw = [&](QTcpSocket *socket, const QByteArray &, int number) {
        const QByteArray picture = StructuredJpeg(char('0' + number % 10));
        Write(socket, "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(picture.size()) + "\r\n\r\n" + picture);
        socket->disconnectFromHost();
    };
    TCameraStream snapshot;
    Viewer snapshotViewer(snapshot);
    QList<CameraState> states;
    QObject::connect(&snapshot, &TCameraStream::stateChanged, &snapshot, [&] { states.append(snapshot.State()); });
    Play(snapshot, snapshots.Address());
    ASSERT_TRUE(RunUntil([&] { return snapshotViewer.shown.size() >= 3; }, 5000));
    EXPECT_EQ(snapshotViewer.shown.mid(0, 3), QByteArrayList({StructuredJpeg('0'), StructuredJpeg('1'), StructuredJpeg('2')}));
    EXPECT_EQ(states, QList<CameraState>({CameraState::Connecting, CameraState::Playing})) << states.size();
}
