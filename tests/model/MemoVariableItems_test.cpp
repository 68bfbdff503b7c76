#include "TDataFileManager.h"
#include "TModelFactory.h"
#include "TProgramLists.h"
#include "TVQQMemoBaseItem.h"
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

// IO indexes: relay channel 0 is 0, shutter channels 0 and 1 are 1 and 2, dimmer channel 0 is 3.
class ItemsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddTestModule(app, 1, 45, 1, "QNET04");
        AddTestModule(app, 2, 6, 2, "Relays", {{0}});
        AddTestModule(app, 6, 7, 6, "Shutters", {{0}, {1}});
        AddTestModule(app, 4, 9, 4, "Dimmer", {{0}});
        for (const auto &[kind, io] : {std::pair{2, 0}, {2, 1}, {1, 0}, {2, 3}})
            app.AddMemoListEntry(MemoListRecord{0, quint8(kind), quint16(io), 0});
        AddMemo(1, 0, 0, "Evening");
        AddMemo(0, 0, 0, "Unused");
        AddMemo(1, 1, 1, "Shutters");
        AddMemo(1, 0, 2, "Leaving");
        AddMemo(1, 2, 3, "Dimmed");
        AddMemo(1, 3, 0, "Odd kind");
        AddMemo(1, 0, 99, "No entry");
        AddVariable(1, 0, 0, "Holiday");
        AddVariable(0, 0, 0, "Unused");
        AddVariable(1, 1, 3, "Guests");
        AddVariable(1, 1, 0, "Zero");
        AddVariable(1, 2, 0, "Odd kind");
        lists.AddApplication(app, &link);
    }

    void AddMemo(quint8 defined, quint8 kind, quint16 firstEntry, const QByteArray &name)
    {
        app.AddMemo({.Defined = defined, .FirstEntryIndex = firstEntry, .MemoKind = kind, .Name = name});
    }
    void AddVariable(quint8 defined, quint8 kind, quint8 maxValue, const QByteArray &name)
    {
        app.AddVariable({.Defined = defined, .VariableKind = kind, .MaxValue = maxValue, .Name = name});
    }
    TVQQMemoBaseItem &Memo(quint16 number) { return Found(lists.FindMemo(&app, number), "memo"); }
    TVQQVariableBaseItem &Variable(quint16 number) { return Found(lists.FindVariable(&app, number), "variable"); }
    TVQQModuleBase &Module(quint16 number) { return Found(lists.FindModule(&app, number), "module"); }

    RecordingMessages messages;
    RecordingLink link{1};
    TDataFileManager app{nullptr, "a", &messages};
    TProgramLists lists{nullptr, QString(), &messages};
};


} // namespace

TEST_F(ItemsTest, MemoNumbersCountUndefinedMemos)
{
    ASSERT_EQ(lists.Memos().size(), 5u);  // not the undefined one, not kind 3
    EXPECT_EQ(std::make_tuple(lists.FindMemo(&app, 1), lists.FindMemo(&app, 5)), std::make_tuple(nullptr, nullptr));
    EXPECT_EQ(QByteArrayList({Memo(2).GetName(), Memo(6).GetName(), Memo(0).GetKindText(), Memo(2).GetKindText(), Memo(4).GetKindText()}),
              QByteArrayList({"Shutters", "No entry", "Memo", "ZUL memo", "Dimmer memo"}));

    Memo(2).SendRecall();
    EXPECT_EQ(link.Written, QByteArrayList({Framed("B5030001600009000224")}));
}

TEST_F(ItemsTest, ResolveIoFollowsTheFirstEntry)
{
    // Memo 3's first entry is of kind 1: nothing to follow; memo 6 has no entry at 99.
    EXPECT_EQ(std::make_tuple(Memo(0).GetModule(), Memo(0).GetChannel(), Memo(2).GetModule(), Memo(3).GetModule(), Memo(3).GetEntryKind(), Memo(6).GetModule()),
              std::make_tuple(&Module(2), 0, &Module(6), nullptr, 1, nullptr));

    EXPECT_FALSE(Memo(6).ResolveIo(lists));
    EXPECT_TRUE(Memo(3).ResolveIo(lists));
    MemoRecord undefined = *app.MemoAt(1);
    auto item = TModelFactory::CreateMemoItem(&app, &undefined, &link);
    item->SetMemoList(&app.Current().MemoList);
    EXPECT_FALSE(item->ResolveIo(lists));
    EXPECT_EQ(item->GetModule(), nullptr);
    auto noList = TModelFactory::CreateMemoItem(&app, app.MemoAt(0), &link);
    EXPECT_FALSE(noList->ResolveIo(lists));
}

