#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TProgramLists.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include "RecordingLink.h"
#include "Lookups.h"
#include "RecordingMessages.h"
#include "TestControl.h"
#include "TestInstallation.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// Frame texts: message bytes written by hand from the protocol's incoming table, checksums
// computed apart.
class DispatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (TDataFileManager *a : {&app, &other}) {
            AddTestModule(*a, 1, 45, 1, "QNET04");
            AddTestModule(*a, 2, 6, 2, "Relays", {{0, 100}, {2, 40}});
            AddTestModule(*a, 4, 9, 4, "Dimmer", {{0, 200}});
            AddTestModule(*a, 6, 1, 6, "Inputs", {{0}});
            AddTestModule(*a, 12, 10, 12, "Thermostat", {{0}});
        }
        // 130 variables; number 128 is a value variable.
        for (int i = 0; i < 130; ++i)
            app.AddVariable({.Defined = 1, .VariableKind = quint8(i == 128 ? 1 : 0)});
        lists.AddApplication(app, &link);
        lists.AddApplication(other, &otherLink);
        QObject::connect(&lists, &TProgramLists::powerChanged, &lists, [this] { ++powerRefreshes; });
    }

    void Receive(const char *text) { app.AssembleBytes("\x02" + QByteArray(text) + "\x03"); }
    quint8 Input(TDataFileManager &a, quint16 number)
    {
        quint8 bits = 0;
        lists.FindModule(&a, number)->GetInputStatus(bits);
        return bits;
    }
    quint8 Output(TDataFileManager &a, quint16 number)
    {
        quint8 bits = 0;
        lists.FindModule(&a, number)->GetOutputStatus(bits);
        return bits;
    }

    RecordingMessages messages;
    RecordingLink link{1};
    RecordingLink otherLink{1};
    TDataFileManager app{nullptr, "a", &messages};
    TDataFileManager other{nullptr, "b", &messages};
    TProgramLists lists{nullptr, QString(), &messages};
    int powerRefreshes = 0;
};

} // namespace

TEST_F(DispatchTest, InputAndOutputStatusAndALoneEtx)
{
    TestControl control;
    control.Bind(Found(lists.FindModule(&app, 6), "module 6"));
    Receive("B500000681000541");
    EXPECT_EQ(Input(app, 6), 0x05);
    Receive("B50000069A000358");
    EXPECT_EQ(Input(app, 6), 0x03);
    EXPECT_EQ(std::make_tuple(control.Refreshes, powerRefreshes), std::make_tuple(2, 0));

    Receive("B50000028600A5E2");
    EXPECT_EQ(Output(app, 2), 0xA5);
    EXPECT_EQ(lists.CurrentPower(), 140u);  // channels 0 and 2 of 0xA5 are on
    EXPECT_EQ(powerRefreshes, 1);
    // Only the module of the application that read the frame changes.
    EXPECT_EQ(Output(other, 2), 0x00);

    // An ETX alone decodes the last frame again.
    Receive("B50000028600013E");
    EXPECT_EQ(Output(app, 2), 0x01);
    lists.FindModule(&app, 2)->ToggleTestState(0);
    EXPECT_EQ(Output(app, 2), 0x00);
    app.AssembleBytes("\x03");
    EXPECT_EQ(Output(app, 2), 0x01);
}

TEST_F(DispatchTest, LevelsTemperaturesAndVariables)
{
    Receive("B500000488003200640000000000D7");
    std::array<quint8, 8> levels{};
    lists.FindModule(&app, 4)->GetLevels(levels);
    EXPECT_EQ(levels, (std::array<quint8, 8>{50, 0, 100, 0, 0, 0, 0, 0}));
    EXPECT_EQ(lists.CurrentPower(), 100u);  // type 9: 200 W at 50 %
    EXPECT_EQ(powerRefreshes, 1);

    // The temperature frame comes from module 1 and names module 12 inside.
    Receive("B50000018A0005000C150514000180");
    std::array<quint8, 5> temperature{};
    lists.FindModule(&app, 12)->GetTemperature(temperature);
    EXPECT_EQ(temperature, (std::array<quint8, 5>{0x15, 0x05, 0x14, 0x00, 0x01}));

    TestControl control;
    TVQQVariableBaseItem *variable = lists.FindVariable(&app, 128);
    ASSERT_TRUE(variable);
    control.Bind(*variable);
    Receive("B5000001911400800003DE");  // variable 0x0080
    EXPECT_EQ(std::make_tuple(variable->GetValue(), variable->GetValueText(), control.Refreshes), std::make_tuple(3, QByteArray("3"), 1));
}

