#include "TDataFileManager.h"
#include "TInstallationSimulator.h"
#include "TLinkSession.h"
#include "TMqttBridge.h"
#include "TMqttClient.h"
#include "TProjectSession.h"
#include "TSimulatorOptions.h"

#include "EventLoop.h"
#include "RecordingMessages.h"
#include "TestBroker.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

// The test installation (tests/data/house, interface serial 45000101) played by the simulator,
// opened by a headless session in run time and bridged to a broker of the test's own; an observer
// client sees everything the broker holds.
class BridgeTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(broker.Start()); }

    void StartInstallation(TSimulatorOptions options = {})
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
            session.SetMode(RunMode::RunTime);
            ASSERT_TRUE(application->Session().ReopenLink());
        }
    }

    // The link up and the first refresh answered (the refresh frames are kept apart from commands).
    void WaitForStates()
    {
        ASSERT_TRUE(RunUntil([&] { return application->Session().Health() == LinkHealth::Up && frames.size() >= 2; }));
        RunUntil([] { return false; }, 300);
        for (const QByteArray &frame : frames)
            refreshFrames.insert(frame);
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
    }

    // Follows every topic; the last payload of each is kept.
    void Watch()
    {
        QObject::connect(&observer, &TMqttClient::connected, &observer, [this] { observer.Subscribe("#"); });
        QObject::connect(&observer, &TMqttClient::messageReceived, &observer, [this](const QByteArray &topic, const QByteArray &payload) {
            seen[topic] = payload;
            log.append(topic + ' ' + payload);
        });
        TMqttSettings settings;
        settings.Port = broker.Port();
        QString error;
        ASSERT_TRUE(observer.Start(settings, error));
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

    int CommandFrames() const
    {
        return int(std::count_if(frames.begin(), frames.end(), [this](const QByteArray &f) { return !refreshFrames.contains(f); }));
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
    QSet<QByteArray> refreshFrames;
};

const QByteArray k_state = "quelnor/45000101/";

TEST_F(BridgeTest, DiscoveryDescribesEveryChannelAndStatesFollowTheRefresh)
{
    StartInstallation();
    WaitForStates();
    Watch();
    StartBridge(Options());
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
    EXPECT_EQ(relay["unique_id"].toString(), "45000101_06123401_0");
    EXPECT_EQ(relay["name"].toString(), "Living room ceiling");
    EXPECT_EQ(relay["state_topic"].toString(), "quelnor/45000101/06123401/0/state");
    EXPECT_EQ(relay["command_topic"].toString(), "quelnor/45000101/06123401/0/set");
    EXPECT_EQ(relay["availability_mode"].toString(), "all");
    const QJsonArray availability = relay["availability"].toArray();
    ASSERT_EQ(availability.size(), 3);
    EXPECT_EQ(availability[0].toObject()["topic"].toString(), "quelnor/bridge/45000101");
    EXPECT_EQ(availability[1].toObject()["topic"].toString(), "quelnor/45000101/status");
    EXPECT_EQ(availability[2].toObject()["topic"].toString(), "quelnor/45000101/06123401/0/available");
    const QJsonObject device = relay["device"].toObject();
    EXPECT_EQ(device["identifiers"].toArray()[0].toString(), "quelnor_45000101_06123401");
    EXPECT_EQ(device["name"].toString(), "Relays ground floor");
    EXPECT_EQ(device["model"].toString(), "QKOB01");
    EXPECT_EQ(device["manufacturer"].toString(), "Quelnor");
    EXPECT_EQ(device["via_device"].toString(), "quelnor_45000101");
    EXPECT_EQ(relay["origin"].toObject()["name"].toString(), "Visual Quelnor");

    const QJsonObject light = Config("homeassistant/light/45000101_09123403_0/config");
    EXPECT_EQ(light["brightness_scale"].toInt(), 100);
    EXPECT_EQ(light["brightness_command_topic"].toString(), "quelnor/45000101/09123403/0/brightness/set");
    EXPECT_EQ(light["on_command_type"].toString(), "brightness");
    EXPECT_EQ(Config("homeassistant/cover/45000101_07123402_0/config")["command_topic"].toString(),
              "quelnor/45000101/07123402/0/set");
    EXPECT_FALSE(seen.contains("homeassistant/cover/45000101_07123402_1/config")) << "a shutter's down channel is part of its cover";
    EXPECT_EQ(Config("homeassistant/event/45000101_02123406_0/config")["event_types"].toArray().size(), 4);
    const QJsonObject temperature = Config("homeassistant/sensor/45000101_0a12340b_0_temperature/config");
    EXPECT_EQ(temperature["device_class"].toString(), "temperature");
    EXPECT_EQ(temperature["state_class"].toString(), "measurement");
    EXPECT_EQ(temperature["unit_of_measurement"].toString(), QString::fromUtf8("°C"));
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
    EXPECT_EQ(seen.value("quelnor/bridge/45000101"), "online");
    EXPECT_EQ(seen.value("quelnor/45000101/status"), "online");
    EXPECT_EQ(seen.value("quelnor/45000101/06123401/0/state"), "OFF");
    EXPECT_EQ(seen.value("quelnor/45000101/06123401/0/available"), "online");
    EXPECT_EQ(seen.value("quelnor/45000101/0a12340b/0/temperature/state"), "20.0");
    EXPECT_EQ(seen.value("quelnor/45000101/0a12340b/0/preset"), "Automatic");
    EXPECT_EQ(seen.value("quelnor/45000101/09123403/0/brightness"), "0");
    EXPECT_EQ(seen.value("quelnor/45000101/07123402/0/state"), "stopped");
    EXPECT_EQ(CommandFrames(), 0) << "publishing sends nothing to the installation";
}

} // namespace
