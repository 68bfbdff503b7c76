// The MQTT bridge on a 2,000-module installation, against a Mosquitto broker of the benchmark's
// own and a mosquitto_sub subscriber: the discovery of every entity (time until the subscriber
// has the last config), and a full
// refresh burst sent over loopback UDP with and without the bridge: the processor time of the
// thread that runs the session (the program's GUI thread) per burst, and the time until the
// subscriber has the burst's last state.
#include "InstallationRecords.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TLinkSession.h"
#include "TMqttBridge.h"
#include "TProgramLists.h"
#include "TProjectSession.h"
#include "TRecordFormat.h"
#include "TSimulatedInstallation.h"
#include "TVQBaseControl.h"
#include "TVQQDimOutput.h"
#include "TVQQModuleBase.h"
#include "TVQQSensorInput.h"
#include "TVQQTorOutput.h"
#include "UserMessages.h"

#include "LargeInstallation.h"
#include "ThreadClock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <thread>

namespace {

constexpr int k_modules = k_largeModules;

template <typename Condition>
bool RunUntil(Condition condition, int milliseconds)
{
    // Waits for events (woken every 5 ms) rather than spinning, so that profiles show the work.
    QTimer wake;
    wake.start(5);
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// A broker on a free loopback port, stopped with the benchmark.
struct Broker
{
    QTemporaryDir folder;
    QProcess process;
    quint16 port = 0;

    bool Start()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
        probe.close();
        QFile config(folder.filePath(QStringLiteral("mosquitto.conf")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous true\npersistence false\nuser root\nlog_dest none\n"
                                    "max_queued_messages 100000\n").arg(port).toUtf8());
        config.close();
        process.start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), config.fileName()});
        return process.waitForStarted(5000) && RunUntil([&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            return socket.waitForConnected(100);
        }, 5000);
    }
    ~Broker()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// A subscriber in a process of its own (mosquitto_sub, as Home Assistant would be), writing what it
// gets to a file: how many configs and states came, and when the last one did (the file's time).
struct Subscriber
{
    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("seen.txt"));
    QProcess process;

    void Start(quint16 port)
    {
        process.setStandardOutputFile(file);
        // Line by line, so that the file's time is when the last message came.
        process.start(QStringLiteral("stdbuf"), {QStringLiteral("-oL"), QStringLiteral("mosquitto_sub"), QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                                                        QString::number(port), QStringLiteral("-v"), QStringLiteral("-t"), QStringLiteral("#")});
        process.waitForStarted(5000);
    }
    quint64 Lines(const QByteArray &containing) const
    {
        QFile seen(file);
        seen.open(QIODevice::ReadOnly);
        quint64 count = 0;
        while (!seen.atEnd()) {
            if (seen.readLine().contains(containing))
                ++count;
        }
        return count;
    }
    qint64 Size() const { return QFileInfo(file).size(); }
    // When the last line was written, in milliseconds since the epoch.
    qint64 LastAt() const { return QFileInfo(file).lastModified().toMSecsSinceEpoch(); }
    ~Subscriber()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// The installation's side in this process and the program's session logged in to it; with a
// screen, each module shows one control on a shown window, as in the program.
struct Installation
{
    QWidget screen;
    std::vector<std::unique_ptr<TVQBaseControl>> controls;

    QTemporaryDir folder;
    QString exportPath = folder.filePath(QStringLiteral("large.qap"));
    NoMessages messages;
    TProjectSession session{folder.path(), &messages};
    TDataFileManager *app = nullptr;
    QUdpSocket module;
    TSimulatedInstallation installation;
    quint16 clientPort = 0;

    void ShowScreen()
    {
        screen.resize(1600, 1200);
        int at = 0;
        for (const auto &object : session.Lists()->Modules()) {
            TVQQModuleBase *m = object.get();
            TVQBaseControl *control = nullptr;
            switch (m->GetModuleType()) {
            case 4: control = new TVQQTorOutput(&screen, m, 4, nullptr); break;
            case 6: control = new TVQQTorOutput(&screen, m, 0, nullptr); break;
            case 9: control = new TVQQDimOutput(&screen, m, 0, nullptr); break;
            case 17: control = new TVQQSensorInput(&screen, m, 4, nullptr); break;
            default: continue;
            }
            TNewVisualOutput record;
            record.Label = "L" + QByteArray::number(at);
            record.Left = quint16(at % 40 * 40);
            record.Top = quint16(at / 40 % 30 * 40);
            control->SetDataToControl(record);
            control->SetRunTimeMode(RunMode::RunTime);
            control->show();
            m->AddControl(control);
            controls.emplace_back(control);
            ++at;
        }
        screen.show();
    }

    bool SetUp(bool withScreen = false)
    {
        QFile file(exportPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(LargeExport(true)) < 0)
            return false;
        file.close();
        app = session.AddApplication(exportPath);
        QString note;
        if (!app || !installation.Load(exportPath, &messages, note) || !module.bind(QHostAddress::LocalHost, 0))
            return false;
        session.SetMode(RunMode::RunTime);
        if (withScreen)
            ShowScreen();
        app->Session().OpenUdpLink(module.localPort(), "127.0.0.1", "");
        if (!RunUntil([&] { return module.hasPendingDatagrams(); }, 2000))
            return false;
        const QNetworkDatagram login = module.receiveDatagram();
        clientPort = quint16(login.senderPort());
        module.writeDatagram("INFO:Session opened:INFO\r\n", login.senderAddress(), clientPort);
        if (!RunUntil([&] { return app->Session().State() == SessionStates::Open; }, 2000))
            return false;
        Burst(false);
        return true;
    }

