#include "TDataFileManager.h"

#include "RecordingMessages.h"
#include "TFileAccess.h"

#include "QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>


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
    // Not the SoftVersion line, not the line after the end; not the Link line.
    ASSERT_EQ(std::make_tuple(r.Modules.size(), r.Ios.size(), r.Memos.size(), r.MemoList.size(), r.Variables.size(), r.Param32s.size()),
              std::make_tuple(2u, 1u, 1u, 1u, 1u, 1u));
    EXPECT_EQ(std::make_tuple(r.Modules[0]->Name, r.Modules[1]->ModuleType, r.Ios[0]->Name), std::make_tuple(QByteArray("Relays"), 45, QByteArray("Living room ceiling")));
    EXPECT_EQ(app.Name(), "/exports/house.qap");
    EXPECT_TRUE(messages.Shown.isEmpty());

    // Imported twice: one copy.
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    EXPECT_EQ(std::make_tuple(r.Modules.size(), r.Ios.size(), r.Variables.size()), std::make_tuple(2u, 1u, 1u));
}

TEST_F(ExportImportTest, PendingModeLeavesTheApplicationAsItWas)
{
    app.ImportExportContent(k_export, "/exports/house.qap", TDataFileManager::ImportReplace);
    QByteArray changed = k_export;
    changed.replace("Relays", "Relays new");
    app.ImportExportContent(changed, "/exports/new.qap", TDataFileManager::ImportPending);
    ASSERT_EQ(app.Pending().Modules.size(), 2u);
    const TRecordSet &pending = app.Pending();
    EXPECT_EQ(QByteArrayList({app.Name(), app.Current().Modules[0]->Name, pending.Modules[0]->Name, pending.Memos.at(0)->Name, pending.Variables.at(0)->Name}),
              QByteArrayList({"/exports/house.qap", "Relays", "Relays new", "Evening", "Holiday mode"}));
    EXPECT_EQ(std::make_tuple(pending.ModuleByNumber(2), pending.ModuleBySerial(0x45000101)), std::make_tuple(pending.Modules.at(0), pending.Modules.at(1)));

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
    // Every parameter entry an IO names is found.
    for (const IoRecord *io : r.Ios) {
        if (io->ParamKind == 21) {
            EXPECT_TRUE(app.Param32At(io->ParamKind, io->ParamIndex())) << io->Name.constData();
        }
    }

    // Every record of every list read back from the data block as it was, and written again the same.
    app.Settings().SourcePath = app.Name();
    const QByteArray block = app.DataBlock();
    TDataFileManager back(nullptr, app.Name(), &messages);
    back.ReadDataBlockFrom(block, app.Name());
    const TRecordSet &b = back.Current();
    const auto same = [](const auto &read, const auto &written) {
        ASSERT_EQ(read.size(), written.size());
        for (size_t i = 0; i < written.size(); ++i)
            EXPECT_EQ(*read[i], *written[i]) << i;
    };
    same(b.Modules, r.Modules);
    same(b.Ios, r.Ios);
    same(b.Memos, r.Memos);
    same(b.MemoList, r.MemoList);
    same(b.Variables, r.Variables);
    same(b.Param32s, r.Param32s);
    EXPECT_EQ(back.DataBlock(), block);
}
