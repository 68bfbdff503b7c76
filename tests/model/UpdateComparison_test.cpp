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
    return {.ModuleNumber = number, .SerialNumber = serial, .ModuleType = type, .ModuleOptions = options, .Name = name};
}
MemoRecord Memo(quint8 defined, const char *name) { return {.Defined = defined, .Name = name}; }
VariableRecord Variable(quint8 defined, const char *name) { return {.Defined = defined, .Name = name}; }

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

    // Module 3 moved (its controls name the old number), 6 and 7 gone; 4's options changed and 5
    // was replaced, both kept.
    const TUpdateComparison &c = app.Comparison();
    EXPECT_EQ(QList<bool>({c.ModuleWasDropped(3), c.ModuleWasDropped(6), c.ModuleWasDropped(7), c.ModuleWasDropped(4), c.ModuleWasDropped(5),
                           c.ModuleWasDropped(2)}),
              QList<bool>({true, true, true, false, false, false}));
    EXPECT_EQ(QList<bool>({c.MemoWasDropped(app.MemoAt(1)), c.VariableWasDropped(app.VariableAt(1)), c.VariableWasDropped(app.VariableAt(0)),
                           c.MemoWasDropped(app.MemoAt(2))}),
              QList<bool>({true, true, false, false}));

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

// After the update the model objects match the new lists at once; old records stay alive.
TEST_F(UpdateComparisonTest, ModelObjectsFollowTheNewLists)
{
    TProgramLists lists(nullptr, QString(), &messages);
    RecordingLink link(1);
    lists.AddApplication(app, &link);
    const TVQQModuleBase *dimmer = lists.FindModule(&app, 5);
    ASSERT_TRUE(dimmer);
    const ModuleRecord *gone = app.ModuleAt(5);
    ASSERT_EQ(gone->Name, "Gone");

    ASSERT_TRUE(app.CompareWithPending());
    app.ApplyPending();
    lists.FollowUpdate(app);
    EXPECT_EQ(std::make_tuple(app.Pending().Modules.size(), app.Current().Modules.size(), lists.Modules().size()), std::make_tuple(0u, 7u, 6u));
    // Replaced: the same object, so its controls stay, on the new module's record. Moved: not at
    // its old number but at its new one at once. Away: gone. A number taken by another type: a
    // new object of that kind. The old record is still alive.
    EXPECT_EQ(std::make_tuple(lists.FindModule(&app, 5), dimmer->GetRecord()->Name, lists.FindModule(&app, 3), lists.FindModule(&app, 6), gone->Name),
              std::make_tuple(dimmer, QByteArray("New dimmer"), nullptr, nullptr, QByteArray("Gone")));
    ASSERT_TRUE(lists.FindModule(&app, 30) && lists.FindModule(&app, 7) && lists.FindModule(&app, 8));
    EXPECT_EQ(std::make_tuple(lists.FindModule(&app, 30)->GetRecord(), lists.FindModule(&app, 7)->Kind()), std::make_tuple(app.FindModuleByNumber(30), ModuleKind::Kob));
    EXPECT_EQ(std::make_tuple(lists.FindMemo(&app, 3)->GetName(), lists.FindVariable(&app, 2)->GetName()), std::make_tuple(QByteArray("Morning"), QByteArray("Heating")));
}

// Modules sharing a serial number (0 on modules never read) pair one to one: the same export
// twice changes nothing and drops nothing.
TEST_F(UpdateComparisonTest, ModulesSharingASerialPairOneToOne)
{
    TDataFileManager same(nullptr, "s", &messages);
    for (bool pending : {false, true}) {
        same.AddModule(Module(2, 6, 0, "Relays A"), pending);
        same.AddModule(Module(3, 6, 0, "Relays B"), pending);
        same.AddModule(Module(4, 7, 0, "Shutters"), pending);
    }
    EXPECT_FALSE(same.CompareWithPending());
    for (quint16 number : {2, 3, 4})
        EXPECT_FALSE(same.Comparison().ModuleWasDropped(number)) << number;

    // One of them renumbered: only that one moves.
    TDataFileManager moved(nullptr, "m", &messages);
    moved.AddModule(Module(2, 6, 0, "Relays A"));
    moved.AddModule(Module(3, 6, 0, "Relays B"));
    moved.AddModule(Module(2, 6, 0, "Relays A"), true);
    moved.AddModule(Module(9, 6, 0, "Relays B"), true);
    ASSERT_TRUE(moved.CompareWithPending());
    EXPECT_FALSE(moved.Comparison().ModuleWasDropped(2));
    EXPECT_TRUE(moved.Comparison().ModuleWasDropped(3));
}

TEST_F(UpdateComparisonTest, TheSameExportChangesNothingAndUndefinedIsNotFound)
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

    // A memo or variable whose defined flag becomes anything but 1 is reported as not found.
    TDataFileManager other(nullptr, "o", &messages);
    other.AddMemo(Memo(1, "Evening"));
    other.AddMemo(Memo(2, "Evening"), true);
    other.AddVariable(Variable(1, "Holiday"));
    other.AddVariable(Variable(7, "Holiday"), true);
    ASSERT_TRUE(other.CompareWithPending());
    EXPECT_TRUE(other.Comparison().MemoWasDropped(other.MemoAt(0)));
    EXPECT_TRUE(other.Comparison().VariableWasDropped(other.VariableAt(0)));
}
