// The camera view's costs. Per picture: a 1280 x 960 JPEG decoded at each of the eight view
// sizes of the camera dialog, against decoding it whole and scaling it smoothly. Per second: one
// 640 x 480 stream at 25 pictures a second, served by the simulator's camera from another thread,
// into a 320 x 240 view that paints each new picture; reports the GUI thread's share of one core.
// Flood: that stream beside a camera that, after one picture, sends a part without end as fast as
// the loopback takes it (1.5 GB); reports the peak resident memory and the longest gap between
// two pictures of the good camera.
#include "TCameraServer.h"
#include "TCameraView.h"

#include "ThreadClock.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImageWriter>
#include <QPainter>
#include <QTimer>

#include <benchmark/benchmark.h>


#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <functional>
#include <thread>

namespace {

constexpr QSize k_viewSizes[8] = {{40, 30}, {80, 60}, {160, 120}, {176, 144}, {240, 180}, {320, 240}, {480, 360}, {640, 480}};

// A camera-like picture: the simulator's test picture, 1280 x 960, as a JPEG of quality 80.
const QByteArray &Picture()
{
    static const QByteArray jpeg = [] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(80);
        writer.write(TCameraServer::TestPicture(QSize(1280, 960), 1234, 5678));
        return buffer.data();
    }();
    return jpeg;
}

void BM_DecodeAtViewSize(benchmark::State &state)
{
    const QSize view = k_viewSizes[state.range(0)];
    for (auto _ : state) {
        const QImage image = TCameraView::Decode(Picture(), view);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(view.width()).arg(view.height()).toStdString());
}
BENCHMARK(BM_DecodeAtViewSize)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

void BM_DecodeWholeThenScale(benchmark::State &state)
{
    const QSize view = k_viewSizes[state.range(0)];
    for (auto _ : state) {
        const QImage image = QImage::fromData(Picture(), "jpeg").scaled(view, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2").arg(view.width()).arg(view.height()).toStdString());
}
BENCHMARK(BM_DecodeWholeThenScale)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// Runs `serve` in a thread of its own with an event loop until `stop`, then `done` there;
// `port` receives its port.
std::thread Serve(std::function<quint16()> serve, std::function<void()> done, std::atomic<quint16> &port, std::atomic<bool> &stop)
{
    std::thread thread([serve = std::move(serve), done = std::move(done), &port, &stop] {
        QEventLoop loop;
        port = serve();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (stop)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
        done();
    });
    while (port == 0)
        std::this_thread::yield();
    return thread;
}

// The simulator's camera, 640 x 480 at 25 pictures a second, in a thread of its own.
std::thread ServeCamera(std::unique_ptr<TCameraServer> &camera, std::atomic<quint16> &port, std::atomic<bool> &stop)
{
    return Serve([&] {
        TCameraServer::Options options;
        options.FramesPerSecond = 25;
        options.PictureSize = QSize(640, 480);
        camera = std::make_unique<TCameraServer>(options, std::function<void(const QString &)>());
        QString error;
        return camera->Start(error) ? camera->Port() : quint16(1);
    }, [&] { camera.reset(); }, port, stop);
}

// Manual time: GUI-thread processor seconds per second of stream.
void BM_Stream25PerSecond(benchmark::State &state)
{
    std::atomic<quint16> port = 0;
    std::atomic<bool> stop = false;
    std::unique_ptr<TCameraServer> camera;
    std::thread server = ServeCamera(camera, port, stop);

    TCameraView view;
    view.SetViewSize(QSize(320, 240));
    QImage screen(320, 240, QImage::Format_ARGB32_Premultiplied);
    QObject::connect(&view, &TCameraView::changed, &view, [&] {
        QPainter painter(&screen);
        view.Paint(painter, screen.rect());
    });
    view.SetCamera("127.0.0.1:" + QByteArray::number(port.load()), QStringLiteral("root"), QStringLiteral("tavo"));
    view.SetPlaying(true);
    QElapsedTimer warm;
    warm.start();
    while (view.PicturesDecoded() < 5 && warm.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    qsizetype decoded = 0;
    double wallTotal = 0;
    for (auto _ : state) {
        const qsizetype before = view.PicturesDecoded();
        const double cpu = ThreadSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime((ThreadSeconds() - cpu) / seconds);
        decoded += view.PicturesDecoded() - before;
        wallTotal += seconds;
    }
    view.SetPlaying(false);
    stop = true;
    server.join();
    state.counters["pictures_per_second"] = double(decoded) / wallTotal;
}
BENCHMARK(BM_Stream25PerSecond)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Manual time: the seconds the program takes to receive the flood.
void BM_FloodBesideAStream(benchmark::State &state)
{
    constexpr qint64 flood = 1536LL * 1024 * 1024;
    std::atomic<bool> stop = false;
    std::atomic<quint16> goodPort = 0, floodPort = 0;
    std::atomic<qint64> sent = 0;
    std::unique_ptr<TCameraServer> good;
    std::thread goodThread = ServeCamera(good, goodPort, stop);
    std::unique_ptr<QTcpServer> flooder;
    std::thread floodThread = Serve([&] {
        flooder = std::make_unique<QTcpServer>();
        flooder->listen(QHostAddress::LocalHost, 0);
        QObject::connect(flooder.get(), &QTcpServer::newConnection, flooder.get(), [&] {
            QTcpSocket *socket = flooder->nextPendingConnection();
            const QByteArray chunk(1024 * 1024, 'x');
            const auto more = [&, socket, chunk] {
                while (socket->bytesToWrite() < 4 * 1024 * 1024 && sent < flood) {
                    socket->write(chunk);
                    sent += chunk.size();
                }
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=b\r\n\r\n"
                          "--b\r\nContent-Type: image/jpeg\r\n\r\n" + Picture() + "\r\n--b\r\n\r\n");
            more();
        });
        return flooder->serverPort();
    }, [&] { flooder.reset(); }, floodPort, stop);

    const qint64 before = ResidentKilobytes();
    qint64 peak = before;
    double longestGap = 0;
    for (auto _ : state) {
        TCameraView watched, flooded;
        watched.SetViewSize(QSize(320, 240));
        flooded.SetViewSize(QSize(320, 240));
        QElapsedTimer sinceLast;
        QObject::connect(&watched, &TCameraView::changed, &watched, [&] {
            if (sinceLast.isValid() && watched.PicturesDecoded() > 2)
                longestGap = std::max(longestGap, double(sinceLast.nsecsElapsed()) / 1e6);
            sinceLast.start();
        });
        watched.SetCamera("127.0.0.1:" + QByteArray::number(goodPort.load()), QStringLiteral("root"), QStringLiteral("tavo"));
        flooded.SetCamera("127.0.0.1:" + QByteArray::number(floodPort.load()), QStringLiteral("root"), QStringLiteral("tavo"));
        watched.SetPlaying(true);
        flooded.SetPlaying(true);
        QElapsedTimer wall;
        wall.start();
        while (sent < flood && wall.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            peak = std::max(peak, ResidentKilobytes());
        }
        state.SetIterationTime(double(wall.nsecsElapsed()) / 1e9);
    }
    stop = true;
    goodThread.join();
    floodThread.join();
    state.counters["flood_MB"] = double(sent) / (1024 * 1024);
    state.counters["rss_before_MB"] = double(before) / 1024;
    state.counters["rss_peak_MB"] = double(peak) / 1024;
    state.counters["longest_gap_ms"] = longestGap;
}
BENCHMARK(BM_FloodBesideAStream)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
