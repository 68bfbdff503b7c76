#include "TBridgeService.h"
#include "TDataFileManager.h"
#include "THistoryStore.h"
#include "TFrameDecoder.h"
#include "TInstallationSimulator.h"
#include "TLinkSession.h"
#include "TMqttBridge.h"
#include "TMqttClient.h"
#include "TProgramLists.h"
#include "TProjectSession.h"
#include "TVQQModuleBase.h"
#include "TSimulatorOptions.h"

#include "EventLoop.h"
#include "TFileAccess.h"
#include "RecordingMessages.h"
#include "TestBroker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The test installation (tests/data/house, interface serial 45000101) played by the simulator,
// opened by a headless session in run time and bridged to a broker of the test's own; an observer
// client sees everything the broker holds.
class BridgeTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(broker.Start()); }

    // `openLink`: false leaves the installation's one session to another process.
    void StartInstallation(TSimulatorOptions options = {}, bool openLink = true)
    {
        options.ExportPath = QStringLiteral(QUELNOR_TEST_EXPORT);
        options.UdpPort = simulatorPort;
        options.ProgramFolder = QStringLiteral(QUELNOR_PROGRAM_DIR);
        options.TickMilliseconds = 3600000;
        simulator = std::make_unique<TInstallationSimulator>(options, simulatorLog);
        QString error;
        ASSERT_TRUE(simulator->Start(error)) << error.toStdString();
        simulatorPort = simulator->UdpPort();
        if (!application) {
            application = session.AddApplication(QStringLiteral(QUELNOR_TEST_EXPORT));
            ASSERT_NE(application, nullptr);
            application->Settings().LinkKind = LinkKinds::Udp;
            application->Settings().Host = "127.0.0.1";
            application->Settings().UdpPort = simulatorPort;
            QObject::connect(&session, &TProjectSession::commandSent, &session,
                             [this](TDataFileManager *, const QByteArray &frame) { frames.append(frame); });
            if (!openLink)
                return;
            session.SetMode(RunMode::RunTime);
            ASSERT_TRUE(application->Session().ReopenLink());
        }
    }

    // The link up and the first refresh answered: every part of every module's state reported.
    void WaitForStates()
    {
        ASSERT_TRUE(RunUntil([&] {
            if (application->Session().Health() != LinkHealth::Up)
                return false;
            for (const auto &module : session.Lists()->Modules()) {
                quint8 parts = module->Kind() == ModuleKind::Temp0x || module->Kind() == ModuleKind::IOTemp ? PartTemperature : 0;
                for (quint16 channel = 0; channel < 16; ++channel)
                    parts |= module->ChannelPart(channel);
                if (module->GetApplication() == application && module->Trust(parts) != StateTrust::Fresh)
                    return false;
            }
            return true;
        }));
    }

    TBridgeOptions Options(bool commands = true) const
    {
        TBridgeOptions options;
        options.Broker.Port = broker.Port();
        options.Commands = commands;
        return options;
    }

    void StartBridge(const TBridgeOptions &options)
    {
        QString error;
        ASSERT_TRUE(bridge.Start(options, error)) << error.toStdString();
        bridge.Client().SetRetryPauses(100, 400);
        ASSERT_TRUE(RunUntil([&] { return bridge.Client().IsConnected() && bridge.DiscoveryQueued() == 0; }));
        // Its "online" comes after its subscriptions on the same connection: commands reach it.
        if (observer.IsConnected()) {
            ASSERT_TRUE(Holds("quelnor/bridge/45000101", "online"));
        }
    }

    // Follows every topic; the last payload of each is kept.
    void Watch(TMqttSettings settings = {})
    {
        QObject::connect(&observer, &TMqttClient::connected, &observer, [this] { observer.Subscribe("#"); });
        QObject::connect(&observer, &TMqttClient::messageReceived, &observer, [this](const QByteArray &topic, const QByteArray &payload) {
            seen[topic] = payload;
            log.append(topic + ' ' + payload);
        });
        settings.Port = broker.Port();
        QString error;
        ASSERT_TRUE(observer.Start(settings, error));
        observer.SetRetryPauses(100, 400);
        ASSERT_TRUE(RunUntil([&] { return observer.IsConnected(); }));
    }

    bool Holds(const QByteArray &topic, const QByteArray &payload, int milliseconds = 5000)
    {
        return RunUntil([&] { return seen.value(topic, "<none>") == payload; }, milliseconds);
    }

    QJsonObject Config(const QByteArray &topic)
    {
        EXPECT_TRUE(RunUntil([&] { return !seen.value(topic).isEmpty(); })) << topic.toStdString();
        return QJsonDocument::fromJson(seen.value(topic)).object();
    }

    // Frames other than the refresh requests (message type 0x64) the link sends by itself.
    int CommandFrames() const
    {
        return int(std::count_if(frames.begin(), frames.end(), [](const QByteArray &f) {
            const QByteArray message = TFrameDecoder::MessageBytes(QByteArrayView(f).sliced(1, f.size() - 2));
            return message.size() < 5 || quint8(message[4]) != 0x64;
        }));
    }

    // The installation up with its states, an observer watching, the bridge started.
    void StartEverything(bool commands = true)
    {
        StartInstallation();
        WaitForStates();
        Watch();
        StartBridge(Options(commands));
    }

    void Publish(const QByteArray &topic, const QByteArray &payload) { ASSERT_TRUE(observer.Publish(topic, payload, false)); }

    TestBroker broker;
    QString simulatorText;
    QTextStream simulatorLog{&simulatorText};
    std::unique_ptr<TInstallationSimulator> simulator;
    quint16 simulatorPort = 0;
    RecordingMessages messages;
    TProjectSession session{QStringLiteral(QUELNOR_PROGRAM_DIR), &messages};
    TDataFileManager *application = nullptr;
    QStringList bridgeLog;
    TMqttBridge bridge{session, [this](const QString &line) { bridgeLog.append(line); }};
    TMqttClient observer;
    QHash<QByteArray, QByteArray> seen;
    QByteArrayList log;
    QByteArrayList frames;
};

