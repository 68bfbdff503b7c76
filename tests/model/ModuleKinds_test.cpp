#include "TDataFileManager.h"
#include "TProgramLists.h"
#include "TVQQBxModule.h"
#include "TVQQModuleBase.h"

#include "RecordingLink.h"
#include "Lookups.h"
#include "RecordingMessages.h"
#include "TestControl.h"
#include "TestInstallation.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// One module of every kind; the interface module first. IO indexes follow the order below:
// Kob 0-2, Bx 3-6, Dim9 7, Dim36 8, Zul 9-10, Nax 11-12, Temp0x 13, IOTemp 14, In10V 15.
class ModuleKindsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddTestModule(app, 1, 45, 0x45000001, "QNET04");
        AddTestModule(app, 2, 6, 0x06000002, "Relays", {{0, 100}, {1, 60}, {2}});
        AddTestModule(app, 3, 3, 0x03000003, "Buttons", {{0, 0, 1, 0x201}, {1, 0, 0, 0x202}, {2}, {3}});
        AddTestModule(app, 4, 9, 0x09000004, "Dimmer 9", {{0, 200}});
        AddTestModule(app, 5, 36, 0x24000005, "Dimmer 36", {{0, 200}});
        AddTestModule(app, 6, 7, 0x07000006, "Shutters", {{0, 50}, {1}});
        AddTestModule(app, 7, 1, 0x01000007, "Inputs", {{0, 0, 1, 0x301}, {1, 0, 0, 0x302}});
        AddTestModule(app, 8, 10, 0x0a000008, "Thermostat", {{0}});
        AddTestModule(app, 9, 33, 0x21000009, "Panel", {{6}});
        AddTestModule(app, 10, 31, 0x1f00000a, "Analogue", {{0, 0, 1, 0x401}});
        AddTestModule(app, 11, 13, 0x0d00000b, "Key switch", {{0}});
        lists.AddApplication(app, &link);
    }

    TVQQModuleBase &Module(quint16 number) { return Found(lists.FindModule(&app, number), "module"); }
    quint8 State(quint16 number, quint16 channel)
    {
        quint8 state = 0xEE;
        Module(number).GetChannelState(state, channel);
        return state;
    }

    RecordingMessages messages;
    RecordingLink link{0x0001};
    TDataFileManager app{nullptr, "/data/house.qap", &messages};
    TProgramLists lists{nullptr, QString(), &messages};
};


} // namespace

TEST_F(ModuleKindsTest, ModelBuildingMakesOneObjectPerModuleWithAKind)
{
    EXPECT_EQ(lists.Modules().size(), 9u);  // not the interface module, not type 13
    EXPECT_EQ(lists.FindModule(&app, 11), nullptr);
    EXPECT_EQ(lists.FindModule(&app, 1), nullptr);
    EXPECT_EQ(std::make_tuple(Module(2).Kind(), Module(3).Kind(), Module(5).Kind(), Module(10).Kind()),
              std::make_tuple(ModuleKind::Kob, ModuleKind::Bx, ModuleKind::Dim, ModuleKind::In10V));
    EXPECT_EQ(std::make_tuple(link.InterfaceIndex(), link.InterfaceAddress()), std::make_tuple(0, 1));
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_EQ(Module(2).GetLink(), &link);

    // Without an interface module the application still loads, with a warning naming the export.
    TDataFileManager other(nullptr, "k", &messages);
    other.Settings().SourcePath = "C:\\exports\\garage.qap";
    AddTestModule(other, 2, 6, 1, "Relays", {{0}});
    lists.AddApplication(other);
    EXPECT_EQ(messages.Shown, QStringList({"Warning No visual communication module in application:\ngarage.qap"}));
    EXPECT_EQ(other.Link()->InterfaceIndex(), SerialPort::NoInterface);
    EXPECT_NE(lists.FindModule(&other, 2), lists.FindModule(&app, 2));
    lists.RemoveApplication(other);
    EXPECT_EQ(lists.FindModule(&other, 2), nullptr);
    EXPECT_EQ(lists.Modules().size(), 9u);

    // Look-ups answer the first match in list order.
    TDataFileManager second(nullptr, "b", &messages);
    AddTestModule(second, 5, 6, 1, "First");
    AddTestModule(second, 5, 9, 2, "Second");
    lists.AddApplication(second);
    EXPECT_EQ(lists.FindModule(&second, 5)->Kind(), ModuleKind::Kob);
    EXPECT_EQ(lists.FindModule(&app, 2)->GetApplication(), &app);
    lists.RemoveApplication(second);
    EXPECT_EQ(lists.FindModule(&second, 5), nullptr);
    EXPECT_NE(lists.FindModule(&app, 2), nullptr);
}

