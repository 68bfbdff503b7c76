// A refresh burst into the large generated project with every screen shown in run time: every
// module of every application reports its inputs and outputs (2,800 status frames), fed to the
// applications as the link reads them. Paced: one frame a millisecond, the event loop running in
// between, as a link delivers them one at a time; unpaced: each application's frames in one read.
// The anchor's side: the same frames change the texts of the plain-Qt anchor's controls bound to
// each module. Reports the GUI thread's processor time from the first frame until every window
// has painted (manual time). `BM_RunTimeEntry`: Run Time entered with the start-up screens shown,
// every control switched and then the first refresh, against the anchor's texts changed likewise.
#include "OpenedProject.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TFrameDecoder.h"
#include "TProjectManager.h"
#include "TRunTimeSwitch.h"
#include "ThreadClock.h"

#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

struct TBurstFrame
{
    int Application;  // index in the project
    int Module;       // number
    QByteArray Bytes;
};

QByteArray Message(int module, quint8 type, QByteArrayView payload)
{
    QByteArray m;
    m.append(char(0xB5)).append('\0').append(char(module >> 8)).append(char(module & 0xff)).append(char(type));
    m.append(payload.data(), payload.size());
    return TFrameBuilder::Frame(m);
}

// Every module's inputs, then every module's outputs; `on` sets every bit and level or clears it.
std::vector<TBurstFrame> Burst(const TGeneratedSize &size, bool on)
{
    const int perApplication = size.Modules / size.Applications;
    const char bits = on ? char(0xFF) : '\0';
    std::vector<TBurstFrame> frames;
    for (const bool inputs : {true, false}) {
        for (int a = 0; a < size.Applications; ++a) {
            for (int m = 1; m <= perApplication; ++m) {
                const quint16 type = k_generatedTypes[(m - 1) % 5];
                if (inputs && (type == 4 || type == 17 || type == 31))
                    frames.push_back({a, m, Message(m, MsgInputStatus, QByteArray(1, '\0') + bits)});
                else if (!inputs && type == 9)
                    frames.push_back({a, m, Message(m, MsgDimLevels, QByteArray(1, '\0') + QByteArray(8, on ? char(100) : '\0'))});
                else if (!inputs && type != 31)
                    frames.push_back({a, m, Message(m, MsgOutputStatus, QByteArray(1, '\0') + bits)});
            }
        }
    }
    return frames;
}

// Hands the frames to `deliver`, one a millisecond (paced) or all at once, then lets the windows
// paint what is left; returns the GUI thread's processor time.
double Feed(const std::vector<TBurstFrame> &frames, bool paced, const std::function<void(size_t, size_t)> &deliver)
{
    const double start = ThreadSeconds();
    QEventLoop loop;
    if (paced) {
        size_t next = 0;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            deliver(next, next + 1);
            if (++next == frames.size())
                loop.quit();
        });
        timer.start();
        loop.exec();
    } else {
        deliver(0, frames.size());
    }
    // Whatever is still to paint (a window's last repaint may wait its turn).
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    return ThreadSeconds() - start;
}

std::vector<TDataFileManager *> ApplicationsOf(TForm1 &window)
{
    std::vector<TDataFileManager *> applications;
    for (const auto &app : window.Project()->Applications())
        applications.push_back(app.get());
    return applications;
}

// Delivers frames as the links read them: an application's consecutive frames in one batch.
std::function<void(size_t, size_t)> ToApplications(const std::vector<TBurstFrame> &frames, const std::vector<TDataFileManager *> &applications)
{
    return [&frames, &applications](size_t from, size_t to) {
        for (size_t i = from; i < to;) {
            TDataFileManager *app = applications[size_t(frames[i].Application)];
            app->BeginBatch();
            for (; i < to && applications[size_t(frames[i].Application)] == app; ++i)
                app->AssembleBytes(frames[i].Bytes);
            app->EndBatch();
        }
    };
}

void BM_RefreshBurstEveryScreenShown(benchmark::State &state)
{
    const bool paced = state.range(0) != 0;
    NoDialogs dialogs;
    auto window = OpenWithWindows(k_large, dialogs, true);
    PaintWatch switched;
    for (TMyForm11 *screen : window->ScreenWindows())
        switched.Watch(screen->Area());
    window->RunTime()->SwitchEveryControl(RunMode::RunTime);
    WaitUntilPainted(switched);
    const std::vector<TDataFileManager *> applications = ApplicationsOf(*window);
    // The event loop's own share: the same ticks, delivering nothing.
    const double idle = Feed(Burst(k_large, true), paced, [](size_t, size_t) {});
    bool on = false;
    for (auto _ : state) {
        on = !on;
        const std::vector<TBurstFrame> frames = Burst(k_large, on);
        const double busy = Feed(frames, paced, ToApplications(frames, applications));
        state.SetIterationTime(busy);
        state.counters["frames"] = double(frames.size());
    }
    state.counters["idle_ms"] = idle * 1000;
    state.counters["screens"] = double(window->ScreenWindows().size());
    window->CloseProject();
}
BENCHMARK(BM_RefreshBurstEveryScreenShown)->ArgName("paced")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