const QByteArray k_state = "quelnor/45000101/";

// Each named field of the object holds its text.
void ExpectTexts(const QJsonObject &object, std::initializer_list<std::pair<const char *, const char *>> fields)
{
    for (const auto &[key, text] : fields)
        EXPECT_EQ(object[QLatin1String(key)].toString(), QString::fromUtf8(text)) << key;
}

TEST_F(BridgeTest, DiscoveryDescribesEveryChannelAndStatesFollowTheRefresh)
{
    StartEverything();
    ASSERT_TRUE(Holds("quelnor/45000101/power/state", "0"));

    // One config per placeable channel of the export, by component.
    QHash<QByteArray, int> components;
    for (auto it = seen.begin(); it != seen.end(); ++it) {
        if (it.key().startsWith("homeassistant/") && it.key().endsWith("/config"))
            ++components[it.key().split('/')[1]];
    }
    // Switches: 8 + 4 + 2 + 2 relays, 13 push-button indicators, 5 room-panel outputs, 2 boolean
    // variables. Covers: 4 + 1 shutter pairs. Events: 13 buttons and 5 long-press inputs. Sensors:
    // 7 thermostats' temperatures, 3 analogue inputs, the power total.
    const QHash<QByteArray, int> expected{{"switch", 36}, {"light", 5}, {"cover", 5}, {"binary_sensor", 18}, {"event", 18},
                                          {"sensor", 11}, {"climate", 7}, {"scene", 5}, {"number", 2}};
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(components.value(it.key()), it.value()) << it.key().toStdString();

    // A relay: its module as a device behind the interface module, three availability topics.
    const QJsonObject relay = Config("homeassistant/switch/45000101_06123401_0/config");
    ExpectTexts(relay, {{"unique_id", "45000101_06123401_0"}, {"name", "Living room ceiling"}, {"availability_mode", "all"},
                        {"state_topic", "quelnor/45000101/06123401/0/state"}, {"command_topic", "quelnor/45000101/06123401/0/set"}});
    QStringList availability;
    for (const QJsonValue entry : relay["availability"].toArray())
        availability.append(entry.toObject()["topic"].toString());
    EXPECT_EQ(availability, QStringList({"quelnor/bridge/45000101", "quelnor/45000101/status", "quelnor/45000101/06123401/0/available"}));
    const QJsonObject device = relay["device"].toObject();
    EXPECT_EQ(device["identifiers"].toArray()[0].toString(), "quelnor_45000101_06123401");
    ExpectTexts(device, {{"name", "Relays ground floor"}, {"model", "QKOB01"}, {"manufacturer", "Quelnor"}, {"via_device", "quelnor_45000101"}});
    EXPECT_EQ(relay["origin"].toObject()["name"].toString(), "Visual Quelnor");

    const QJsonObject light = Config("homeassistant/light/45000101_09123403_0/config");
    EXPECT_EQ(light["brightness_scale"].toInt(), 100);
    ExpectTexts(light, {{"brightness_command_topic", "quelnor/45000101/09123403/0/brightness/set"}, {"on_command_type", "brightness"}});
    EXPECT_EQ(Config("homeassistant/cover/45000101_07123402_0/config")["command_topic"].toString(),
              "quelnor/45000101/07123402/0/set");
    EXPECT_FALSE(seen.contains("homeassistant/cover/45000101_07123402_1/config")) << "a shutter's down channel is part of its cover";
    EXPECT_EQ(Config("homeassistant/event/45000101_02123406_0/config")["event_types"].toArray().size(), 4);
    const QJsonObject temperature = Config("homeassistant/sensor/45000101_0a12340b_0_temperature/config");
    ExpectTexts(temperature, {{"device_class", "temperature"}, {"state_class", "measurement"}, {"unit_of_measurement", "°C"}});
    const QJsonObject climate = Config("homeassistant/climate/45000101_0a12340b_0/config");
    EXPECT_EQ(climate["preset_modes"].toArray().size(), 3);
    EXPECT_EQ(climate["current_temperature_topic"].toString(), "quelnor/45000101/0a12340b/0/current");
    const QJsonObject power = Config("homeassistant/sensor/45000101_power/config");
    EXPECT_EQ(power["unit_of_measurement"].toString(), "W");
    EXPECT_EQ(power["device"].toObject()["identifiers"].toArray()[0].toString(), "quelnor_45000101");
    EXPECT_EQ(power["availability"].toArray().size(), 2);
    EXPECT_EQ(Config("homeassistant/scene/45000101_memo_0/config")["command_topic"].toString(), "quelnor/45000101/memo/0/set");
    const QJsonObject guests = Config("homeassistant/number/45000101_variable_2/config");
    EXPECT_EQ(guests["min"].toInt(), 0);
    EXPECT_GT(guests["max"].toInt(), 0);

    // Retained states as the modules reported them; each entity available.
    const std::pair<const char *, const char *> states[] = {
        {"quelnor/bridge/45000101", "online"}, {"quelnor/45000101/status", "online"}, {"quelnor/45000101/06123401/0/state", "OFF"},
        {"quelnor/45000101/06123401/0/available", "online"}, {"quelnor/45000101/0a12340b/0/temperature/state", "20.0"},
        {"quelnor/45000101/0a12340b/0/preset", "Automatic"}, {"quelnor/45000101/09123403/0/brightness", "0"},
        {"quelnor/45000101/07123402/0/state", "stopped"}};
    for (const auto &[topic, state] : states)
        EXPECT_EQ(seen.value(topic), state) << topic;
    EXPECT_EQ(CommandFrames(), 0) << "publishing sends nothing to the installation";
}