TEST_F(ItemsTest, MemoStateTexts)
{
    EXPECT_EQ(Memo(0).GetStateText(), "Off");
    Module(2).SetOutputStatus("\x01");
    EXPECT_EQ(Memo(0).GetStateText(), "On");
    EXPECT_EQ(Memo(3).GetStateText(), "Off");  // nothing to follow
    EXPECT_EQ(Memo(6).GetStateText(), "Off");

    EXPECT_EQ(Memo(2).GetStateText(), "None");  // shutter in neither position
    Module(6).ToggleTestState(0);
    EXPECT_EQ(Memo(2).GetStateText(), "On");
    Module(6).ToggleTestState(0);
    EXPECT_EQ(Memo(2).GetStateText(), "Off");

    // A dimmer memo is on at any level above 0.
    EXPECT_EQ(Memo(4).GetStateText(), "Off");
    Module(4).SetLevelTest(50, 0);
    EXPECT_EQ(Memo(4).GetStateText(), "On");
    Module(4).SetLevelTest(0, 0);
    EXPECT_EQ(Memo(4).GetStateText(), "Off");
}

TEST_F(ItemsTest, VariableNumbersAndTexts)
{
    ASSERT_EQ(lists.Variables().size(), 3u);
    EXPECT_EQ(std::make_tuple(lists.FindVariable(&app, 1), lists.FindVariable(&app, 4)), std::make_tuple(nullptr, nullptr));
    EXPECT_EQ(QByteArrayList({Variable(2).GetName(), Variable(0).GetKindText(), Variable(2).GetKindText(), Variable(0).GetValueText(), Variable(0).GetStateText()}),
              QByteArrayList({"Guests", "Boolean", "Value", "false", "Off"}));
    Variable(0).SetValue("\x02");
    EXPECT_EQ(QByteArrayList({Variable(0).GetValueText(), Variable(0).GetStateText()}), QByteArrayList({"true", "On"}));
    Variable(2).SetValue("\x03");
    EXPECT_EQ(Variable(2).GetValueText(), "3");
}

TEST_F(ItemsTest, VariableCommandsAndTheStepOrWrapChoice)
{
    Variable(0).SendToggleVariable();
    Variable(2).SendValueClick();  // 0 below the maximum 3: step
    Variable(2).SetValue("\x03");
    Variable(2).SendValueClick();  // at the maximum: wrap
    Variable(3).SendValueClick();  // maximum 0: always wrap
    Variable(0).SendStep();        // booleans do not step
    const QByteArrayList expected = {
        Framed("B503000160001400002D"), Framed("B503000160011400020B3B"),
        Framed("B503000160021400020233"), Framed("B503000160031400030235"),
    };
    EXPECT_EQ(link.Written, expected);
}

// Without a link, each click of a memo or a variable shows a message and sends nothing.
TEST_F(ItemsTest, ItemsWithoutALinkShowAMessagePerClick)
{
    auto memo = TModelFactory::CreateMemoItem(&app, app.MemoAt(0), nullptr);
    memo->SendRecall();
    memo->SendRecall();
    EXPECT_EQ(messages.Shown, QStringList({"No Serial Port Defined", "No Serial Port Defined"}));
    auto item = TModelFactory::CreateVariableItem(&app, app.VariableAt(2), nullptr);
    item->SendValueClick();
    item->SendToggleVariable();
    item->SendWrap();
    EXPECT_EQ(messages.Shown, QStringList(5, QStringLiteral("No Serial Port Defined")));
    EXPECT_TRUE(link.Written.isEmpty());

    TestControl run(RunMode::RunTime), design(RunMode::DesignTime);
    run.Bind(*item);
    design.Bind(*item);
    item->SetValue("\x01");
    EXPECT_EQ(run.Refreshes, 1);
    EXPECT_EQ(design.Refreshes, 0);
}
