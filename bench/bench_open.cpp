// What a user waits for on large projects, each against a plain-Qt anchor in the same run:
// opening a generated project with its windows until every shown screen has painted once, with
// the start-up screens or every screen shown (the anchor builds the same windows with plain
// widgets: one per control that paints its picture and text); opening it headless and saving it;
// the main window's start before any project;
// switching every control between design time and run time with every screen shown (the anchor
// changes every control's text); repainting a shown screen. Run it under a real X server with
// scripts/bench-open.sh. `bench_open --rss program|cycled|closed|anchor|anchor-closed SIZE` prints
// the memory of one open instead, settled ("cycled": every screen shown once and hidden again;
// "closed", "anchor-closed": shown once and closed; with QUELNOR_BENCH_EXIT_AT_MEASURE set it ends
// there, so that heaptrack counts what is held at that moment as leaked; with QUELNOR_BENCH_SMAPS
// set it lists what each mapping holds resident);
// `bench_open --generate FOLDER` writes the generated projects into a program folder;
// `QUELNOR_BENCH_FOLDER=FOLDER bench_open --open program|anchor SIZE [every]` opens one of them
// once, in a process of its own, and leaves (to time the whole process from outside).
#include "OpenedProject.h"
#include "TFileAccess.h"
#include "TProjectSession.h"
#include "TRunTimeSwitch.h"

#include <QApplication>
#include <QPixmapCache>

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

namespace {

void SizeArguments(benchmark::internal::Benchmark *b, int largest)
{
    for (int i = 0; i <= largest; ++i)
        b->Arg(i);
}

// Each size with the start-up screens shown, then with every screen shown.
void SizeAndScreenArguments(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"size", "every_screen"});
    for (int every = 0; every <= 1; ++every) {
        for (int i = 0; i <= 3; ++i)
            b->Args({i, every});
    }
}