// Each accepted command: exactly one bus frame, and the state published only once the module
// reported it. A command the fresh state already satisfies sends nothing.
TEST_F(BridgeTest, CommandsSendOneFrameAndTheStateFollowsTheReport)
{
    StartEverything();
    struct Case
    {
        QByteArray topic;
        QByteArray payload;
        int frames;
        QByteArray stateTopic;
        QByteArray state;
    };
    const Case cases[] = {
        {"06123401/0/set", "ON", 1, "06123401/0/state", "ON"},
        {"06123401/0/set", "ON", 0, "06123401/0/state", "ON"},
        {"06123401/0/set", "OFF", 1, "06123401/0/state", "OFF"},
        {"09123403/1/brightness/set", "40", 1, "09123403/1/brightness", "40"},
        {"09123403/1/set", "ON", 0, "09123403/1/state", "ON"},
        {"09123403/1/set", "OFF", 1, "09123403/1/state", "OFF"},
        {"07123402/2/set", "CLOSE", 1, "07123402/2/state", "closing"},
        {"07123402/2/set", "STOP", 1, "07123402/2/state", "stopped"},
        {"0a12340b/0/preset/set", "Comfort", 1, "0a12340b/0/preset", "Comfort"},
        {"0a12340b/0/target/set", "22", 1, "0a12340b/0/target", "20.5"},  // one step toward it
        {"0a12340b/0/target/set", "19", 1, "0a12340b/0/target", "20.0"},
        {"variable/0/set", "ON", 1, "variable/0/state", "ON"},
        {"variable/0/set", "ON", 0, "variable/0/state", "ON"},
        {"variable/2/set", "1", 1, "variable/2/state", "1"},
        {"variable/2/set", "0", 1, "variable/2/state", "0"},
        {"memo/0/set", "ON", 1, "06123401/7/state", "ON"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.topic.toStdString() + " " + c.payload.toStdString());
        const int before = CommandFrames();
        Publish(k_state + c.topic, c.payload);
        EXPECT_TRUE(Holds(k_state + c.stateTopic, c.state));
        RunUntil([] { return false; }, 200);
        EXPECT_EQ(CommandFrames() - before, c.frames);
    }

    // Never acted upon: out of range, not understood, not an entity's, a read-only entity's.
    const QByteArrayList ignored{"09123403/1/brightness/set 101", "09123403/1/brightness/set -1", "06123401/0/set on",
                                 "variable/2/set 99", "0a12340b/0/preset/set Party", "01123405/1/set ON",
                                 "99999999/0/set ON", "06123401/0/colour/set 3", "memo/0/set OFF"};
    const quint64 ignoredBefore = bridge.Ignored();
    const int before = CommandFrames();
    for (const QByteArray &line : ignored) {
        const QList<QByteArray> parts = line.split(' ');
        Publish(k_state + parts[0], parts[1]);
    }
    EXPECT_TRUE(RunUntil([&] { return bridge.Ignored() - ignoredBefore == quint64(ignored.size()); }));
    EXPECT_EQ(CommandFrames(), before);
}

