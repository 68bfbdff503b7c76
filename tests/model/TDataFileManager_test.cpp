#include "TDataFileManager.h"

#include "RecordingMessages.h"
#include "TFileAccess.h"

#include "QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A small application's data block, written by hand: App Data version 1, every section with its
// record-version line, one or two records each, "EOF DataFile".
const QByteArray k_houseBlock =
    "App Data\r\n"
    "*[01]*\r\n"
    " 3 0 1 14449127.0.0.1|secret|/data/house.qap|\r\n"
    "Version\r\n"
    "*[02]*\r\n"
    "Module\r\n"
    "*[04]*\r\n"
    " 0 1 6123401   2   6   0   0   0 0 0 0Relays\r\n"
    " 0 145000101 102  2d   0   2   0 0 0 0QNET04\r\n"
    "ModInput\r\n"
    "*[05]*\r\n"
    " 0 1   2   0   0 1 0 0 0 2   0   0   0   0 0   0 0   0   0 0  96Living room ceiling\r\n"
    " 0 1   2   1   0 115 0 0 1   0   0   0   0 0 101 0   0   0 0   0Hall button\r\n"
    "Memo\r\n"
    "*[04]*\r\n"
    " 1 0   0   0 0 0 0 0   0   0   1   0Evening\r\n"
    " 0 0   0   0 0 0 0 0   0   0   0   0Unused\r\n"
    "MemoList\r\n"
    "*[01]*\r\n"
    " 0 2   0   0\r\n"
    "Variable\r\n"
    "*[02]*\r\n"
    " 1 0 0 0 0 0 0 0 0 0   0   0   0   0   0 0 0 0 0   0Holiday mode|\r\n"
    "Parametre32\r\n"
    "*[02]*\r\n"
    " 1 0 010276c7578" + QByteArray(" 0").repeated(25) + "\r\n"
    "EOF DataFile\r\n";

QByteArray WithBlocks(std::initializer_list<QByteArray> blocks)
{
    QByteArray file = "Version prj\r\n*[04]*****\r\nProjectList\r\n*[01]*****\r\nEOF ProjectFile\r\n";
    for (const QByteArray &b : blocks)
        file += b;
    file += "Screen\r\n*[03]*\r\nEOF Screen\r\n";
    return file;
}

QByteArray Block(QByteArray block, const QByteArray &path, const QByteArray &moduleName)
{
    block.replace("/data/house.qap", path);
    block.replace("Relays", moduleName);
    return block;
}

class DataFileManagerTest : public ::testing::Test
{
protected:
    RecordingMessages messages;
    TDataFileManager app{nullptr, "/data/house.qap", &messages};
};

} // namespace

TEST_F(DataFileManagerTest, BlockReadBackAndWrittenAgainGivesTheSameBytes)
{
    app.ReadDataBlockFrom(WithBlocks({k_houseBlock}), "/data/house.qap");
    const TRecordSet &r = app.Current();
    ASSERT_EQ(std::make_tuple(r.Modules.size(), r.Ios.size(), r.Memos.size(), r.MemoList.size(), r.Variables.size(), r.Param32s.size()),
              std::make_tuple(2u, 2u, 2u, 1u, 1u, 1u));
    const TVISUALQvpInfo &settings = app.Settings();
    EXPECT_EQ(std::tie(settings.LinkKind, settings.UdpPort, settings.Host, settings.Password, settings.SourcePath),
              std::make_tuple(LinkKinds::Udp, 17481, QByteArray("127.0.0.1"), QByteArray("secret"), QByteArray("/data/house.qap")));
    EXPECT_EQ(std::make_tuple(r.Modules[1]->SerialNumber, r.Modules[1]->ModuleNumber, r.Ios[0]->Power, r.Ios[1]->ParamKind, r.Ios[1]->LongPress,
                              r.Ios[1]->CommandNumber, r.Param32s[0]->Params[2], r.Param32s[0]->Params[3]),
              std::make_tuple(0x45000101u, 0x0102, 150, 21, 0, 0x101, 0x10, 0x27));
    EXPECT_TRUE(messages.Shown.isEmpty());

    EXPECT_EQ(app.DataBlock(), k_houseBlock);
}