void BM_OpenWithWindows(benchmark::State &state)
{
    const TGeneratedSize &size = *k_sizes[state.range(0)];
    ProjectPath(size);
    NoDialogs dialogs;
    for (auto _ : state) {
        auto window = OpenWithWindows(size, dialogs, state.range(1) != 0);
        state.PauseTiming();
        window->CloseProject();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(size.Name);
}
BENCHMARK(BM_OpenWithWindows)->Apply(SizeAndScreenArguments)->Unit(benchmark::kMillisecond)->Iterations(3);

// The program's start before any project: the main window made (with the windows it makes at
// once) and shown until it has painted, then closed.
void BM_MainWindowStart(benchmark::State &state)
{
    NoDialogs dialogs;
    for (auto _ : state) {
        auto window = std::make_unique<TForm1>(Folder().path(), &dialogs);
        PaintWatch watch;
        window->show();
        watch.Watch(window.get());
        WaitUntilPainted(watch);
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowStart)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PlainQtAnchor(benchmark::State &state)
{
    const TGeneratedSize &size = *k_sizes[state.range(0)];
    ProjectPath(size);
    for (auto _ : state) {
        auto windows = OpenAnchor(size, state.range(1) != 0);
        state.PauseTiming();
        windows.clear();
        QCoreApplication::processEvents();
        // QPixmap(file) keeps what it read in Qt's pixmap cache: the next open would decode no
        // picture, where a user's open (one a program start) decodes every one.
        QPixmapCache::clear();
        state.ResumeTiming();
    }
    state.SetLabel(size.Name);
}
BENCHMARK(BM_PlainQtAnchor)->Apply(SizeAndScreenArguments)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each iteration opens the project headless and saves it under another name.
void OpenHeadlessAndSave(benchmark::State &state, const QString &path)
{
    const QString saved = QDir(Folder().path()).filePath(QStringLiteral("Data/saved.qvp"));
    for (auto _ : state) {
        TSilentMessages messages;
        TProjectSession session(Folder().path(), &messages);
        session.Open(path);
        session.Save(saved);
        state.counters["controls"] = double(session.Project()->Outputs().size());
    }
}

// The small generated project's bytes, the start of the hostile ones.
QByteArray SmallProject()
{
    QFile small(ProjectPath(k_small));
    small.open(QIODevice::ReadOnly);
    return small.readAll();
}

void BM_OpenHeadlessAndSave(benchmark::State &state)
{
    const TGeneratedSize &size = *k_sizes[state.range(0)];
    const QString path = ProjectPath(size);
    OpenHeadlessAndSave(state, path);
    state.SetLabel(size.Name);
}
BENCHMARK(BM_OpenHeadlessAndSave)->Apply([](auto *b) { SizeArguments(b, 3); })->Unit(benchmark::kMillisecond)->Iterations(3);

// One screen holding N controls (the small project's first output control repeated), opened
// headless and saved: tearing down a module with that many controls must stay in proportion.
void BM_ResaveOneDenseScreen(benchmark::State &state)
{
    const QString dense = QDir(Folder().path()).filePath(QStringLiteral("Data/dense-%1.qvp").arg(state.range(0)));
    if (!QFileInfo::exists(dense)) {
        QByteArray content = SmallProject();
        const qsizetype heading = content.indexOf("Visual IO\r\n");
        const qsizetype first = content.indexOf("\r\n", heading + 11) + 2;
        const QByteArray line = content.mid(first, content.indexOf("\r\n", first) + 2 - first);
        content.insert(first, line.repeated(state.range(0)));
        TFileAccess::SaveAtomically(dense, content);
    }
    OpenHeadlessAndSave(state, dense);
}
BENCHMARK(BM_ResaveOneDenseScreen)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The small project with N more (empty) screens, opened with its windows until the shown screens
// have painted.
void BM_OpenManyScreens(benchmark::State &state)
{
    const QString many = QDir(Folder().path()).filePath(QStringLiteral("Data/screens-%1.qvp").arg(state.range(0)));
    if (!QFileInfo::exists(many)) {
        QByteArray content = SmallProject();
        QByteArray screens;
        for (int i = 0; i < state.range(0); ++i)
            screens += QStringLiteral(" 1 0 0 0 0 0 0 0 320 258  78  5a   0%1Extra %2|(null)|\r\n")
                           .arg(QString::number(1000 + i % 60000, 16).rightJustified(4, QLatin1Char(' ')))
                           .arg(i)
                           .toLatin1();
        content.insert(content.indexOf("EOF Screen\r\n"), screens);
        TFileAccess::SaveAtomically(many, content);
    }
    NoDialogs dialogs;
    for (auto _ : state) {
        auto window = std::make_unique<TForm1>(Folder().path(), &dialogs);
        window->OpenProject(many);
        PaintWatch watch;
        for (TMyForm11 *screen : window->ScreenWindows()) {
            if (screen->isVisible())
                watch.Watch(screen->Area());
        }
        WaitUntilPainted(watch);
        state.counters["screens"] = double(window->ScreenWindows().size());
        state.PauseTiming();
        // Closing the project is timed apart: it used to cost more than the open.
        QElapsedTimer closing;
        closing.start();
        window->CloseProject();
        window.reset();
        state.counters["close_ms"] = double(closing.elapsed());
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenManyScreens)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SwitchModes(benchmark::State &state)
{
    const TGeneratedSize &size = k_large;
    NoDialogs dialogs;
    auto window = OpenWithWindows(size, dialogs);
    for (auto _ : state) {
        window->RunTime()->SwitchEveryControl(RunMode::RunTime);
        window->RunTime()->SwitchEveryControl(RunMode::DesignTime);
    }
    state.counters["controls"] = double(window->Project()->Outputs().size());
    window->CloseProject();
}
BENCHMARK(BM_SwitchModes)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every screen of the large project shown, then the whole project switched to run time and back,
// each switch until every screen has painted again: what the user waits for.
void BM_SwitchModesEveryScreenShown(benchmark::State &state)
{
    NoDialogs dialogs;
    auto window = OpenWithWindows(k_large, dialogs);
    const auto screens = window->ScreenWindows();
    PaintWatch shown;
    for (TMyForm11 *screen : screens) {
        screen->show();
        shown.Watch(screen->Area());
    }
    WaitUntilPainted(shown);
    for (auto _ : state) {
        for (const RunMode mode : {RunMode::RunTime, RunMode::DesignTime}) {
            PaintWatch watch;
            for (TMyForm11 *screen : screens)
                watch.Watch(screen->Area());
            window->RunTime()->SwitchEveryControl(mode);
            WaitUntilPainted(watch);
        }
    }
    state.counters["screens"] = double(screens.size());
    // The screens others hide completely paint when they show again, not at the switch.
    state.counters["painted"] = double(std::count_if(screens.begin(), screens.end(), [](TMyForm11 *screen) { return !TObscuredWindows::Instance().IsHeld(screen); }));
    window->CloseProject();
}
BENCHMARK(BM_SwitchModesEveryScreenShown)->Unit(benchmark::kMillisecond)->Iterations(3);

// The anchor's side: every screen shown, every control's text changed twice, each time until
// every screen has painted again.
void BM_AnchorRepaintEveryScreenShown(benchmark::State &state)
{
    auto windows = OpenAnchor(k_large, true);
    for (auto _ : state) {
        for (const QString &value : {QStringLiteral("On"), QStringLiteral("Off")}) {
            PaintWatch watch;
            for (const auto &window : windows) {
                watch.Watch(window.get());
                for (AnchorControl *control : window->findChildren<AnchorControl *>(Qt::FindDirectChildrenOnly))
                    control->SetValue(value);
            }
            WaitUntilPainted(watch);
        }
    }
    state.counters["screens"] = double(windows.size());
}
BENCHMARK(BM_AnchorRepaintEveryScreenShown)->Unit(benchmark::kMillisecond)->Iterations(3);

// A shown screen of the medium project repainted whole, as after a refresh burst.
void BM_RepaintScreen(benchmark::State &state)
{
    NoDialogs dialogs;
    auto window = OpenWithWindows(k_medium, dialogs);
    QWidget *area = window->ScreenWindows().front()->Area();
    for (auto _ : state)
        area->repaint();
    window->CloseProject();
}
BENCHMARK(BM_RepaintScreen)->Unit(benchmark::kMillisecond);

long StatusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// The generated size of that name ("small" … "giant"), or none.
const TGeneratedSize *SizeNamed(const QString &name)
{
    for (const TGeneratedSize *size : k_sizes) {
        if (name == QString::fromLatin1(size->Name))
            return size;
    }
    return nullptr;
}

int Memory(const QString &what, const QString &sizeName)
{
    const TGeneratedSize *size = SizeNamed(sizeName);
    if (!size)
        return 2;
    ProjectPath(*size);
    const long before = StatusKilobytes("VmRSS:");
    NoDialogs dialogs;
    std::unique_ptr<TForm1> window;
    std::vector<std::unique_ptr<QWidget>> anchor;
    if (what == QStringLiteral("program") || what == QStringLiteral("cycled") || what == QStringLiteral("closed")) {
        window = OpenWithWindows(*size, dialogs);
        // "cycled": every screen shown and painted once, then hidden again but the first three;
        // "closed": the same, each closed as the title bar's close box closes it.
        if (what != QStringLiteral("program")) {
            const auto screens = window->ScreenWindows();
            for (size_t i = 3; i < screens.size(); ++i) {
                PaintWatch watch;
                screens[i]->show();
                watch.Watch(screens[i]->Area());
                WaitUntilPainted(watch);
                if (what == QStringLiteral("closed"))
                    screens[i]->close();
                else
                    screens[i]->hide();
                QCoreApplication::processEvents();
            }
            QCoreApplication::processEvents();
        }
    } else {
        anchor = OpenAnchor(*size);
        // "anchor-closed": the anchor's other screens shown, painted and closed as the program's are.
        if (what == QStringLiteral("anchor-closed")) {
            for (size_t i = 3; i < anchor.size(); ++i) {
                PaintWatch watch;
                anchor[i]->show();
                watch.Watch(anchor[i].get());
                WaitUntilPainted(watch);
                anchor[i]->close();
                static_cast<AnchorScreen *>(anchor[i].get())->Release();
                QCoreApplication::processEvents();
            }
            QCoreApplication::processEvents();
            malloc_trim(0);
        }
    }
    // Measured settled, as a program left open is: the history writes its first changes a second
    // after the open and only then opens its files (SQLite's code and page cache, the writer's heap).
    const QDeadlineTimer settled(1500);
    while (!settled.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 100);
    malloc_trim(0);
    const struct mallinfo2 heap = mallinfo2();
    printf("%s %s: rss %.1f MB (growth %.1f MB), peak %.1f MB, heap in use %.1f MB\n", qPrintable(what), size->Name,
           StatusKilobytes("VmRSS:") / 1024.0, (StatusKilobytes("VmRSS:") - before) / 1024.0, StatusKilobytes("VmHWM:") / 1024.0,
           double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0));
    printf("  of it anonymous %.1f MB, files %.1f MB, shared memory %.1f MB\n", StatusKilobytes("RssAnon:") / 1024.0,
           StatusKilobytes("RssFile:") / 1024.0, StatusKilobytes("RssShmem:") / 1024.0);
    // With QUELNOR_BENCH_SMAPS set: the heap's own figures, and what each mapping holds resident
    // (over 200 KB), to compare with the anchor's.
    if (qEnvironmentVariableIsSet("QUELNOR_BENCH_SMAPS")) {
        printf("  heap: arena %zu, in use %zu, free %zu, mapped %zu\n", heap.arena, heap.uordblks, heap.fordblks, heap.hblkhd);
        QFile smaps(QStringLiteral("/proc/self/smaps"));
        smaps.open(QIODevice::ReadOnly);
        QByteArray name;
        QMap<QByteArray, long> resident;
        for (const QByteArray &line : smaps.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 5 && fields[0].contains('-'))
                name = fields.size() >= 6 ? fields[5] : QByteArrayLiteral("[anon]");
            else if (line.startsWith("Rss:"))
                resident[name] += fields.value(1).toLong();
        }
        for (auto it = resident.cbegin(); it != resident.cend(); ++it) {
            if (it.value() > 200)
                printf("  %8ld KB %s\n", it.value(), it.key().constData());
        }
    }
    // Under heaptrack, what is still allocated at the measurement shows as leaked.
    if (qEnvironmentVariableIsSet("QUELNOR_BENCH_EXIT_AT_MEASURE")) {
        fflush(stdout);
        _exit(0);
    }
    return 0;
}

// One open in a process of its own, as a user opens a project after starting the program: no
// picture, width or label already read by an earlier open. Prints the processor time the open
// took and leaves without tearing down; timed from outside, the whole process is the figure.
int OpenOnce(const QString &what, const QString &sizeName, bool everyScreen)
{
    const TGeneratedSize *size = SizeNamed(sizeName);
    if (!size || (what != QStringLiteral("program") && what != QStringLiteral("anchor")))
        return 2;
    ProjectPath(*size);
    const auto cpu = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    };
    const double start = cpu();
    NoDialogs dialogs;
    std::unique_ptr<TForm1> window;
    std::vector<std::unique_ptr<QWidget>> anchor;
    if (what == QStringLiteral("program"))
        window = OpenWithWindows(*size, dialogs, everyScreen);
    else
        anchor = OpenAnchor(*size, everyScreen);
    printf("%s %s%s: open %.1f ms processor time\n", qPrintable(what), size->Name, everyScreen ? " every screen" : "",
           cpu() - start);
    fflush(stdout);
    // The mark the open left beside the project goes, so that the next run opens it as this one did.
    const QFileInfo project(ProjectPath(*size));
    QFile::remove(project.absolutePath() + QStringLiteral("/.") + project.fileName() + QStringLiteral(".lock"));
    _exit(0);
}

} // namespace