TEST_F(ModuleKindsTest, TestToggles)
{
    // Kob: flips the output bit.
    Module(2).ToggleTestState(1);
    EXPECT_EQ(std::make_tuple(State(2, 1), State(2, 0)), std::make_tuple(quint8(1), quint8(0)));
    // Bx of type 3 (two buttons): channel 2 is the first indicator, channel 1 the second button.
    auto &bx = static_cast<TVQQBxModule &>(Module(3));
    EXPECT_EQ(bx.ButtonCount(), 2);
    bx.ToggleTestState(2);
    quint8 bits = 0;
    bx.GetOutputStatus(bits);
    EXPECT_EQ(bits, 0x01);
    bx.ToggleTestState(1);
    bx.GetInputStatus(bits);
    EXPECT_EQ(bits, 0x02);
    EXPECT_EQ(std::make_tuple(State(3, 1), State(3, 2), State(3, 3)), std::make_tuple(1, 1, 0));
    // Dimmer: 0 <-> 100.
    Module(4).ToggleTestState(0);
    EXPECT_EQ(State(4, 0), 100);
    Module(4).ToggleTestState(0);
    EXPECT_EQ(std::make_tuple(State(4, 0), State(4, 9)), std::make_tuple(quint8(0), quint8(0)));
    // Shutter: neither -> up -> down.
    EXPECT_EQ(State(6, 0), 2);
    Module(6).ToggleTestState(0);
    EXPECT_EQ(State(6, 0), 1);
    Module(6).ToggleTestState(0);
    EXPECT_EQ(State(6, 0), 0);
    Module(6).GetOutputStatus(bits);
    EXPECT_EQ(bits, 0x02);
    // Inputs flip their input bit; thermostats their output bit; 0-10 V inputs do not change.
    Module(7).ToggleTestState(1);
    EXPECT_EQ(State(7, 1), 1);
    Module(9).ToggleTestState(3);
    Module(9).GetInputStatus(bits);
    EXPECT_EQ(bits, 0x08);
    Module(8).ToggleTestState(0);
    Module(8).GetOutputStatus(bits);
    EXPECT_EQ(bits, 0x01);
    Module(10).ToggleTestState(0);
    Module(10).GetInputStatus(bits);
    EXPECT_EQ(bits, 0x00);
    // Channels past the eight bits change nothing.
    Module(2).ToggleTestState(9);
    EXPECT_EQ(State(2, 9), 0);
    // Channels without a state read as zero.
    for (quint16 number : {8, 9, 10})
        EXPECT_EQ(State(number, 0), 0) << number;
}