// Without "accept commands", a command is refused on the error topic and nothing goes out.
TEST_F(BridgeTest, CommandsAreRefusedUnlessAcceptedOrWhenTheStateIsNotFresh)
{
    StartEverything(false);
    Publish(k_state + "06123401/0/set", "ON");
    ASSERT_TRUE(RunUntil([&] { return seen.contains(k_state + "error"); }));
    EXPECT_TRUE(seen.value(k_state + "error").contains("does not accept commands"));
    EXPECT_EQ(bridge.Refused(), 1u);

    // Accepted, but the installation stopped answering: the link is lost, every entity goes
    // unavailable while the broker stays, and a toggle is refused rather than guessed.
    bridge.Stop();
    seen.clear();
    StartBridge(Options(true));
    ASSERT_TRUE(Holds(k_state + "status", "online"));
    application->Session().SetTimings({.AnswerWait = 200, .RetryFirst = 60000});
    simulator.reset();
    // The keep-alive goes out now rather than in a minute; unanswered, the link is lost.
    TLinkSession &link = application->Session();
    ASSERT_TRUE(RunUntil([&] {
        if (!link.AnswerTimer()->isActive())
            link.WatchdogExpired();
        return link.Health() == LinkHealth::Lost;
    }));
    EXPECT_TRUE(Holds(k_state + "status", "offline"));
    EXPECT_TRUE(Holds(k_state + "06123401/0/available", "offline"));
    EXPECT_EQ(seen.value("quelnor/bridge/45000101"), "online");
    EXPECT_EQ(seen.value(k_state + "06123401/0/state"), "OFF") << "the last reported state stays, unavailable";
    const int before = CommandFrames();
    Publish(k_state + "06123401/0/set", "ON");
    EXPECT_TRUE(RunUntil([&] { return seen.value(k_state + "error").contains("link is not up"); }));
    EXPECT_EQ(bridge.Refused(), 2u);
    EXPECT_EQ(CommandFrames(), before);
}

