// The picture cache with thousands of pictures, and the dispatch of status frames on a large
// installation (module look-up by application and number).
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TProgramLists.h"
#include "TVQImageManager.h"
#include "UserMessages.h"

#include <QGuiApplication>

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
BENCHMARK(BM_DispatchOutputStatus)->Arg(100)->Arg(1000);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
