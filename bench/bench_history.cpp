// The history: what recording costs the thread that runs the session (the program's GUI thread)
// and how large the file grows, on the simulator's demo running a day of simulated time and on
// 1,000 changes a second of the 2,000-module installation for a minute; how long a first refresh
// of 16,000 channels takes to write into a new store; and how long the plot
// window takes to show a month of one temperature at a sample a minute (43,200 points) and a
// year of it from the hourly figures.
#include "TChannelStates.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "THistoryPlot.h"
#include "THistoryRecorder.h"
#include "THistoryStore.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TRecordFormat.h"
#include "TSimulatedInstallation.h"

#include "LargeInstallation.h"
#include "ThreadClock.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 k_second = 1000;
constexpr qint64 k_hour = 3600 * k_second;
constexpr qint64 k_day = 24 * k_hour;
constexpr qint64 k_start = 1796083200000;  // 2026-12-01T00:00:00Z

void Feed(TDataFileManager &application, const QByteArrayList &messages)
{
    for (const QByteArray &message : messages)
        application.AssembleBytes(TFrameBuilder::Frame(message));
    application.EndBatch();
}

// The file's size with its write-ahead log folded in.
qint64 CheckpointedSize(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("size"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("size"));
    return QFileInfo(path).size();
}

qint64 RowCount(const QString &path)
{
    THistoryStore store;
    QString error;
    if (!store.Open(path, error, nullptr, true))
        return 0;
    return qint64(store.Rows(0, std::numeric_limits<qint64>::max()).size());
}

// A headless session in run time on `text` written as an export into `folder`; none, the
// benchmark told why, when it cannot be written or does not load.
TDataFileManager *OpenExport(benchmark::State &state, TProjectSession &session, const QTemporaryDir &folder, const QByteArray &text)
{
    const QString exportPath = folder.filePath(QStringLiteral("installation.qap"));
    QFile file(exportPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0) {
        state.SkipWithError("the export could not be written");
        return nullptr;
    }
    file.close();
    TDataFileManager *application = session.AddApplication(exportPath);
    if (!application) {
        state.SkipWithError("the export does not load");
        return nullptr;
    }
    session.SetMode(RunMode::RunTime);
    return application;
}

// The demo's export, every simulator step (2 s) of one day fed to a headless session, with the
// recorder on the simulated clock (one transaction a second at most, as in the program) or
// without it: the processor time of the session's thread, the rows and the file's size.
void BM_DemoDayRecorded(benchmark::State &state)
{
    const bool record = state.range(0) != 0;
    const QString exportPath = QStringLiteral(QUELNOR_SOURCE_DIR "/Data/demo.qap");
    for (auto _ : state) {
        QTemporaryDir folder;
        NoMessages messages;
        TProjectSession session(folder.path(), &messages);
        TDataFileManager *application = session.AddApplication(exportPath);
        TSimulatedInstallation installation;
        QString note;
        if (!application || !installation.Load(exportPath, &messages, note)) {
            state.SkipWithError("the demo export does not load");
            return;
        }
        session.SetMode(RunMode::RunTime);
        qint64 now = k_start;
        std::unique_ptr<THistoryRecorder> recorder;
        if (record) {
            recorder = std::make_unique<THistoryRecorder>(session, folder.path(), nullptr);
            recorder->SetClock([&now] { return now; });
        }
        Feed(*application, installation.RefreshOutputs());
        Feed(*application, installation.RefreshInputs());
        const double cpu = ThreadSeconds();
        for (qint64 t = 0; t < k_day; t += 2 * k_second) {
            now = k_start + t;
            Feed(*application, installation.Tick());
            if (recorder)
                recorder->FlushAndWait();
        }
        state.counters["session_cpu_s"] = ThreadSeconds() - cpu;
        if (recorder) {
            recorder.reset();
            const QString path = THistoryRecorder::DatabasePath(folder.path(), InstallationId(*application));
            state.counters["rows_per_day"] = double(RowCount(path));
            state.counters["mb_per_day"] = double(CheckpointedSize(path)) / 1e6;
        }
    }
}
BENCHMARK(BM_DemoDayRecorded)->Arg(0)->Arg(1)->ArgName("record")->Unit(benchmark::kMillisecond)->Iterations(1);

