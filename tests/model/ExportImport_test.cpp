#include "TDataFileManager.h"

#include "RecordingMessages.h"
#include "TFileAccess.h"
#include "TModuleTypes.h"

#include "QtPrinters.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

// A hand-written export: headings of the configuration tool, record lines in the data block's
// layouts, and sections whose lines are never read.
const QByteArray k_export =
    "Configuration export\r\n"
    "SoftVersion\r\n"
    "*[01]*\r\n"
    " 0 0       9   9   6   0   0   0 0 0 0NotAModule\r\n"
    "<tag 1>Modules\r\n"
    "**04\r\n"
    " 0 1 6123401   2   6   0   0   0 0 0 0Relays\r\n"
    " 0 145000101   1  2d   0   0   0 0 0 0QNET04\r\n"
    "Inputs\r\n"
    "*[05]*\r\n"
    " 0 1   2   0   0 1 0 0 0 2   0   0   0   0 0   0 0   0   0 0  96Living room ceiling\r\n"
    "Link\r\n"
    "*[01]*\r\n"
    " 0 1   2   1   0 1 0 0 0 2   0   0   0   0 0   0 0   0   0 0   0Looks like an IO\r\n"
    "Memo\r\n"
    "*[04]*\r\n"
    " 1 0   0   0 0 0 0 0   0   0   1   0Evening\r\n"
    "Memo List\r\n"
    "*[01]*\r\n"
    " 0 2   0   0\r\n"
    "Variable\r\n"
    "*[02]*\r\n"
    " 1 0 0 0 0 0 0 0 0 0   0   0   0   0   0 0 0 0 0   0Holiday mode|\r\n"
    "Parametre 32\r\n"
    "*[02]*\r\n"
    " 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n"
    "Variable systeme\r\n"
    "Modules\r\n"
    "*[04]*\r\n"
    " 0 0       8   8   6   0   0   0 0 0 0AfterTheEnd\r\n";

class ExportImportTest : public ::testing::Test
{
protected:
    RecordingMessages messages;
    TDataFileManager app{nullptr, "old name", &messages};
};

} // namespace