    // A full refresh sent by another thread as fast as the kernel takes it; `flip` changes each
    // module's first channel first, so that every burst changes states. Returns when every frame
    // was handled or nothing came for half a second; the processor time this thread spent.
    double Burst(bool flip)
    {
        if (flip) {
            for (int m = 0; m < k_modules; ++m) {
                if (TSimulatedInstallation::Module *module = installation.FindModule(quint16(m + 2)))
                    installation.Toggle(*module, module->Buttons);
            }
        }
        std::vector<QByteArray> frames;
        for (const QByteArrayList &messages : {installation.RefreshInputs(), installation.RefreshOutputs()}) {
            for (const QByteArray &message : messages) {
                if (!message.isEmpty())
                    frames.push_back(TFrameBuilder::Frame(message));
            }
        }
        const double start = ThreadSeconds();
        const int fd = int(module.socketDescriptor());
        // Unpaced, as fast as the kernel takes the datagrams.
        std::thread sender([&frames, fd, this] {
            sockaddr_in peer{};
            peer.sin_family = AF_INET;
            peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            peer.sin_port = htons(clientPort);
            for (const QByteArray &frame : frames)
                ::sendto(fd, frame.constData(), size_t(frame.size()), 0, reinterpret_cast<const sockaddr *>(&peer), sizeof peer);
        });
        quint64 seen = 0;
        quint64 count = 0;
        const auto connection = QObject::connect(&session, &TProjectSession::stateChanged, &session, [&count] { ++count; });
        // Waits for events rather than spinning: the thread's time is the work the frames made.
        QTimer wake;
        wake.start(20);
        QElapsedTimer quiet;
        quiet.start();
        while (quiet.elapsed() < 300) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (count != seen) {
                seen = count;
                quiet.restart();
            }
        }
        QObject::disconnect(connection);
        sender.join();
        return ThreadSeconds() - start;
    }
};

void BM_Discovery(benchmark::State &state)
{
    Broker broker;
    Installation installation;
    if (!broker.Start() || !installation.SetUp()) {
        state.SkipWithError("broker or installation not set up");
        return;
    }
    for (auto _ : state) {
        Subscriber subscriber;
        subscriber.Start(broker.port);
        RunUntil([] { return false; }, 300);
        TMqttBridge bridge(installation.session, [](const QString &) {});
        TBridgeOptions options;
        options.Broker.Port = broker.port;
        QString error;
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        bridge.Start(options, error);
        quint64 entities = 0;
        for (const auto &i : bridge.Installations())
            entities += i->Entities().size();
        RunUntil([&] { return bridge.Client().IsConnected() && bridge.DiscoveryQueued() == 0; }, 60000);
        // Until the subscriber's file stops growing.
        qint64 size = -1;
        while (subscriber.Size() != size) {
            size = subscriber.Size();
            RunUntil([] { return false; }, 300);
        }
        const double seconds = double(subscriber.LastAt() - start) / 1000.0;
        state.SetIterationTime(seconds);
        state.counters["entities"] = double(entities);
        state.counters["configs"] = double(subscriber.Lines("/config "));
        state.counters["configs_per_s"] = double(entities) / seconds;
        bridge.Stop();
    }
}
BENCHMARK(BM_Discovery)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// First argument 0: without the bridge, 1: with it; second: 0 headless (the service), 1 with a
// shown screen of 2,000 controls (the program). All in one run, each pair side by side.
void BM_RefreshBurst(benchmark::State &state)
{
    const bool bridged = state.range(0) == 1;
    Broker broker;
    Installation installation;
    if (!broker.Start() || !installation.SetUp(state.range(1) == 1)) {
        state.SkipWithError("broker or installation not set up");
        return;
    }
    Subscriber subscriber;
    subscriber.Start(broker.port);
    TMqttBridge bridge(installation.session, [](const QString &) {});
    if (bridged) {
        TBridgeOptions options;
        options.Broker.Port = broker.port;
        QString error;
        bridge.Start(options, error);
        RunUntil([&] { return bridge.Client().IsConnected() && bridge.DiscoveryQueued() == 0; }, 30000);
        RunUntil([] { return false; }, 1000);
    }
    double brokerSeconds = 0;
    for (auto _ : state) {
        const qint64 size = subscriber.Size();
        const qint64 start = QDateTime::currentMSecsSinceEpoch();
        state.SetIterationTime(installation.Burst(true));
        if (bridged) {
            RunUntil([&] { return subscriber.Size() > size; }, 10000);
            qint64 seen = -1;
            while (subscriber.Size() != seen) {
                seen = subscriber.Size();
                RunUntil([] { return false; }, 300);
            }
            brokerSeconds += double(subscriber.LastAt() - start) / 1000.0;
        }
    }
    if (bridged)
        state.counters["states_at_broker_s"] = brokerSeconds / double(state.iterations());
}
BENCHMARK(BM_RefreshBurst)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(12);

} // namespace