TEST_F(DataFileManagerTest, EmptyApplicationWritesEveryHeadingAndReadsBackEmpty)
{
    const QByteArray expected =
        "App Data\r\n*[01]*\r\n 0 0 0 0   0(null)|(null)|/data/house.qap|\r\n"
        "Version\r\n*[02]*\r\n"
        "Module\r\n*[04]*\r\n"
        "ModInput\r\n*[05]*\r\n"
        "Memo\r\n*[04]*\r\n"
        "MemoList\r\n*[01]*\r\n"
        "Variable\r\n*[02]*\r\n"
        "Parametre32\r\n*[02]*\r\n"
        "EOF DataFile\r\n";
    EXPECT_EQ(app.DataBlock(), expected);

    TDataFileManager back(nullptr, "/data/house.qap", &messages);
    back.ReadDataBlockFrom(WithBlocks({expected}), "/data/house.qap");
    EXPECT_TRUE(back.Current().Modules.empty());
    EXPECT_EQ(back.Settings().Host, "(null)");
    EXPECT_EQ(back.DataBlock(), expected);
}

TEST_F(DataFileManagerTest, EachApplicationFindsItsOwnBlockByKey)
{
    const QByteArray file = WithBlocks({Block(k_houseBlock, "/data/a.qap", "Relays A"),
                                        Block(k_houseBlock, "/data/b.qap", "Relays B")});
    for (const char *key : {"/data/b.qap", "/data/a.qap"}) {
        TDataFileManager one(nullptr, key, &messages);
        one.ReadDataBlockFrom(file, key);
        ASSERT_EQ(one.Current().Modules.size(), 2u) << key;
        EXPECT_EQ(one.Current().Modules[0]->Name, QByteArray("Relays ") + QByteArray(key).mid(6, 1).toUpper());
        EXPECT_EQ(one.Settings().SourcePath, key);
    }

    // No block carries the key: no records, and the settings of the last App Data record met.
    TDataFileManager none(nullptr, "/data/c.qap", &messages);
    none.ReadDataBlockFrom(file, "/data/c.qap");
    EXPECT_TRUE(none.Current().Modules.empty());
    EXPECT_EQ(none.Settings().SourcePath, "/data/b.qap");
}

TEST_F(DataFileManagerTest, VersionsOfAppDataAndOfEachSection)
{
    QByteArray v0 = k_houseBlock;
    v0.replace("*[01]*\r\n 3 0 1 14449", "  \r\n 3 0 14449");
    app.ReadDataBlockFrom(WithBlocks({v0}), "/data/house.qap");
    EXPECT_EQ(std::make_tuple(app.Settings().HasPassword, app.Settings().ApplicationId, app.Current().Modules.size()), std::make_tuple(1, 1, 2u));

    // A version line starting "**" is no App Data version: nothing parsed, so no key matches.
    QByteArray unknown = k_houseBlock;
    unknown.replace("App Data\r\n*[01]*", "App Data\r\n**01");
    TDataFileManager other(nullptr, "/data/house.qap", &messages);
    other.ReadDataBlockFrom(WithBlocks({unknown}), "/data/house.qap");
    EXPECT_TRUE(other.Current().Modules.empty());
    EXPECT_EQ(other.Settings(), TVISUALQvpInfo());

    QByteArray block = k_houseBlock;
    // A module section of version 1 is refused record by record; the other sections still read.
    block.replace("Module\r\n*[04]*", "Module\r\n*[01]*");
    // An IO of version 6 is reported once per line and skipped.
    block.replace("ModInput\r\n*[05]*", "ModInput\r\n*[06]*");
    // A line that is not a version line after the heading makes the section be ignored.
    block.replace("Memo\r\n*[04]*", "Memo\r\nnot a version");
    TDataFileManager sections(nullptr, "/data/house.qap", &messages);
    sections.ReadDataBlockFrom(WithBlocks({block}), "/data/house.qap");
    const TRecordSet &r = sections.Current();
    EXPECT_EQ(std::make_tuple(r.Modules.size(), r.Ios.size(), r.Memos.size(), r.MemoList.size(), r.Variables.size()), std::make_tuple(0u, 0u, 0u, 1u, 1u));
    EXPECT_EQ(messages.Shown, QStringList({"TableIO Not handled", "TableIO Not handled"}));
}