// The power total follows frame after frame, test toggles and a batch exactly as counting every
// IO again would (only the changed module is counted again per frame).
TEST_F(DispatchTest, PowerFollowsEachChangeAsAFullCount)
{
    const auto frame = [this](const char *message) { app.AssembleBytes(TFrameBuilder::Frame(QByteArray::fromHex(message))); };
    const auto recounted = [this] {
        const quint32 kept = lists.CurrentPower();
        app.RecomputePower(false);
        return std::make_pair(kept, lists.CurrentPower());
    };
    const struct { const char *message; quint32 power; } steps[] = {
        {"b50000028600a5", 140},            // relays 0 and 2 on: 100 + 40
        {"b500000488003200640000000000", 240},  // dimmer at 50 %: + 100
        {"b50000028600a4", 140},            // relay 0 off
        {"b500000488006400000000000000", 240},  // dimmer at 100 %
        {"b50000098600ff", 240},            // a module the project does not have
        {"b50000028600ff", 340},
    };
    for (const auto &step : steps) {
        frame(step.message);
        const auto [kept, full] = recounted();
        EXPECT_EQ(kept, step.power) << step.message;
        EXPECT_EQ(full, step.power) << step.message;
    }
    lists.FindModule(&app, 2)->ToggleTestState(0);
    EXPECT_EQ(recounted(), std::make_pair(240u, 240u));
    lists.FindModule(&app, 4)->SetLevelTest(25, 0);
    EXPECT_EQ(recounted(), std::make_pair(90u, 90u));
    // Batches: the modules they changed counted again at their end, or every IO when one names a
    // module the project does not have or changes many, nested ones at the outer end.
    const struct { std::vector<const char *> messages; int repeat; quint32 power; } batches[] = {
        {{"b50000028600a5", "b500000488000000000000000000"}, 1, 140},
        {{"b500000488006400000000000000", "b50000098600ff"}, 1, 340},
        {{"b50000028600a4", "b500000488003200640000000000"}, 40, 140},
        {{"b50000028600a5"}, 1, 240},
    };
    quint32 previous = lists.CurrentPower();
    for (const auto &batch : batches) {
        app.BeginBatch();
        app.BeginBatch();
        for (int i = 0; i < batch.repeat; ++i) {
            for (const char *message : batch.messages)
                frame(message);
        }
        app.EndBatch();
        const quint32 before = lists.CurrentPower();
        app.EndBatch();
        EXPECT_EQ(before, previous) << "counted at the outer end only";
        EXPECT_EQ(recounted(), std::make_pair(batch.power, batch.power)) << batch.messages.front();
        previous = batch.power;
    }
}

TEST_F(DispatchTest, DroppedFramesChangeNothing)
{
    Receive("B50000028600A5E3");                // wrong checksum
    Receive("850000028600A5B2");                // address form 0
    Receive("BD0000028600A5EA");                // address form 3
    Receive("B50000029900A5F5");                // unknown type
    Receive("B50000018A0004000C15051400017F");  // temperature kind byte not 0x05
    Receive("B500000286003D");                  // too short
    Receive("");                                // empty
    EXPECT_EQ(Output(app, 2), 0);
    std::array<quint8, 5> temperature{};
    lists.FindModule(&app, 12)->GetTemperature(temperature);
    EXPECT_EQ(temperature, (std::array<quint8, 5>{}));
    EXPECT_EQ(std::make_tuple(app.DroppedFrames(), powerRefreshes), std::make_tuple(7u, 0));

    // An unknown module is ignored, but an output message still recomputes the power.
    Receive("B50000098600FF43");
    EXPECT_EQ(std::make_tuple(app.DroppedFrames(), powerRefreshes), std::make_tuple(7u, 1));
}

// Values out of range for their kind are dropped and counted like bad frames; the state keeps
// what was reported before.
TEST_F(DispatchTest, ValuesOutOfRangeAreDroppedAsBadFrames)
{
    const auto send = [this](std::initializer_list<int> bytes) {
        QByteArray message;
        for (int b : bytes)
            message.append(char(b));
        app.AssembleBytes(TFrameBuilder::Frame(message));
    };
    const auto level = [this] {
        std::array<quint8, 8> levels{};
        lists.FindModule(&app, 4)->GetLevels(levels);
        return levels[0];
    };
    const auto tenths = [this] {
        std::array<quint8, 5> bytes{};
        lists.FindModule(&app, 12)->GetTemperature(bytes);
        return bytes[1];
    };
    TVQQVariableBaseItem *boolean = lists.FindVariable(&app, 3);
    TVQQVariableBaseItem *counter = lists.FindVariable(&app, 128);
    counter->GetRecord()->MaxValue = 5;
    struct Row
    {
        std::initializer_list<int> frame;
        bool kept;
    };
    const Row rows[] = {
        {{0xB5, 0, 0, 4, 0x88, 0, 100, 0, 0, 0, 0, 0, 0, 0}, true},      // a level of 100 %
        {{0xB5, 0, 0, 4, 0x88, 0, 40, 0, 0, 0, 0, 0, 0, 101}, false},    // one level above 100 %
        {{0xB5, 0, 0, 1, 0x8A, 0, 5, 0, 12, 21, 9, 20, 0, 2}, true},     // 21,9 °C
        {{0xB5, 0, 0, 1, 0x8A, 0, 5, 0, 12, 21, 10, 20, 0, 2}, false},   // a tenth digit of 10
        {{0xB5, 0, 0, 1, 0x8A, 0, 5, 0, 12, 21, 5, 20, 12, 2}, false},   // in the set point too
        {{0xB5, 0, 0, 1, 0x91, 0x14, 0, 3, 0, 1}, true},                  // a boolean true
        {{0xB5, 0, 0, 1, 0x91, 0x14, 0, 3, 0, 2}, false},                 // a boolean 2
        {{0xB5, 0, 0, 1, 0x91, 0x14, 0, 128, 0, 5}, true},                // a counter at its maximum
        {{0xB5, 0, 0, 1, 0x91, 0x14, 0, 128, 0, 6}, false},               // above it
    };
    for (const Row &row : rows) {
        const quint64 dropped = app.DroppedFrames();
        send(row.frame);
        EXPECT_EQ(app.DroppedFrames(), dropped + (row.kept ? 0 : 1)) << std::data(row.frame)[4];
    }
    EXPECT_EQ(std::make_tuple(level(), tenths(), boolean->GetValue(), counter->GetValue()), std::make_tuple(100, 9, 1, 5));
}