// A module that reports only damaged frames: its state is unknown, so a toggle could be wrong.
TEST_F(BridgeTest, AToggleIsRefusedWhileTheStateIsUnknown)
{
    StartInstallation({.CorruptPercent = 100});
    ASSERT_TRUE(RunUntil([&] { return application->Session().Health() != LinkHealth::Opening; }));
    Watch();
    StartBridge(Options());
    EXPECT_TRUE(Holds(k_state + "06123401/0/available", "offline"));
    EXPECT_FALSE(seen.contains(k_state + "06123401/0/state")) << "an unknown state is never published";
    const int before = CommandFrames();
    Publish(k_state + "06123401/0/set", "ON");
    EXPECT_TRUE(RunUntil([&] { return seen.value(k_state + "error").contains("unknown or stale"); }));
    RunUntil([] { return false; }, 200);
    EXPECT_EQ(CommandFrames(), before);
}

// The broker restarted empty, then the home-automation system restarted: both times every
// config and state is there again without restarting the bridge.
TEST_F(BridgeTest, BrokerRestartAndBirthRepublishEverything)
{
    StartEverything();
    const quint16 port = broker.Port();
    broker.Stop();
    ASSERT_TRUE(RunUntil([&] { return !bridge.Client().IsConnected(); }));
    seen.clear();
    ASSERT_TRUE(broker.Start(QStringLiteral("allow_anonymous true\n"), port));
    EXPECT_TRUE(Holds("quelnor/bridge/45000101", "online", 10000));
    EXPECT_TRUE(Holds(k_state + "06123401/3/state", "OFF"));
    EXPECT_TRUE(RunUntil([&] { return seen.contains("homeassistant/switch/45000101_06123401_3/config"); }));

    seen.clear();
    Publish("homeassistant/status", "online");
    EXPECT_TRUE(RunUntil([&] { return seen.contains("homeassistant/light/45000101_09123403_2/config"); }, 5000));
    EXPECT_TRUE(Holds(k_state + "09123403/2/brightness", "0"));
}