// Empty and short lines before a version line, a last line without line end, lines of any length.
TEST_F(DataFileManagerTest, LineRules)
{
    QByteArray block = k_houseBlock;
    block.replace("Module\r\n*[04]*", "Module\r\n\r\nx\r\n*[04]*");
    block.replace("Relays", QByteArray(5000, 'R'));
    block.replace("Holiday mode|", "Holiday mode|" + QByteArray(6000, 'x'));
    app.ReadDataBlockFrom(WithBlocks({block}), "/data/house.qap");
    ASSERT_EQ(app.Current().Modules.size(), 2u);
    EXPECT_EQ(QByteArrayList({app.Current().Modules[0]->Name, app.Current().Modules[1]->Name, app.Current().Variables[0]->Name}),
              QByteArrayList({QByteArray(31, 'R'), "QNET04", "Holiday mode"}));
    EXPECT_EQ(app.Current().Param32s.size(), 1u);

    const QByteArray file = "App Data\r\n*[01]*\r\n 0 0 1 0   0(null)|(null)|k|\r\nModule\r\n*[04]*\r\n"
                            " 0 0       1   1   6   0   0   0 0 0 0\r\n"
                            " 0 0       2   2   6   0   0   0 0 0 0";
    TDataFileManager last(nullptr, "k", &messages);
    last.ReadDataBlockFrom(file, "k");
    ASSERT_EQ(last.Current().Modules.size(), 2u);
    EXPECT_EQ(QByteArrayList({last.Current().Modules[0]->Name, last.Current().Modules[1]->Name}), QByteArrayList({"", "No Name"}));
}

TEST_F(DataFileManagerTest, ReadsFromAndAppendsToTheProjectFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("house"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(path + QStringLiteral(".qvp"), "Version prj\r\n"));

    app.ReadDataBlockFrom(WithBlocks({k_houseBlock}), "/data/house.qap");
    ASSERT_TRUE(app.WriteDataBlock(path));  // ".qvp" is added
    QByteArray written;
    ASSERT_TRUE(TFileAccess::Read(path + QStringLiteral(".qvp"), written));
    EXPECT_EQ(written, "Version prj\r\n" + k_houseBlock);

    TDataFileManager back(nullptr, "/data/house.qap", &messages);
    back.ReadDataBlock(path + QStringLiteral(".qvp"), "/data/house.qap");
    EXPECT_EQ(back.DataBlock(), k_houseBlock);

    TDataFileManager missing(nullptr, "/data/house.qap", &messages);
    missing.ReadDataBlock(dir.filePath(QStringLiteral("none.qvp")), "/data/house.qap");
    EXPECT_TRUE(missing.Current().Modules.empty());
    EXPECT_FALSE(app.WriteDataBlock(dir.filePath(QStringLiteral("no/such/folder/p.qvp"))));
}