// 1,000 changes a second for a minute: each second 125 relay modules of the 2,000-module
// installation report all eight outputs changed. The session's thread time per simulated
// second, with and without the recorder; the difference is what recording costs it.
void BM_ThousandChangesASecond(benchmark::State &state)
{
    const bool record = state.range(0) != 0;
    for (auto _ : state) {
        QTemporaryDir folder;
        NoMessages messages;
        TProjectSession session(folder.path(), &messages);
        TDataFileManager *application = OpenExport(state, session, folder, LargeExport(true));
        if (!application)
            return;
        qint64 now = k_start;
        std::unique_ptr<THistoryRecorder> recorder;
        if (record) {
            recorder = std::make_unique<THistoryRecorder>(session, folder.path(), nullptr);
            recorder->SetClock([&now] { return now; });
        }
        // The relay modules (type 6 is the second and third of every five).
        std::vector<quint16> relays;
        for (int m = 0; m < k_largeModules && relays.size() < 125; ++m) {
            if (k_largeTypes[m % 5] == 6)
                relays.push_back(quint16(m + 2));
        }
        double cpu = 0;
        for (int second = 0; second < 60; ++second) {
            now = k_start + second * k_second;
            QByteArrayList messages;
            for (quint16 module : relays) {
                // A status message of the outputs: all eight flip every second.
                QByteArray message = QByteArray::fromHex("b5000000860000");
                message[3] = char(module & 0xff);
                message[2] = char(module >> 8);
                message[6] = char(second % 2 ? 0xff : 0x00);
                messages.append(message);
            }
            const double before = ThreadSeconds();
            Feed(*application, messages);
            cpu += ThreadSeconds() - before;
            if (recorder)
                recorder->FlushAndWait();  // the writer's time is its own thread's
        }
        state.counters["session_cpu_ms_per_s"] = cpu / 60 * 1000;
        if (recorder) {
            recorder.reset();
            state.counters["rows"] = double(RowCount(THistoryRecorder::DatabasePath(folder.path(), InstallationId(*application))));
        }
    }
}
BENCHMARK(BM_ThousandChangesASecond)->Arg(0)->Arg(1)->ArgName("record")->Unit(benchmark::kMillisecond)->Iterations(1);