// TLS with the broker's certificate checked against the test's own CA, and a password file.
TEST_F(BridgeTest, TlsAndPassword)
{
    broker.Stop();
    const QString san = QStringLiteral("subjectAltName=IP:127.0.0.1");
    ASSERT_TRUE(broker.Run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.crt",
                                      "-days", "1", "-subj", "/CN=Quelnor test CA"}));
    ASSERT_TRUE(broker.Run("openssl", {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
                                      "-subj", "/CN=127.0.0.1", "-addext", san}));
    ASSERT_TRUE(broker.Run("openssl", {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
                                      "-out", "server.crt", "-days", "1", "-copy_extensions", "copy"}));
    ASSERT_TRUE(broker.Run("mosquitto_passwd", {"-b", "-c", "passwords", "house", "s3cret words"}));
    ASSERT_TRUE(broker.Start(QStringLiteral("cafile {dir}/ca.crt\ncertfile {dir}/server.crt\nkeyfile {dir}/server.key\n"
                                            "allow_anonymous false\npassword_file {dir}/passwords\n")));
    StartInstallation();
    WaitForStates();
    TBridgeOptions options = Options();
    options.Broker.TlsCa = broker.File("ca.crt");
    options.Broker.User = QStringLiteral("house");
    options.Broker.Password = QStringLiteral("s3cret words");
    Watch(options.Broker);
    StartBridge(options);
    EXPECT_TRUE(Holds(k_state + "06123401/0/state", "OFF"));

    // A wrong password: refused by the broker, said in the log without the password.
    bridge.Stop();
    bridgeLog.clear();
    options.Broker.Password = QStringLiteral("wrong words");
    QString error;
    ASSERT_TRUE(bridge.Start(options, error));
    EXPECT_TRUE(RunUntil([&] { return bridgeLog.join('\n').contains("not authorised"); })) << bridgeLog.join('\n').toStdString();
    EXPECT_FALSE(bridge.Client().IsConnected());
    EXPECT_FALSE(bridgeLog.join('\n').contains("words"));

    // A CA that did not sign the broker's certificate: no connection.
    bridge.Stop();
    ASSERT_TRUE(broker.Run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "other.key", "-out", "other.crt",
                                      "-days", "1", "-subj", "/CN=Another CA"}));
    options.Broker.Password = QStringLiteral("s3cret words");
    options.Broker.TlsCa = broker.File("other.crt");
    ASSERT_TRUE(bridge.Start(options, error));
    RunUntil([] { return false; }, 500);
    EXPECT_FALSE(bridge.Client().IsConnected());
}

