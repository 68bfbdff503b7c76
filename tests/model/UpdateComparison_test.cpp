#include "TDataFileManager.h"
#include "TProgramLists.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include "QtPrinters.h"
#include "RecordingLink.h"
#include "RecordingMessages.h"

#include <gtest/gtest.h>

namespace {

ModuleRecord Module(quint16 number, quint16 type, quint32 serial, const char *name, quint16 options = 0)
{
    ModuleRecord m;
    m.ModuleNumber = number;
    m.ModuleType = type;
    m.SerialNumber = serial;
    m.ModuleOptions = options;
    m.Name = name;
    return m;
}

MemoRecord Memo(quint8 defined, const char *name)
{
    MemoRecord m;
    m.Defined = defined;
    m.Name = name;
    return m;
}

VariableRecord Variable(quint8 defined, const char *name)
{
    VariableRecord v;
    v.Defined = defined;
    v.Name = name;
    return v;
}

// The current installation, and a new export of it with one change of every kind.
class UpdateComparisonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (bool pending : {false, true}) {
            app.AddModule(Module(1, 45, 0x45000001, "QNET04"), pending);
            app.AddModule(Module(2, 6, 0x06000002, "Relays"), pending);
        }
        app.AddModule(Module(3, 6, 0x06000003, "Moved"));
        app.AddModule(Module(30, 6, 0x06000003, "Moved"), true);              // same serial, new number
        app.AddModule(Module(4, 7, 0x07000004, "Options"));
        app.AddModule(Module(4, 7, 0x07000004, "Options", 1), true);          // options changed
        app.AddModule(Module(5, 9, 0x09000005, "Old dimmer"));
        app.AddModule(Module(5, 9, 0x09000055, "New dimmer"), true);          // same number and type, new serial
        app.AddModule(Module(6, 1, 0x01000006, "Gone"));                      // away
        app.AddModule(Module(7, 1, 0x01000007, "Was inputs"));
        app.AddModule(Module(7, 6, 0x06000077, "Now relays"), true);          // same number, other type
        app.AddModule(Module(8, 6, 0xAB000008, "Added"), true);               // new

        app.AddMemo(Memo(1, "Evening"));
        app.AddMemo(Memo(1, "Evening"), true);
        app.AddMemo(Memo(1, "Leaving"));
        app.AddMemo(Memo(0, "Leaving"), true);                                // became undefined
        app.AddMemo(Memo(1, "Night"));
        app.AddMemo(Memo(1, "Night time"), true);                             // renamed: not reported
        app.AddMemo(Memo(0, "Free"));
        app.AddMemo(Memo(1, "Morning"), true);                                // new
        app.AddVariable(Variable(1, "Holiday"));
        app.AddVariable(Variable(1, "Holidays"), true);                       // renamed: reported
        app.AddVariable(Variable(1, "Alarm"));
        app.AddVariable(Variable(0, "Alarm"), true);                          // became undefined
        app.AddVariable(Variable(1, "Heating"), true);                        // new
    }

    RecordingMessages messages;
    TDataFileManager app{nullptr, "a", &messages};
};

} // namespace

TEST_F(UpdateComparisonTest, ChangesAndTheirReport)
{
    ASSERT_TRUE(app.CompareWithPending());
    std::vector<quint8> kinds;
    for (const ChangeRecord &change : app.Comparison().Changes())
        kinds.push_back(quint8(change.Kind));
    EXPECT_EQ(kinds, (std::vector<quint8>{2, 3, 5, 1, 1, 4, 4, 4, 6, 8, 7, 11, 9, 10}));

    EXPECT_TRUE(app.Comparison().ModuleWasDropped(3));   // moved: its controls name the old number
    EXPECT_TRUE(app.Comparison().ModuleWasDropped(6));
    EXPECT_TRUE(app.Comparison().ModuleWasDropped(7));
    EXPECT_FALSE(app.Comparison().ModuleWasDropped(4));  // options changed: kept
    EXPECT_FALSE(app.Comparison().ModuleWasDropped(5));  // replaced: kept
    EXPECT_FALSE(app.Comparison().ModuleWasDropped(2));
    EXPECT_TRUE(app.Comparison().MemoWasDropped(app.MemoAt(1)));
    EXPECT_TRUE(app.Comparison().VariableWasDropped(app.VariableAt(1)));
    EXPECT_FALSE(app.Comparison().VariableWasDropped(app.VariableAt(0)));
    EXPECT_FALSE(app.Comparison().MemoWasDropped(app.MemoAt(2)));

    // Titles, underlines, one line per change, an empty line after every group but the last.
    QStringList report;
    app.Comparison().FormatChangeReport(report);
    const QStringList expected = {
        "Module away", "------------------", "Gone [6]", "Was inputs [7]", "",
        "New module", "-------------", "New dimmer [85]", "Now relays [119]", "Added [8]", "",
        "Replaced module", "---------------------", "Old dimmer [5]", "",
        "New Memo", "----------------", "Morning", "",
        "Memo Not Found", "---------------------", "Leaving", "",
        "New variable", "---------------------", "Heating", "",
        "Variable Not Found", "---------------------", "Alarm", "",
        "Modified Variable", "---------------------", "Holiday",
    };
    EXPECT_EQ(report, expected);
}

TEST_F(UpdateComparisonTest, ApplyingCreatesTheNewItemsAndKeepsTheOldRecordsAlive)
{
    TProgramLists lists(nullptr, QString(), &messages);
    RecordingLink link(1);
    lists.AddApplication(app, &link);
    const TVQQModuleBase *oldDimmer = lists.FindModule(&app, 5);
    ASSERT_TRUE(oldDimmer);
    const size_t modulesBefore = lists.Modules().size();

    ASSERT_TRUE(app.CompareWithPending());
    app.ApplyPending();
    lists.CreateItemsForChanges(app);
    EXPECT_TRUE(app.Pending().Modules.empty());
    EXPECT_EQ(app.Current().Modules.size(), 7u);
    EXPECT_EQ(lists.Modules().size(), modulesBefore + 3);  // the three new modules
    EXPECT_EQ(lists.FindModule(&app, 5), oldDimmer);         // the first object of number 5 stays
    EXPECT_EQ(oldDimmer->GetRecord()->Name, "Old dimmer");   // its record is still alive
    EXPECT_TRUE(lists.FindModule(&app, 8));
    EXPECT_EQ(lists.FindMemo(&app, 3)->GetName(), "Morning");
    EXPECT_EQ(lists.FindVariable(&app, 2)->GetName(), "Heating");
}

TEST_F(UpdateComparisonTest, TheSameExportChangesNothing)
{
    TDataFileManager same(nullptr, "s", &messages);
    for (bool pending : {false, true}) {
        same.AddModule(Module(2, 6, 2, "Relays"), pending);
        same.AddMemo(Memo(1, "Evening"), pending);
        same.AddVariable(Variable(1, "Holiday"), pending);
    }
    EXPECT_FALSE(same.CompareWithPending());
    QStringList report = {"old"};
    same.Comparison().FormatChangeReport(report);
    EXPECT_EQ(report, QStringList({"No changes detected"}));
}