TEST_F(ExportImportTest, ReadsTheRecordSectionsOnly)
{
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    const TRecordSet &r = app.Current();
    ASSERT_EQ(r.Modules.size(), 2u);  // not the SoftVersion line, not the line after the end
    EXPECT_EQ(r.Modules[0]->Name, "Relays");
    EXPECT_EQ(r.Modules[1]->ModuleType, 45);
    ASSERT_EQ(r.Ios.size(), 1u);      // the Link line is not read
    EXPECT_EQ(r.Ios[0]->Name, "Living room ceiling");
    EXPECT_EQ(r.Memos.size(), 1u);
    EXPECT_EQ(r.MemoList.size(), 1u);
    EXPECT_EQ(r.Variables.size(), 1u);
    EXPECT_EQ(r.Param32s.size(), 1u);
    EXPECT_EQ(app.Name(), "/exports/house.qap");
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(ExportImportTest, ImportingTwiceKeepsOneCopy)
{
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    EXPECT_EQ(app.Current().Modules.size(), 2u);
    EXPECT_EQ(app.Current().Ios.size(), 1u);
    EXPECT_EQ(app.Current().Variables.size(), 1u);
}

TEST_F(ExportImportTest, PendingModeLeavesTheApplicationAsItWas)
{
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    QByteArray changed = k_export;
    changed.replace("Relays", "Relays new");
    app.ImportExportContent(changed, "/exports/new.qap", TDataFileManager::ImportPending);
    EXPECT_EQ(app.Name(), "/exports/house.qap");
    EXPECT_EQ(app.Current().Modules[0]->Name, "Relays");
    ASSERT_EQ(app.Pending().Modules.size(), 2u);
    EXPECT_EQ(app.Pending().Modules[0]->Name, "Relays new");
    EXPECT_EQ(app.Pending().ModuleByNumber(2), app.Pending().Modules.at(0));
    EXPECT_EQ(app.Pending().ModuleBySerial(0x45000101), app.Pending().Modules.at(1));
    EXPECT_EQ(app.Pending().Memos.at(0)->Name, "Evening");
    EXPECT_EQ(app.Pending().Variables.at(0)->Name, "Holiday mode");

    // A new pending import empties the pending lists first.
    app.ImportExportContent(changed, "/exports/new.qap", TDataFileManager::ImportPending);
    EXPECT_EQ(app.Pending().Modules.size(), 2u);
}

TEST_F(ExportImportTest, VersionRules)
{
    QByteArray e = k_export;
    e.replace("**04", "*[01]*");         // modules of version 1: none imported
    e.replace("Inputs\r\n*[05]*", "Inputs\r\n*[06]*");
    e.replace("Living room ceiling\r\n", "Living room ceiling\r\n" + e.mid(e.indexOf(" 0 1   2   0"), 72) + "Second\r\n");
    app.ImportExportContent(e, "p", TDataFileManager::ImportReplace);
    EXPECT_TRUE(app.Current().Modules.empty());
    EXPECT_TRUE(app.Current().Ios.empty());
    EXPECT_EQ(messages.Shown, QStringList({"TableIO Not handled", "TableIO Not handled"}));
    EXPECT_EQ(app.Current().Memos.size(), 1u);

    // Version 1 modules, inputs still read.
    messages.Shown.clear();
    QByteArray v1 = k_export;
    v1.replace("**04", "**01");
    app.ImportExportContent(v1, "p", TDataFileManager::ImportReplace);
    EXPECT_TRUE(app.Current().Modules.empty());
    EXPECT_EQ(app.Current().Ios.size(), 1u);
}

TEST_F(ExportImportTest, OddLinesNeverStopTheImport)
{
    QByteArray e = k_export;
    // A "<" without ">" keeps the line as it is; it is ignored like any line of the Link section.
    e.replace("Memo\r\n*[04]*", "<unclosed tag Memo\r\nMemo\r\n*[04]*");
    app.ImportExportContent(e, "p", TDataFileManager::ImportReplace);
    EXPECT_EQ(app.Current().Modules.size(), 2u);
    EXPECT_EQ(app.Current().Memos.size(), 1u);

    // Only the first tag goes: "<b>Memo" is no heading, so the memo section is never opened.
    QByteArray twoTags = k_export;
    twoTags.replace("Memo\r\n*[04]*", "<a><b>Memo\r\n*[04]*");
    app.ImportExportContent(twoTags, "p", TDataFileManager::ImportReplace);
    EXPECT_TRUE(app.Current().Memos.empty());
    EXPECT_EQ(app.Current().MemoList.size(), 1u);

    app.ImportExportContent("", "empty", TDataFileManager::ImportReplace);
    EXPECT_TRUE(app.Current().Modules.empty());
    EXPECT_EQ(app.Name(), "empty");
}

TEST_F(ExportImportTest, FileThatCannotBeOpenedChangesNothing)
{
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    EXPECT_FALSE(app.ExportImport(QStringLiteral("/no/such/export.qap"), TDataFileManager::ImportReplace));
    EXPECT_EQ(app.Name(), "/exports/house.qap");
    EXPECT_EQ(app.Current().Modules.size(), 2u);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("house.qap"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(path, k_export));
    ASSERT_TRUE(app.ExportImport(path, TDataFileManager::ImportReplace));
    EXPECT_EQ(app.Name(), path.toUtf8());
}

// The test installation (tests/data/house): every module kind, memos and variables of every
// kind, and a data block that reads back to the same records and bytes.
TEST(DemoExport, ImportsAndRoundTripsThroughTheDataBlock)
{
    RecordingMessages messages;
    TDataFileManager app(nullptr, {}, &messages);
    ASSERT_TRUE(app.ExportImport(QStringLiteral(QUELNOR_TEST_EXPORT), TDataFileManager::ImportReplace));
    EXPECT_TRUE(messages.Shown.isEmpty());
    const TRecordSet &r = app.Current();

    std::set<ModuleKind> kinds;
    std::set<quint16> types;
    bool typeWithoutKind = false;
    for (const ModuleRecord *m : r.Modules) {
        kinds.insert(TModuleTypes::KindOf(m->ModuleType));
        types.insert(m->ModuleType);
        typeWithoutKind |= TModuleTypes::KindOf(m->ModuleType) == ModuleKind::None
                           && !TModuleTypes::IsInterfaceModule(m->ModuleType);
        // Every module's IOs start at its FirstIoIndex and follow it.
        const IoRecord *first = app.IoAt(m->FirstIoIndex);
        if (first && first->ModuleNumber == m->ModuleNumber) {
            EXPECT_EQ(first->Channel, 0) << m->Name.constData();
        }
    }
    for (quint16 type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 17, 24, 30, 31, 33, 36, 38, 40, 50, 55, 45})
        EXPECT_TRUE(types.count(type)) << type;
    EXPECT_TRUE(typeWithoutKind);
    quint16 interfaceNumber = 0;
    EXPECT_EQ(app.FindInterfaceModule(interfaceNumber), 0);

    std::set<int> memoKinds;
    bool undefinedMemo = false;
    for (const MemoRecord *m : r.Memos) {
        if (m->Defined == 1)
            memoKinds.insert(m->MemoKind);
        undefinedMemo |= m->Defined != 1;
    }
    EXPECT_EQ(memoKinds, std::set<int>({0, 1, 2}));
    EXPECT_TRUE(undefinedMemo);
    std::set<int> variableKinds;
    bool undefinedVariable = false;
    for (const VariableRecord *v : r.Variables) {
        if (v->Defined == 1)
            variableKinds.insert(v->VariableKind);
        undefinedVariable |= v->Defined != 1;
    }
    EXPECT_EQ(variableKinds, std::set<int>({0, 1}));
    EXPECT_TRUE(undefinedVariable);

    int longPress = 0, withPower = 0, withParameters = 0;
    for (const IoRecord *io : r.Ios) {
        longPress += io->LongPress != 0 && io->ParamKind != 21;
        withPower += io->Power != 0;
        if (io->ParamKind == 21) {
            ++withParameters;
            EXPECT_TRUE(app.Param32At(io->ParamKind, io->ParamIndex())) << io->Name.constData();
        }
    }
    EXPECT_GT(longPress, 0);
    EXPECT_GT(withPower, 0);
    EXPECT_GT(withParameters, 0);

    app.Settings().SourcePath = app.Name();
    const QByteArray block = app.DataBlock();
    TDataFileManager back(nullptr, app.Name(), &messages);
    back.ReadDataBlockFrom(block, app.Name());
    const TRecordSet &b = back.Current();
    ASSERT_EQ(b.Modules.size(), r.Modules.size());
    ASSERT_EQ(b.Ios.size(), r.Ios.size());
    ASSERT_EQ(b.Memos.size(), r.Memos.size());
    ASSERT_EQ(b.MemoList.size(), r.MemoList.size());
    ASSERT_EQ(b.Variables.size(), r.Variables.size());
    ASSERT_EQ(b.Param32s.size(), r.Param32s.size());
    for (size_t i = 0; i < r.Modules.size(); ++i)
        EXPECT_EQ(*b.Modules[i], *r.Modules[i]);
    for (size_t i = 0; i < r.Ios.size(); ++i)
        EXPECT_EQ(*b.Ios[i], *r.Ios[i]);
    for (size_t i = 0; i < r.Memos.size(); ++i)
        EXPECT_EQ(*b.Memos[i], *r.Memos[i]);
    for (size_t i = 0; i < r.MemoList.size(); ++i)
        EXPECT_EQ(*b.MemoList[i], *r.MemoList[i]);
    for (size_t i = 0; i < r.Variables.size(); ++i)
        EXPECT_EQ(*b.Variables[i], *r.Variables[i]);
    for (size_t i = 0; i < r.Param32s.size(); ++i)
        EXPECT_EQ(*b.Param32s[i], *r.Param32s[i]);
    EXPECT_EQ(back.DataBlock(), block);
}