TEST_F(ModuleKindsTest, PowerTotal)
{
    // The shutter's channel 0 (50 W) is in neither position from the start, which counts as on.
    app.RecomputePower(false);
    EXPECT_EQ(lists.CurrentPower(), 50u);
    // Relay channel 0: 100 W.
    Module(2).ToggleTestState(0);
    EXPECT_EQ(lists.CurrentPower(), 150u);
    // A type-9 dimmer at 50 % of 200 W counts 100 W ...
    Module(4).SetLevelTest(50, 0);
    EXPECT_EQ(lists.CurrentPower(), 250u);
    // ... a type-36 dimmer at 50 % counts the whole 200 W.
    Module(5).SetLevelTest(50, 0);
    EXPECT_EQ(lists.CurrentPower(), 450u);
    EXPECT_EQ(app.PowerTotal(), 450);
    // The scale: every power (100 + 60 + 200 + 200 + 50) plus 100.
    EXPECT_EQ(lists.PowerScaleMaximum(), 0u);
    app.RecomputePower(true);
    EXPECT_EQ(lists.PowerScaleMaximum(), 710u);
    // The shutter moved down: state 0, no longer counted.
    Module(6).ToggleTestState(0);
    Module(6).ToggleTestState(0);
    app.RecomputePower(false);
    EXPECT_EQ(lists.CurrentPower(), 400u);
}

TEST_F(ModuleKindsTest, CommandsGoThroughTheBuilders)
{
    Module(2).SendToggle(1);             // IO index 1
    Module(4).SendDimLevel(0, 50);       // IO index 7
    Module(3).SendPushEvent(1, 0);       // command number 0x201
    Module(7).SendPushEvent(3, 0);       // command number 0x301
    Module(10).SendPushEvent(4, 0);      // command number 0x401
    Module(8).SendTemperatureCommand(0, 10, 0);
    Module(9).SendTemperatureCommand(0, 7, 5);
    Module(6).SendToggle(0);             // IO index 9
    Module(2).SendToggle(7);             // no such IO: nothing
    Module(10).SendToggle(0);            // 0-10 V inputs send no toggle
    Module(8).SendToggle(0);             // nor thermostats
    // Message bytes written by hand from the protocol table, checksums computed apart.
    const QByteArrayList expected = {
        Framed("B503000160000200011C"),
        Framed("B5030001600102000704320059"),
        Framed("B503000161020302010123"),
        Framed("B503000161030303010327"),
        Framed("B50300016104030401042A"),
        Framed("B50300018A050A00085A"),
        Framed("B50300018A06070009055E"),
        Framed("B503000160070200092B"),
    };
    EXPECT_EQ(link.Written, expected);
}

TEST_F(ModuleKindsTest, NamesLongPressAndRefresh)
{
    // IO 5 of module 7 does not exist; relays have no long press.
    EXPECT_EQ(QList<bool>({Module(3).IsLongPressIO(0), Module(3).IsLongPressIO(1), Module(7).IsLongPressIO(0), Module(10).IsLongPressIO(0),
                           Module(7).IsLongPressIO(5), Module(2).IsLongPressIO(0)}),
              QList<bool>({true, false, true, true, false, false}));
    ModuleRecord *record = Module(2).GetRecord();
    record->SerialNumber = 0xAB123456;
    // The serial's lower 24 bits, 0x123456, in decimal; no IO 5.
    EXPECT_EQ(QByteArrayList({Module(2).GetDisplayName(), Module(2).GetIoName(1), Module(2).GetIoName(5)}),
              QByteArrayList({"Relays [1193046]", "Relays 1", ""}));

    TestControl run(RunMode::RunTime), test(RunMode::Test), design(RunMode::DesignTime), before(RunMode::NotSet), memo(RunMode::RunTime);
    for (TestControl *c : {&run, &test, &design, &before})
        c->Bind(Module(2));
    memo.BindAsMemo(Module(2));
    Module(2).SetOutputStatus("\x05");
    EXPECT_EQ(State(2, 2), 1);
    EXPECT_EQ(QList<int>({run.Refreshes, test.Refreshes, design.Refreshes, before.Refreshes, memo.Refreshes}), QList<int>({1, 1, 0, 0, 1}));
    Module(2).RemoveControl(&run);
    Module(2).SetOutputStatus("\x00");
    EXPECT_EQ(std::make_tuple(run.Refreshes, test.Refreshes), std::make_tuple(1, 2));
}
