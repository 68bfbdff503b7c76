#include "TCameraStream.h"

#include "EventLoop.h"
#include "TestCamera.h"


#include <gtest/gtest.h>

namespace {

// Short pauses so that a test sees several attempts.
TCameraTimings Quick()
{
    TCameraTimings t;
    t.RetryFirst = 20;
    t.RetryLongest = 80;
    t.StallAfter = 200;
    return t;
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
        stream.SetSource(camera.Address(), QStringLiteral("root"), QStringLiteral("tavo"));
        stream.Start();
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
}

TEST(TCameraStream, FailuresAreRetriedWithGrowingPauses)
{
    TestCamera camera;
    camera.script.Refuse = true;
    TCameraStream stream;
    stream.SetTimings(Quick());
    stream.SetSource(camera.Address(), QStringLiteral("root"), QStringLiteral("tavo"));
    stream.Start();
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

TEST(TCameraStream, StalledStreamStopsAndRecovers)
{
    TestCamera camera;
    camera.script.StallAtEnd = true;
    TCameraStream stream;
    stream.SetTimings(Quick());
    Viewer viewer(stream);
    stream.SetSource(camera.Address(), QStringLiteral("root"), QStringLiteral("tavo"));
    stream.Start();
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Playing; }));
    // The connection stays open and quiet: after the stall time the stream counts as stopped.
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Stopped; }, 3000));
    EXPECT_EQ(stream.Detail(), QStringLiteral("no new picture for 0.2 s"));
    // The next attempt finds the camera sending again.
    ASSERT_TRUE(RunUntil([&] { return stream.State() == CameraState::Playing; }, 3000));
    EXPECT_GE(camera.StreamsStarted(), 2);
}

TEST(TCameraStream, AnswersThatAreNoStream)
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
        stream.SetTimings(Quick());
        stream.SetSource(camera.Address(), QStringLiteral("root"), QStringLiteral("tavo"));
        stream.Start();
        ASSERT_TRUE(RunUntil([&] { return stream.State() == row.expected; })) << row.name;
        EXPECT_EQ(stream.Detail(), row.detail) << row.name;
        EXPECT_TRUE(stream.RetryTimer()->isActive()) << row.name;
    }
}

TEST(TCameraStream, NoCameraThere)
{
    quint16 port = 0;
    {
        TestCamera gone;
        port = gone.Port();
    }
    TCameraStream stream;
    stream.SetTimings(Quick());
    stream.SetSource("127.0.0.1:" + QByteArray::number(port), QStringLiteral("root"), QStringLiteral("tavo"));
    stream.Start();
    ASSERT_TRUE(RunUntil([&] { return stream.Attempts() >= 2; }));
    EXPECT_EQ(stream.State(), CameraState::Connecting);
    EXPECT_EQ(stream.Detail(), QStringLiteral("no answer (connection refused)"));

    // An address that is no address is not asked for at all.
    TCameraStream bad;
    bad.SetSource("camera", QStringLiteral("root"), QStringLiteral("tavo"));
    bad.Start();
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
    stream->SetSource(camera.Address(), QStringLiteral("root"), QStringLiteral("tavo"));
    stream->Start();
    ASSERT_TRUE(RunUntil([&] { return viewer.shown.size() >= 2; }));
    delete stream;
    // The camera goes on writing to a closed connection; nothing is left to answer it.
    RunUntil([] { return false; }, 100);
    SUCCEED();
}
