// The camera view's costs. Per picture: a 1280 x 960 JPEG decoded at each of the eight view
// sizes of the camera dialog, against decoding it whole and scaling it smoothly. Per second: one
// 640 x 480 stream at 25 pictures a second, served by the simulator's camera from another thread,
// into a 320 x 240 view that paints each new picture; reports the GUI thread's share of one core.
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


#include <atomic>
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

// Manual time: GUI-thread processor seconds per second of stream.
void BM_Stream25PerSecond(benchmark::State &state)
{
    std::atomic<quint16> port = 0;
    std::atomic<bool> stop = false;
    std::thread server([&] {
        QEventLoop loop;
        TCameraServer::Options options;
        options.FramesPerSecond = 25;
        options.PictureSize = QSize(640, 480);
        TCameraServer camera(options, {});
        QString error;
        if (!camera.Start(error))
            return;
        port = camera.Port();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (stop)
                loop.quit();
        });
        poll.start(20);
        loop.exec();
    });
    while (port == 0)
        std::this_thread::yield();

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

} // namespace