using TAnchorBindings = std::map<std::pair<int, int>, std::vector<AnchorControl *>>;

// The anchor's output controls by application and module number.
TAnchorBindings AnchorBindings(const std::vector<std::unique_ptr<QWidget>> &windows)
{
    TAnchorBindings bound;
    std::vector<QList<AnchorControl *>> children;
    for (const auto &w : windows)
        children.push_back(w->findChildren<AnchorControl *>(Qt::FindDirectChildrenOnly));
    std::vector<int> taken(windows.size(), 0);
    for (int c = 0; c < k_large.Controls; ++c) {
        const TGeneratedControl g = GeneratedControl(k_large, c);
        AnchorControl *control = children[size_t(g.Screen)][taken[size_t(g.Screen)]++];
        if (g.Family == TControlFamily::Output)
            bound[{g.Application, g.Module + 1}].push_back(control);
    }
    return bound;
}

// Each frame changes the text of the anchor's controls bound to its module.
std::function<void(size_t, size_t)> AnchorDelivery(const std::vector<TBurstFrame> &frames, const TAnchorBindings &bound, const QString &value)
{
    return [&frames, &bound, value](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            const auto found = bound.find({frames[i].Application, frames[i].Module});
            if (found != bound.end()) {
                for (AnchorControl *control : found->second)
                    control->SetValue(value);
            }
        }
    };
}

// The anchor's controls bound to each module change their text on each of its frames.
void BM_AnchorBurstEveryScreenShown(benchmark::State &state)
{
    const bool paced = state.range(0) != 0;
    auto windows = OpenAnchor(k_large, true);
    const auto bound = AnchorBindings(windows);
    bool on = false;
    for (auto _ : state) {
        on = !on;
        const std::vector<TBurstFrame> frames = Burst(k_large, on);
        const double busy = Feed(frames, paced, AnchorDelivery(frames, bound, on ? QStringLiteral("On") : QStringLiteral("Off")));
        state.SetIterationTime(busy);
    }
    state.counters["screens"] = double(windows.size());
}
BENCHMARK(BM_AnchorBurstEveryScreenShown)->ArgName("paced")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Run Time entered on the large project as opened (the start-up screens shown): every control
// switched, then the links' first refresh of every state, until the shown screens have painted.
// The GUI thread's processor time; design time again between iterations, untimed.
void BM_RunTimeEntry(benchmark::State &state)
{
    const bool paced = state.range(0) != 0;
    NoDialogs dialogs;
    auto window = OpenWithWindows(k_large, dialogs);
    const std::vector<TDataFileManager *> applications = ApplicationsOf(*window);
    const std::vector<TBurstFrame> frames = Burst(k_large, false);
    for (auto _ : state) {
        const double start = ThreadSeconds();
        window->RunTime()->SwitchEveryControl(RunMode::RunTime);
        Feed(frames, paced, ToApplications(frames, applications));
        state.SetIterationTime(ThreadSeconds() - start);
        window->RunTime()->SwitchEveryControl(RunMode::DesignTime);
        QCoreApplication::processEvents();
    }
    state.counters["frames"] = double(frames.size());
    window->CloseProject();
}
BENCHMARK(BM_RunTimeEntry)->ArgName("paced")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The anchor's side: every control's text changed (the switch), then the same frames.
void BM_AnchorRunTimeEntry(benchmark::State &state)
{
    const bool paced = state.range(0) != 0;
    auto windows = OpenAnchor(k_large);
    const auto bound = AnchorBindings(windows);
    const std::vector<TBurstFrame> frames = Burst(k_large, false);
    for (auto _ : state) {
        const double start = ThreadSeconds();
        for (const auto &window : windows) {
            for (AnchorControl *control : window->findChildren<AnchorControl *>(Qt::FindDirectChildrenOnly))
                control->SetValue(QStringLiteral("?"));
        }
        Feed(frames, paced, AnchorDelivery(frames, bound, QStringLiteral("Off")));
        state.SetIterationTime(ThreadSeconds() - start);
        for (const auto &window : windows) {
            for (AnchorControl *control : window->findChildren<AnchorControl *>(Qt::FindDirectChildrenOnly))
                control->SetValue(QString());
        }
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_AnchorRunTimeEntry)->ArgName("paced")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
