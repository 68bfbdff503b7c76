// Import, write and read of a large installation: a thousand modules of eight channels each.
#include "TDataFileManager.h"
#include "TFieldWriter.h"
#include "UserMessages.h"

#include <benchmark/benchmark.h>

namespace {

class NoMessages : public UserMessages
{
public:
    void ShowMessage(const QString &) override {}
};

QByteArray LargeExport(int modules)
{
    QByteArray out;
    TFieldWriter w(out);
    w.Line("Modules").Line("*[04]*");
    for (int m = 0; m < modules; ++m) {
        w.Byte(0).Byte(1).DWord(quint32(0x06000000 + m)).Word(quint16(m + 1)).Word(6).Word(0)
            .Word(quint16(m * 8)).Word(0).Byte(0).Byte(0).Byte(0).Text("Relay module " + QByteArray::number(m)).EndLine();
    }
    w.Line("Inputs").Line("*[05]*");
    for (int m = 0; m < modules; ++m) {
        for (int c = 0; c < 8; ++c) {
            w.Byte(0).Byte(1).Word(quint16(m + 1)).Word(quint16(c)).Word(0).Byte(1).Byte(0).Byte(0).Byte(0).Byte(2)
                .Word(0).Word(0).Word(0).Word(0).Byte(0).Word(0).Byte(0).Word(0).Word(0).Byte(0).Word(100)
                .Text("Light " + QByteArray::number(m * 8 + c)).EndLine();
        }
    }
    w.Line("Variable systeme");
    return out;
}

void BM_ExportImport(benchmark::State &state)
{
    const QByteArray content = LargeExport(int(state.range(0)));
    NoMessages messages;
    TDataFileManager app(nullptr, {}, &messages);
    for (auto _ : state)
        app.ImportExportContent(content, "/exports/large.qap", TDataFileManager::ImportReplace);
    state.SetBytesProcessed(int64_t(state.iterations()) * content.size());
}
BENCHMARK(BM_ExportImport)->Arg(100)->Arg(1000);

void BM_WriteDataBlock(benchmark::State &state)
{
    NoMessages messages;
    TDataFileManager app(nullptr, {}, &messages);
    app.ImportExportContent(LargeExport(int(state.range(0))), "/exports/large.qap", TDataFileManager::ImportReplace);
    for (auto _ : state)
        benchmark::DoNotOptimize(app.DataBlock());
}
BENCHMARK(BM_WriteDataBlock)->Arg(100)->Arg(1000);

void BM_ReadDataBlock(benchmark::State &state)
{
    NoMessages messages;
    TDataFileManager source(nullptr, {}, &messages);
    source.ImportExportContent(LargeExport(int(state.range(0))), "/exports/large.qap", TDataFileManager::ImportReplace);
    source.Settings().SourcePath = source.Name();
    const QByteArray block = source.DataBlock();
    for (auto _ : state) {
        TDataFileManager app(nullptr, {}, &messages);
        app.ReadDataBlockFrom(block, "/exports/large.qap");
        benchmark::DoNotOptimize(app.Current().Ios.size());
    }
}
BENCHMARK(BM_ReadDataBlock)->Arg(100)->Arg(1000);

// Look-ups are linear scans in list order; this shows their cost on a big installation.
void BM_FindIoIndex(benchmark::State &state)
{
    NoMessages messages;
    TDataFileManager app(nullptr, {}, &messages);
    app.ImportExportContent(LargeExport(1000), "/exports/large.qap", TDataFileManager::ImportReplace);
    quint16 module = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(app.FindIoIndex(module, 7));
        module = quint16(module % 1000 + 1);
    }
}
BENCHMARK(BM_FindIoIndex);

} // namespace

BENCHMARK_MAIN();
