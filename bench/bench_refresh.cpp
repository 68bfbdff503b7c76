// A full refresh burst of a 2,000-module installation, sent over loopback UDP by another thread as
// fast as the kernel takes it, into a logged-in application whose modules each show one or two
// controls in run time. Reports the GUI thread's processor time per burst (manual time), the
// frames sent and the frames lost.
#include "InstallationRecords.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TFrameDecoder.h"
#include "TLinkSession.h"
#include "TProgramLists.h"
#include "TRecordFormat.h"
#include "TSimulatedInstallation.h"
#include "TVQBaseControl.h"
#include "TVQQDimOutput.h"
#include "TVQQModuleBase.h"
#include "TVQQSensorInput.h"
#include "TVQQTorInput.h"
#include "TVQQTorOutput.h"
#include "UserMessages.h"

#include "LargeInstallation.h"
#include "ThreadClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int k_modules = k_largeModules;

template <typename Condition>
bool RunUntil(Condition condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The program's side: the application logged in to a module socket of this process, and the
// controls on a shown screen.
struct Program
{
    QTemporaryDir folder;
    QString exportPath = folder.filePath(QStringLiteral("large.qap"));
    NoMessages messages;
    TDataFileManager app{nullptr, QByteArray(), &messages};
    std::unique_ptr<TProgramLists> lists;
    QUdpSocket module;
    QWidget screen;
    std::vector<std::unique_ptr<TVQBaseControl>> controls;
    TSimulatedInstallation installation;
    quint64 received = 0;
    quint16 clientPort = 0;  // the program's port, where the module answers

    bool SetUp()
    {
        QFile file(exportPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(LargeExport(false)) < 0)
            return false;
        file.close();
        if (!app.ExportImport(exportPath, TDataFileManager::ImportReplace))
            return false;
        QString note;
        if (!installation.Load(exportPath, &messages, note))
            return false;
        lists = std::make_unique<TProgramLists>(nullptr, QString(), &messages);
        lists->AddApplication(app);
        QObject::connect(&app, &TDataFileManager::frameDecoded, &app, [this](const TDecodedFrame &frame) {
            if (frame.IsAccepted())
                ++received;
        });
        screen.resize(1600, 1200);
        int at = 0;
        const auto place = [&](TVQBaseControl *control) {
            TNewVisualOutput record;
            record.Label = "L" + QByteArray::number(at);
            record.Left = quint16(at % 40 * 40);
            record.Top = quint16(at / 40 % 30 * 40);
            control->SetDataToControl(record);
            control->SetRunTimeMode(RunMode::RunTime);
            control->show();
            controls.emplace_back(control);
            ++at;
        };
        for (const auto &object : lists->Modules()) {
            TVQQModuleBase *m = object.get();
            switch (m->GetModuleType()) {
            case 4:
                place(new TVQQTorInput(&screen, m, 0, nullptr));
                place(new TVQQTorOutput(&screen, m, 4, nullptr));
                break;
            case 6:
                place(new TVQQTorOutput(&screen, m, 0, nullptr));
                break;
            case 9:
                place(new TVQQDimOutput(&screen, m, 0, nullptr));
                break;
            case 17:
                place(new TVQQSensorInput(&screen, m, 0, nullptr));
                break;
            default:
                break;
            }
            m->AddControl(controls.back().get());
        }
        screen.show();

        if (!module.bind(QHostAddress::LocalHost, 0))
            return false;
        app.Session().OpenUdpLink(module.localPort(), "127.0.0.1", "");
        if (!RunUntil([&] { return module.hasPendingDatagrams(); }, 2000))
            return false;
        const QNetworkDatagram login = module.receiveDatagram();
        clientPort = quint16(login.senderPort());
        module.writeDatagram("INFO:Session opened:INFO\r\n", login.senderAddress(), quint16(login.senderPort()));
        return RunUntil([&] { return app.Session().State() == SessionStates::Open; }, 2000);
    }

    // The frames of a full refresh, inputs then outputs, each module's first channel flipped so
    // that every burst changes what the controls show.
    std::vector<QByteArray> Burst()
    {
        for (int m = 0; m < k_modules; ++m) {
            if (TSimulatedInstallation::Module *module = installation.FindModule(quint16(m + 2)))
                installation.Toggle(*module, module->Buttons);
        }
        std::vector<QByteArray> frames;
        for (const QByteArrayList &messages : {installation.RefreshInputs(), installation.RefreshOutputs()}) {
            for (const QByteArray &message : messages) {
                if (!message.isEmpty())
                    frames.push_back(TFrameBuilder::Frame(message));
            }
        }
        return frames;
    }
};

void BM_RefreshBurst(benchmark::State &state)
{
    Program program;
    if (!program.SetUp()) {
        state.SkipWithError("the program side could not be set up");
        return;
    }
    quint64 sent = 0;
    quint64 lost = 0;
    for (auto _ : state) {
        const std::vector<QByteArray> frames = program.Burst();
        const quint64 before = program.received;
        const double start = ThreadSeconds();
        // The module sends from its own socket, as fast as the kernel takes the datagrams.
        const int fd = int(program.module.socketDescriptor());
        std::thread sender([&frames, fd, &program] {
            sockaddr_in peer{};
            peer.sin_family = AF_INET;
            peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            peer.sin_port = htons(program.clientPort);
            for (const QByteArray &frame : frames)
                ::sendto(fd, frame.constData(), size_t(frame.size()), 0, reinterpret_cast<const sockaddr *>(&peer), sizeof peer);
        });
        // Until every frame is in, or nothing more comes for half a second.
        quint64 seen = program.received;
        QElapsedTimer quiet;
        quiet.start();
        while (program.received - before < frames.size() && quiet.elapsed() < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (program.received != seen) {
                seen = program.received;
                quiet.restart();
            }
        }
        sender.join();
        // What the screen repaints belongs to the burst too.
        QCoreApplication::processEvents();
        const double busy = ThreadSeconds() - start;
        state.SetIterationTime(busy);
        sent += frames.size();
        lost += frames.size() - (program.received - before);
    }
    state.counters["frames_per_burst"] = double(sent) / double(state.iterations());
    state.counters["frames_lost"] = double(lost);
}
BENCHMARK(BM_RefreshBurst)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace
