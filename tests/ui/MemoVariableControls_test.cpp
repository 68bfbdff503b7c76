#include "TVQMemoBaseControl.h"
#include "TVQVariableBaseControl.h"

#include "QtPrinters.h"
#include "RecordingLink.h"
#include "RecordingMessages.h"
#include "TDataFileManager.h"
#include "TProgramLists.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "TestInstallation.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Relay module 2 (channel 0 at IO index 0), shutter module 3 (channels at 1 and 2); memo 0
// follows the relay, memo 1 (shutter memo) the shutter; variable 0 boolean, 1 a value up to 2.
class ItemControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddTestModule(app, 1, 45, 1, "QNET04");
        AddTestModule(app, 2, 6, 2, "Relays", {{0}});
        AddTestModule(app, 3, 7, 3, "Shutters", {{0}, {1}});
        app.AddMemoListEntry(MemoListRecord{0, 2, 0, 0});
        app.AddMemoListEntry(MemoListRecord{0, 2, 1, 0});
        app.AddMemo({.Defined = 1, .Name = "Evening"});
        app.AddMemo({.Defined = 1, .FirstEntryIndex = 1, .MemoKind = 1, .Name = "Shutters"});
        app.AddVariable({.Defined = 1, .Name = "Holiday"});
        app.AddVariable({.Defined = 1, .VariableKind = 1, .MaxValue = 2, .Name = "Guests"});
        lists.AddApplication(app, &link);
    }
    template <typename Record>
    Record WithPictures(Record r, const char *label)
    {
        r.OnPicture = QByteArray(QUELNOR_PROGRAM_DIR "/Default Images/Memo ON.ico");
        r.OffPicture = QByteArray(QUELNOR_PROGRAM_DIR "/Default Images/Memo OFF.ico");
        r.Label = label;
        return r;
    }

    RecordingMessages messages;
    RecordingLink link{1};
    TDataFileManager app{nullptr, "a", &messages};
    TProgramLists lists{nullptr, QString(), &messages};
    QWidget parent;
};

} // namespace

TEST_F(ItemControlsTest, MemoFollowsItsIoAndRecallsInRunTimeOnly)
{
    TVQMemoMixteControl memo(&parent, lists.FindMemo(&app, 0), nullptr);
    memo.SetDataToControl(WithPictures(TVisualMemoData(), "Evening"));
    memo.SetState(QStringLiteral("On"));
    EXPECT_EQ(memo.ImageIndex(), 0);
    memo.SetRunTimeMode(RunMode::RunTime);
    lists.FindModule(&app, 2)->SetOutputStatus("\x00");  // the relay is off: so is the memo
    EXPECT_EQ(memo.CurrentStateName(), QStringLiteral("Off"));
    EXPECT_EQ(memo.ImageIndex(), 1);

    QTest::mouseClick(&memo, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written, QByteArrayList({"\x02" "B5030001600009000022" "\x03"}));  // memo 0 recalled

    TVisualMemoData readOnly = WithPictures(TVisualMemoData(), "Evening");
    readOnly.ReadOnly = 1;
    memo.SetDataToControl(readOnly);
    QTest::mouseClick(&memo, Qt::LeftButton, {}, QPoint(3, 3));
    memo.SetRunTimeMode(RunMode::Test);
    memo.SetDataToControl(WithPictures(TVisualMemoData(), "Evening"));
    QTest::mouseClick(&memo, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(link.Written.size(), 1);  // read only, then test time: nothing sent

    // A shutter memo keeps its picture for "None".
    TVQMemoZulControl shutters(&parent, lists.FindMemo(&app, 1), nullptr);
    shutters.SetDataToControl(WithPictures(TVisualMemoData(), "Shutters"));
    shutters.SetState(QStringLiteral("On"));
    shutters.SetRunTimeMode(RunMode::RunTime);
    lists.FindModule(&app, 3)->SetOutputStatus("\x02");  // down
    EXPECT_EQ(shutters.CurrentStateName(), QStringLiteral("Off"));
    lists.FindModule(&app, 3)->SetOutputStatus("\x00");  // neither: "None" is ignored
    EXPECT_EQ(shutters.CurrentStateName(), QStringLiteral("Off"));
    lists.FindModule(&app, 3)->SetOutputStatus("\x01");  // up
    EXPECT_EQ(shutters.CurrentStateName(), QStringLiteral("On"));
}

TEST_F(ItemControlsTest, VariablesShowTheirValueAndChooseStepOrWrap)
{
    TVQVariableBoolControl holiday(&parent, lists.FindVariable(&app, 0), nullptr);
    TVisualVariableData record = WithPictures(TVisualVariableData(), "Holiday");
    record.ShowValue = 1;
    holiday.SetDataToControl(record);
    holiday.SetRunTimeMode(RunMode::RunTime);
    EXPECT_EQ(holiday.DisplayText(), QStringLiteral("Holiday: ?"));
    lists.FindVariable(&app, 0)->MarkReported();
    lists.FindVariable(&app, 0)->SetValue("\x00");
    EXPECT_EQ(holiday.CurrentStateName(), QStringLiteral("Off"));
    EXPECT_EQ(holiday.DisplayText(), QStringLiteral("Holiday: false"));
    holiday.SetShowLabel(false);
    EXPECT_EQ(holiday.DisplayText(), QStringLiteral("false"));
    QTest::mouseClick(&holiday, Qt::LeftButton, {}, QPoint(3, 3));  // toggle

    TVQVariableValControl guests(&parent, lists.FindVariable(&app, 1), nullptr);
    guests.SetDataToControl(WithPictures(TVisualVariableData(), "Guests"));
    guests.SetRunTimeMode(RunMode::RunTime);
    QTest::mouseClick(&guests, Qt::LeftButton, {}, QPoint(3, 3));  // 0 below 2: step
    lists.FindVariable(&app, 1)->SetValue("\x02");
    QTest::mouseClick(&guests, Qt::LeftButton, {}, QPoint(3, 3));  // at the maximum: wrap
    // Message bytes by hand: 0x60, seq, 0x14, the variable number, then 0x0B step or 0x02 wrap.
    const QByteArrayList expected = {"\x02" "B503000160001400002D" "\x03", "\x02" "B503000160011400010B3A" "\x03",
                                     "\x02" "B503000160021400010232" "\x03"};
    EXPECT_EQ(link.Written, expected);
}