// An update from a new export: the module whose serial changed leaves (empty retained config),
// the new one appears, the others keep their ids.
TEST_F(BridgeTest, AnUpdateRemovesAndAddsEntities)
{
    StartEverything();
    ASSERT_TRUE(RunUntil([&] { return seen.contains("homeassistant/switch/45000101_0e12340e_1/config"); }));
    QByteArray text;
    ASSERT_TRUE(TFileAccess::Read(QStringLiteral(QUELNOR_TEST_EXPORT), text));
    ASSERT_TRUE(text.contains(" 0 1 e12340e   f   e"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("house.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(path, text.replace(" 0 1 e12340e   f   e", " 0 1 e77777e   f   e")));
    log.clear();
    ASSERT_TRUE(session.UpdateApplication(*application, path, QDateTime::currentDateTime(), false));
    EXPECT_TRUE(Holds("homeassistant/switch/45000101_0e12340e_1/config", "") && Holds("homeassistant/switch/45000101_0e12340e_0/config", ""));
    EXPECT_TRUE(RunUntil([&] { return seen.value("homeassistant/switch/45000101_0e77777e_1/config").contains("0e77777e"); }));
    EXPECT_FALSE(log.contains("homeassistant/switch/45000101_06123401_0/config ")) << "a kept entity is not removed";
}

// The service itself: started on a saved project, stopped by SIGTERM (the link logs out and
// "offline" is published), and killed outright (the broker publishes its last will).
TEST_F(BridgeTest, TheServiceStopsCleanlyAndItsLastWillCoversAKill)
{
    StartInstallation({.Log = true}, false);
    QTemporaryDir folder;
    const QString project = folder.filePath(QStringLiteral("house.qvp"));
    ASSERT_TRUE(session.Save(project));
    Watch();
    const auto startService = [&](QProcess &service) {
        service.setProcessChannelMode(QProcess::MergedChannels);
        service.start(QStringLiteral(QUELNOR_PROGRAM_DIR "/quelnor-bridge"),
                      {project, "--broker", QStringLiteral("127.0.0.1:%1").arg(broker.Port()), "--keepalive", "5", "--history-db",
                       folder.filePath(QStringLiteral("history.sqlite"))});
        return RunUntil([&] { return seen.value(k_state + "status") == "online" && seen.contains(k_state + "06123401/0/state"); }, 10000);
    };
    QProcess service;
    ASSERT_TRUE(startService(service)) << service.readAll().toStdString();
    service.terminate();
    ASSERT_TRUE(RunUntil([&] { return service.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(std::make_tuple(service.exitStatus(), service.exitCode(), seen.value(k_state + "status"), seen.value("quelnor/bridge/45000101")),
              std::make_tuple(QProcess::NormalExit, 0, QByteArray("offline"), QByteArray("offline")));
    EXPECT_TRUE(RunUntil([&] { return simulatorText.contains("recv LOGOUT"); }));
    // It recorded the history as the program does: the link coming up, the states reported.
    THistoryStore history;
    QString error;
    ASSERT_TRUE(history.Open(folder.filePath(QStringLiteral("history.sqlite")), error, nullptr, true)) << error.toStdString();
    const std::vector<THistoryRow> links = history.Rows(0, std::numeric_limits<qint64>::max(), -1, QStringLiteral("link"));
    EXPECT_TRUE(std::any_of(links.begin(), links.end(), [](const THistoryRow &row) { return row.Text == QStringLiteral("Up"); }));
    EXPECT_FALSE(history.Rows(0, std::numeric_limits<qint64>::max(), 2, QStringLiteral("state")).empty());

    seen.clear();
    QProcess killed;
    ASSERT_TRUE(startService(killed)) << killed.readAll().toStdString();
    killed.kill();
    EXPECT_TRUE(Holds("quelnor/bridge/45000101", "offline", 7500));
}

// The service's command line: what it refuses, and what it takes.
TEST(BridgeService, ArgumentsAreCheckedBeforeAnythingStarts)
{
    QTemporaryDir folder;
    const QString secret = folder.filePath(QStringLiteral("password"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(secret, "top secret\n"));
    struct Case
    {
        QStringList arguments;
        const char *refusal;  // nullptr: accepted
    };
    const Case cases[] = {
        {{}, "Which project?"},
        {{"a.qvp", "--broker"}, "--broker needs a value"},
        {{"a.qvp", "--broker", "host:99999"}, "--broker takes HOST:PORT"},
        {{"a.qvp", "--broker", ":1883"}, "--broker takes HOST:PORT"},
        {{"a.qvp", "--password", "x"}, "use --password-file FILE"},
        {{"a.qvp", "--password-file", folder.filePath("missing")}, "Cannot read the password file"},
        {{"a.qvp", "--base-topic", "a/#"}, "--base-topic cannot be a/#"},
        {{"a.qvp", "--discovery-prefix", ""}, "--discovery-prefix cannot be"},
        {{"a.qvp", "--keepalive", "2"}, "--keepalive takes 5 to 3600 seconds"},
        {{"a.qvp", "--client-cert", "c.pem"}, "--client-cert and --client-key go together"},
        {{"a.qvp", "--client-cert", "c.pem", "--client-key", "k.pem"}, "A client certificate needs TLS"},
        {{"a.qvp", "b.qvp"}, "Unknown argument b.qvp"},
        {{"a.qvp", "--broker", "mqtt.local", "--user", "house", "--password-file", secret, "--commands",
          "--no-discovery", "--keepalive", "60", "--base-topic", "home"}, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QString text;
        QTextStream err(&text);
        TBridgeService service(err, QStringLiteral(QUELNOR_PROGRAM_DIR));
        const bool accepted = service.Parse(c.arguments);
        err.flush();
        EXPECT_EQ(accepted, c.refusal == nullptr) << text.toStdString();
        if (c.refusal) {
            EXPECT_TRUE(text.contains(QString::fromUtf8(c.refusal))) << text.toStdString();
        }
        EXPECT_FALSE(text.contains("top secret"));
    }
    QString text;
    QTextStream err(&text);
    TBridgeService service(err, QStringLiteral(QUELNOR_PROGRAM_DIR));
    ASSERT_TRUE(service.Parse(cases[std::size(cases) - 1].arguments));
    const TBridgeOptions &o = service.Options();
    EXPECT_EQ(std::tie(o.Broker.Host, o.Broker.Port, o.Broker.Password, o.Broker.KeepAlive, o.BaseTopic, o.Commands, o.Discovery),
              std::make_tuple(QStringLiteral("mqtt.local"), 1883, QStringLiteral("top secret"), 60, QByteArray("home"), true, false));
}

} // namespace