// Status frames that change a module's outputs, with the history recording them as the program
// does, on installations of 100 to 10,000 relay modules whose interface module is listed last:
// the session thread's time per frame stays flat when every look-up a change makes is indexed.
void BM_DispatchRecordedChanges(benchmark::State &state)
{
    const int modules = int(state.range(0));
    QByteArray text = "Modules\r\n*[04]*\r\n";
    for (int m = 0; m < modules; ++m)
        text += TRecordFormat::WriteModule({.ModuleNumber = quint16(m + 2), .SerialNumber = quint32(0x02000000 + m), .ModuleType = 6,
                                            .FirstIoIndex = quint16(m), .Name = "Relays " + QByteArray::number(m)});
    text += TRecordFormat::WriteModule({.ModuleNumber = 1, .SerialNumber = 0x45000001, .ModuleType = 45, .Name = "QNET04"});
    text += "Inputs\r\n*[05]*\r\n";
    for (int m = 0; m < modules; ++m)
        text += TRecordFormat::WriteIo({.ModuleNumber = quint16(m + 2), .IoKind = 2, .Name = "Lamp"});
    text += "Variable systeme\r\n";
    QTemporaryDir folder;
    NoMessages messages;
    TProjectSession session(folder.path(), &messages);
    TDataFileManager *application = OpenExport(state, session, folder, text);
    if (!application)
        return;
    const double indexing = ThreadSeconds();
    THistoryRecorder recorder(session, folder.path(), nullptr);
    state.counters["recorder_start_ms"] = (ThreadSeconds() - indexing) * 1000;
    // The frames of 64 modules spread over the installation, each turning one output on and off.
    QByteArrayList frames;
    for (int i = 0; i < 64; ++i) {
        const quint16 module = quint16(2 + (i * 7919) % modules);
        for (const char bits : {'\x01', '\x00'}) {
            QByteArray message = QByteArray::fromHex("b5000000860000");
            message[2] = char(module >> 8);
            message[3] = char(module & 0xff);
            message[6] = bits;
            frames.append(TFrameBuilder::Frame(message));
        }
    }
    qint64 sent = 0;
    for (auto _ : state) {
        for (const QByteArray &frame : frames)
            application->AssembleBytes(frame);
        sent += frames.size();
        state.PauseTiming();
        recorder.FlushAndWait();
        state.ResumeTiming();
    }
    state.counters["us_per_frame"] = benchmark::Counter(double(sent) / 1e6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    recorder.FlushAndWait();
    state.counters["rows"] = double(RowCount(THistoryRecorder::DatabasePath(folder.path(), InstallationId(*application))));
}
BENCHMARK(BM_DispatchRecordedChanges)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The first refresh of a large installation written to a new store: 16,000 channels seen for
// the first time, each with its name and series kept, in the writer's batches of 500 rows. The
// time of the writes (the history's own thread in the program).
void BM_FirstRefreshWritten(benchmark::State &state)
{
    std::vector<THistoryRow> rows;
    for (int module = 0; module < 2000; ++module) {
        for (int channel = 0; channel < 8; ++channel)
            rows.push_back({.Time = k_start + module, .Kind = QStringLiteral("state"), .Module = module + 1,
                            .Serial = QStringLiteral("%1").arg(0x0a000000 + module, 8, 16, QLatin1Char('0')), .Channel = channel,
                            .Name = QStringLiteral("Module %1 channel %2").arg(module + 1).arg(channel), .What = QStringLiteral("output"),
                            .Value = 0, .HasValue = true, .Text = QString(), .Test = false});
    }
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        THistoryStore store;
        QString error;
        if (!store.Open(folder.filePath(QStringLiteral("history.sqlite")), error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        state.ResumeTiming();
        for (size_t from = 0; from < rows.size(); from += 500) {
            const std::vector<THistoryRow> batch(rows.begin() + qsizetype(from), rows.begin() + qsizetype(std::min(rows.size(), from + 500)));
            if (!store.Write(batch, error)) {
                state.SkipWithError(qPrintable(error));
                break;
            }
        }
        state.PauseTiming();
        store.Close();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(BM_FirstRefreshWritten)->Unit(benchmark::kMillisecond)->Iterations(3);

// The plot window showing a month of a temperature sampled every minute, or a year of it from
// the hourly figures: from the request to the window drawn.
void BM_PlotShows(benchmark::State &state)
{
    const bool year = state.range(0) != 0;
    QTemporaryDir folder;
    NoMessages messages;
    TProjectSession session(folder.path(), &messages);
    TDataFileManager *application = session.AddApplication(QStringLiteral(QUELNOR_SOURCE_DIR "/Data/demo.qap"));
    if (!application) {
        state.SkipWithError("the demo export does not load");
        return;
    }
    const QString path = THistoryRecorder::DatabasePath(folder.path(), InstallationId(*application));
    const THistorySeriesKey key{QStringLiteral("state"), QStringLiteral("0a12340b"), 0, QStringLiteral("temperature"), QStringLiteral("Living room")};
    const qint64 span = year ? 365 * k_day : 30 * k_day;
    // Ending at this hour: the plot shows nothing of the future.
    const qint64 end = QDateTime::currentMSecsSinceEpoch() / k_hour * k_hour;
    const qint64 start = end - span;
    {
        THistoryStore store;
        QString error;
        store.Open(path, error);
        std::vector<THistoryRow> rows;
        const qint64 step = year ? 15 * 60 * k_second : 60 * k_second;  // a year: four samples an hour, aggregated below
        for (qint64 t = start; t < end; t += step) {
            THistoryRow row;
            row.Time = t;
            row.Kind = key.Kind;
            row.Serial = key.Serial;
            row.Channel = key.Channel;
            row.What = key.What;
            row.Name = key.Name;
            row.Value = 20 + 3 * std::sin(double(t - start) / k_day * 6.283) + double((t / step) % 7) / 10;
            row.HasValue = true;
            rows.push_back(row);
        }
        store.Write(rows, error);
        if (year)
            store.Purge(end, THistoryRetention{.RawDays = 1, .HourlyDays = 730}, error);
        state.counters["points_stored"] = double(year ? store.HourlyPoints(key, start, end).size() / 2 : rows.size());
    }
    QWidget window;
    THistoryPlot plot(session, folder.path(), &window);
    plot.resize(1200, 600);
    plot.show();
    QApplication::processEvents();
    for (auto _ : state) {
        plot.ShowSeries(application, {key}, start, end);
        plot.repaint();
        plot.m_view->viewport()->repaint();
    }
    state.counters["points_drawn"] = plot.PointsDrawn();
    state.counters["plot_width"] = plot.m_view->chart()->plotArea().width();
}
BENCHMARK(BM_PlotShows)->Arg(0)->Arg(1)->ArgName("year")->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
