// The picture cache with thousands of pictures, and the dispatch of status frames on a large
// installation (module look-up by application and number).
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TOutlinedLabel.h"
#include "TProgramLists.h"
#include "TVQImageManager.h"
#include "ThreadClock.h"
#include "UserMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class NoMessages : public UserMessages
{
public:
    void ShowMessage(const QString &) override {}
};

void BM_ImageLookup(benchmark::State &state)
{
    TVQImageManager &manager = TVQImageManager::GetInstance();
    const int count = int(state.range(0));
    for (int i = 0; i < count; ++i)
        manager.GetImage(QStringLiteral("IcoPicture%1").arg(i));
    const QString last = QStringLiteral("IcoPicture%1").arg(count - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.GetImage(last));
}
BENCHMARK(BM_ImageLookup)->Arg(100)->Arg(5000);

// A control's picture file, asked for again as controls change state (a mode switch asks once per
// control); its file is looked at on the disk once a second at most.
void BM_PathImageLookup(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Imported Pictures/Controls/living room lamp on.png"));
    QDir().mkpath(QFileInfo(path).path());
    QImage(32, 32, QImage::Format_ARGB32).save(path);
    TVQImageManager &manager = TVQImageManager::GetInstance();
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.GetImage(path));
}
BENCHMARK(BM_PathImageLookup);

// A picture whose file is missing (a project moved from another computer), asked for again and
// again as its control paints, in a folder of `files` other pictures.
void BM_MissingImageLookup(benchmark::State &state)
{
    QTemporaryDir folder;
    for (int i = 0; i < int(state.range(0)); ++i) {
        QFile file(folder.filePath(QStringLiteral("picture %1.png").arg(i)));
        file.open(QIODevice::WriteOnly);
    }
    TVQImageManager &manager = TVQImageManager::GetInstance();
    const QString missing = folder.filePath(QStringLiteral("gone.png"));
    for (auto _ : state)
        benchmark::DoNotOptimize(manager.GetImage(missing));
}
BENCHMARK(BM_MissingImageLookup)->Arg(10)->Arg(1000);

// Output status frames for the last of `modules` relay modules.
void BM_DispatchOutputStatus(benchmark::State &state)
{
    NoMessages messages;
    TDataFileManager app(nullptr, "large", &messages);
    const int modules = int(state.range(0));
    for (int m = 0; m < modules; ++m) {
        ModuleRecord module;
        module.ModuleNumber = quint16(m + 1);
        module.ModuleType = 6;
        module.FirstIoIndex = quint16(m);
        app.AddModule(module);
        IoRecord io;
        io.ModuleNumber = quint16(m + 1);
        io.Power = 100;
        app.AddIo(io);
    }
    TProgramLists lists(nullptr, QString(), &messages);
    lists.AddApplication(app);
    QByteArray message = QByteArray::fromHex("b5000000860001");
    message[2] = char(modules >> 8);
    message[3] = char(modules & 0xff);
    const QByteArray frame = TFrameBuilder::Frame(message);
    for (auto _ : state)
        app.AssembleBytes(frame);
}
BENCHMARK(BM_DispatchOutputStatus)->Arg(100)->Arg(1000)->Arg(10000);

// Thirty distinct 5600 x 5600 control pictures (small PNG files), each drawn once: the memory
// they hold, each kept at most at a display's size and all within the cache's budget.
void BM_ThirtyBigPictures(benchmark::State &state)
{
    QTemporaryDir folder;
    QStringList files;
    for (int i = 0; i < 30; ++i) {
        QImage image(5600, 5600, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i * 12, 200, 200));
        files.append(folder.filePath(QStringLiteral("big%1.png").arg(i)));
        image.save(files.last());
    }
    TVQImageManager &manager = TVQImageManager::GetInstance();
    const qint64 before = ResidentKilobytes();
    for (auto _ : state) {
        for (const QString &file : files)
            benchmark::DoNotOptimize(manager.GetImage(file)->Pixmap(false).cacheKey());
    }
    state.counters["rss_growth_MB"] = double(ResidentKilobytes() - before) / 1024;
}
BENCHMARK(BM_ThirtyBigPictures)->Iterations(1)->Unit(benchmark::kMillisecond);

// Distinct labels drawn over a picture (8 pt Arial, as on the screens), each: 0 = in ten passes
// of the text (ten thousand); 1 = made into its picture (thirty thousand pictures are more than
// are kept); 2 = laid down from the picture kept (a thousand); 3 = drawn first, as when a screen
// first shows (ten thousand, nothing of them kept). In 0 each text is shaped already.
void BM_OutlinedLabel(benchmark::State &state)
{
    QImage image(1024, 768, QImage::Format_RGB32);
    image.fill(QColor(200, 180, 150));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    QStringList texts;
    for (int i = 0; i < 30000; ++i)
        texts.append(QStringLiteral("Control %1 Off").arg(i));
    const auto drawAll = [&](int count) {
        QPainter painter(&image);
        painter.setFont(font);
        for (int i = 0; i < count; ++i) {
            const QPoint at(10 + (i * 97) % 900, 10 + (i * 31) % 740);
            state.range(0) == 0 ? TOutlinedLabel::DrawInPasses(painter, at, texts[i]) : TOutlinedLabel::Draw(painter, at, texts[i]);
        }
    };
    const int count = state.range(0) == 2 ? 1000 : state.range(0) == 1 ? 30000 : 10000;
    drawAll(count);
    for (auto _ : state) {
        // "first drawn": as at an open, neither the picture nor the shaped text is kept.
        if (state.range(0) == 3) {
            state.PauseTiming();
            TOutlinedLabel::Forget();
            state.ResumeTiming();
        }
        drawAll(count);
    }
    state.counters["per_label"] = benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OutlinedLabel)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