TEST_F(DataFileManagerTest, LookUps)
{
    app.ReadDataBlockFrom(WithBlocks({k_houseBlock}), "/data/house.qap");

    EXPECT_EQ(std::make_tuple(app.FindModuleByNumber(2), app.FindModuleByNumber(9), app.FindModuleBySerial(0x45000101), app.ModuleAt(2)),
              std::make_tuple(app.ModuleAt(0), nullptr, app.ModuleAt(1), nullptr));
    // Module 0x0102 has no IOs.
    EXPECT_EQ(QList<int>({app.FindIoIndex(2, 1), app.FindIoIndex(0x0102, 0), app.FindIoIndex(2, 7)}), QList<int>({1, 0xFFFF, 0xFFFF}));
    quint16 number = 0;
    EXPECT_EQ(app.FindInterfaceModule(number), 1);
    EXPECT_EQ(number, 0x0102);

    MemoRecord stranger;
    EXPECT_EQ(QList<int>({app.MemoIndexOf(app.MemoAt(1)), app.MemoIndexOf(&stranger), app.VariableIndexOf(app.VariableAt(0))}), QList<int>({1, 0, 0}));
    EXPECT_EQ(app.MemoAt(-1), nullptr);
    EXPECT_EQ(QList<const Param32Record *>({app.Param32At(21, 0), app.Param32At(20, 0), app.Param32At(21, 1)}),
              QList<const Param32Record *>({app.Current().Param32s[0], nullptr, nullptr}));
    EXPECT_EQ(app.Pending().ModuleBySerial(0x45000101), nullptr);

    TDataFileManager noInterface(nullptr, "x", &messages);
    EXPECT_EQ(noInterface.FindInterfaceModule(number), 0xFFFF);
}

// The indexes behind the look-ups answer as a scan in list order would, and follow the lists
// as records are added and as pending lists are applied.
TEST(TDataFileManager, LookUpsFollowTheListsAsTheyChange)
{
    RecordingMessages messages;
    TDataFileManager app(nullptr, "house", &messages);
    const auto io = [](quint16 module, quint16 channel) { return IoRecord{.ModuleNumber = module, .Channel = channel}; };
    app.AddIo(io(2, 0));
    app.AddIo(io(2, 1));
    app.AddIo(io(2, 0));  // the same channel again: the first one is found
    const ModuleRecord *relays = app.AddModule({.ModuleNumber = 2, .ModuleType = 6});
    app.AddModule({.ModuleNumber = 2, .ModuleType = 9});
    quint16 number = 0;
    constexpr int none = TDataFileManager::NotFound;
    EXPECT_EQ(QList<int>({app.FindIoIndex(2, 0), app.FindIoIndex(2, 1), app.FindIoIndex(3, 0), app.FindInterfaceModule(number)}), QList<int>({0, 1, none, none}));
    EXPECT_EQ(std::make_tuple(app.FindModuleByNumber(2), app.FindModuleByNumber(1)), std::make_tuple(relays, nullptr));

    // Added after a look-up, an IO and the interface modules are found, the first of them.
    app.AddIo(io(3, 0));
    app.AddModule({.ModuleNumber = 7, .ModuleType = 45});
    app.AddModule({.ModuleNumber = 8, .ModuleType = 26});
    EXPECT_EQ(QList<int>({app.FindIoIndex(3, 0), app.FindInterfaceModule(number), number}), QList<int>({3, 2, 7}));
    EXPECT_EQ(app.FindModuleByNumber(8), app.ModuleAt(3));

    // Pending lists do not count until they are applied; then they alone do.
    app.AddIo(io(5, 4), true);
    app.AddModule({.ModuleNumber = 5, .ModuleType = 26}, true);
    EXPECT_EQ(std::make_tuple(app.FindIoIndex(5, 4), app.FindModuleByNumber(5)), std::make_tuple(none, nullptr));
    app.ApplyPending();
    EXPECT_EQ(QList<int>({app.FindIoIndex(5, 4), app.FindIoIndex(2, 0), app.FindInterfaceModule(number), number}), QList<int>({0, none, 0, 5}));
    EXPECT_EQ(app.FindModuleByNumber(2), nullptr);
}