int main(int argc, char **argv)
{
    // Offscreen unless a platform is named (xvfb-run … with QT_QPA_PLATFORM=xcb: a real X server).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    UseTemporaryUserFolders();
    QApplication application(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--rss") == 0)
        return Memory(QString::fromLatin1(argv[2]), QString::fromLatin1(argv[3]));
    if ((argc == 4 || argc == 5) && qstrcmp(argv[1], "--open") == 0)
        return OpenOnce(QString::fromLatin1(argv[2]), QString::fromLatin1(argv[3]), argc == 5 && qstrcmp(argv[4], "every") == 0);
    if (argc == 3 && qstrcmp(argv[1], "--generate") == 0) {
        // The generated projects in a program folder of their own, to resave or open by hand.
        const QString folder = QString::fromLocal8Bit(argv[2]);
        PrepareProgramFolder(folder, QStringLiteral(QUELNOR_PROGRAM_DIR));
        for (const TGeneratedSize *size : k_sizes)
            printf("%s\n", qPrintable(GenerateProject(folder, *size)));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    {
        // The first open of a process loads fonts and picture plug-ins: paid here, for neither side.
        NoDialogs dialogs;
        OpenWithWindows(k_small, dialogs)->CloseProject();
        OpenAnchor(k_small);
        QCoreApplication::processEvents();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
