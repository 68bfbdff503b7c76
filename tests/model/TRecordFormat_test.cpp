#include "TRecordFormat.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Every expected line below is written by hand from the field layouts: fields in file order,
// widths 2/4/8, lower-case hexadecimal, right-aligned and space-padded.

namespace {

ModuleRecord SampleModule()
{
    return {.Aux1 = 0x12, .Aux2 = 3, .ModuleNumber = 0x0102, .SerialNumber = 0x45000101, .ModuleType = 45, .ModuleOptions = 1,
            .FirstIoIndex = 0x10, .Aux3 = 0xabcd, .Aux4 = 1, .Aux5 = 2, .Aux6 = 0xff, .Name = "QNET04"};
}

IoRecord SampleIo()
{
    return {.Aux1 = 1, .Aux2 = 2, .ModuleNumber = 3, .Channel = 4, .Aux3 = 5, .ParamKind = 21, .ParamIndexLow = 6, .LongPress = 1,
            .IoKind = 2, .Aux6 = 7, .Aux7 = 8, .Aux8 = 9, .Aux9 = 10, .Aux10 = 11, .Aux11 = 12, .CommandNumber = 0x123,
            .Aux12 = 13, .Aux13 = 14, .Aux14 = 15, .Power = 2000, .Name = "Garden socket"};
}

const QByteArray k_moduleLine = "12 345000101 102  2d   1  10abcd 1 2ffQNET04";
const QByteArray k_ioLineV5 = " 1 2   3   4   5 215 6 1 2   7   8   9   a b 123 c   d   e f 7d0Garden socket";

} // namespace

TEST(TRecordFormat, ModuleWrittenAndReadInEveryVersion)
{
    EXPECT_EQ(TRecordFormat::WriteModule(SampleModule()), k_moduleLine + "\r\n");
    for (int version : {2, 3, 4})
        EXPECT_EQ(TRecordFormat::ReadModule(k_moduleLine, true, version), SampleModule()) << version;
    for (int version : {0, 1, 5, 255})
        EXPECT_FALSE(TRecordFormat::ReadModule(k_moduleLine, true, version)) << version;
}

TEST(TRecordFormat, ModuleNameRules)
{
    const QByteArray numbers = k_moduleLine.left(38);
    struct Row { QByteArray rest; bool hasLineEnd; QByteArray name; };
    const Row rows[] = {
        {"1234567890123456789012345678901", true, "1234567890123456789012345678901"},
        {"1234567890123456789012345678901XYZ", true, "1234567890123456789012345678901"},
        {"", true, ""},
        {"", false, "No Name"},              // the very last line of a file
        {"Relays", false, "Relays"},
        {"Hall|stairs", true, "Hall|stairs"},  // the rest of the line, bar included
    };
    for (const Row &row : rows) {
        const auto m = TRecordFormat::ReadModule(numbers + row.rest, row.hasLineEnd, 4);
        ASSERT_TRUE(m);
        EXPECT_EQ(m->Name, row.name) << row.rest.constData();
    }
    ModuleRecord unnamed = SampleModule();
    unnamed.Name.clear();
    EXPECT_EQ(TRecordFormat::WriteModule(unnamed), numbers + "(null)\r\n");
}

TEST(TRecordFormat, IoLayoutsOfVersions2To5)
{
    EXPECT_EQ(TRecordFormat::WriteIo(SampleIo()), k_ioLineV5 + "\r\n");
    EXPECT_EQ(TRecordFormat::ReadIo(k_ioLineV5, 5), SampleIo());

    // Version 5 carries Aux2 twice; the second value is the one kept.
    IoRecord twice = *TRecordFormat::ReadIo(" 1 9   3   4   5 215 6 1 2   7   8   9   a b 123 c   d   e f 7d0Garden socket", 5);
    EXPECT_EQ(twice, SampleIo());

    const QByteArray v3 = " 1   3   4   5 215 6 1 2   7   8   9   a b 123 c   d   e f 7d0Garden socket";
    EXPECT_EQ(TRecordFormat::ReadIo(v3, 3), SampleIo());
    EXPECT_EQ(TRecordFormat::ReadIo(v3, 4), SampleIo());

    IoRecord withoutPower = SampleIo();
    withoutPower.Aux13 = 0;
    withoutPower.Aux14 = 0;
    withoutPower.Power = 0;
    EXPECT_EQ(TRecordFormat::ReadIo(" 1   3   4   5 215 6 1 2   7   8   9   a b 123 c   dGarden socket", 2), withoutPower);

    for (int version : {0, 1, 6})
        EXPECT_FALSE(TRecordFormat::ReadIo(k_ioLineV5, version)) << version;

    // The name ends at a bar, and after 31 characters.
    const QByteArray numbers = k_ioLineV5.left(k_ioLineV5.indexOf('G'));
    EXPECT_EQ(TRecordFormat::ReadIo(numbers + "Gate|open", 5)->Name, "Gate");
    EXPECT_EQ(TRecordFormat::ReadIo(numbers + QByteArray(40, 'n'), 5)->Name, QByteArray(31, 'n'));
    EXPECT_EQ(SampleIo().ParamIndex(), 256 + 6);
}

TEST(TRecordFormat, MemoAndMemoListLayouts)
{
    const MemoRecord memo{.Defined = 1, .Aux1 = 2, .FirstEntryIndex = 0x10, .Aux2 = 3, .Aux3 = 4, .Aux4 = 5, .MemoKind = 1,
                          .Aux5 = 6, .Aux6 = 7, .Aux7 = 8, .EntryCount = 3, .Aux8 = 9, .Name = "Shutters down"};

    const QByteArray v4 = " 1 2  10   3 4 5 1 6   7   8   3   9Shutters down";
    EXPECT_EQ(TRecordFormat::WriteMemo(memo), v4 + "\r\n");
    EXPECT_EQ(TRecordFormat::ReadMemo(v4, 4), memo);

    const QByteArray v2 = " 1 2  10   3 4   7   8   3   9 5 1 6Shutters down";
    EXPECT_EQ(TRecordFormat::ReadMemo(v2, 2), memo);
    EXPECT_EQ(TRecordFormat::ReadMemo(v2, 3), memo);
    EXPECT_FALSE(TRecordFormat::ReadMemo(v4, 1));
    EXPECT_FALSE(TRecordFormat::ReadMemo(v4, 5));

    // 256 entries or more clear Aux4, the kind and Aux5.
    const auto big = TRecordFormat::ReadMemo(" 1 2  10   3 4 5 1 6   7   8 100   9Big|x", 4);
    EXPECT_EQ(std::make_tuple(big->Aux4, big->MemoKind, big->Aux5, big->EntryCount, big->Name), std::make_tuple(0, 0, 0, 256, QByteArray("Big")));

    // The memo list's entries, in versions 0 and 1.
    const MemoListRecord entry{1, 2, 0x1a, 3};
    EXPECT_EQ(TRecordFormat::WriteMemoList(entry), " 1 2  1a   3\r\n");
    EXPECT_EQ(TRecordFormat::ReadMemoList(" 1 2  1a   3", 0), entry);
    EXPECT_EQ(TRecordFormat::ReadMemoList(" 1 2  1a   3", 1), entry);
    EXPECT_FALSE(TRecordFormat::ReadMemoList(" 1 2  1a   3", 2));
}

TEST(TRecordFormat, Variables)
{
    const VariableRecord v{.Defined = 1, .VariableKind = 1, .Aux1 = 1, .Aux2 = 2, .Aux3 = 3, .Aux4 = 4, .MaxValue = 5, .Aux5 = 6,
                           .Aux6 = 7, .Aux7 = 8, .Aux8 = 9, .Aux9 = 0xa, .Aux10 = 0xb, .Aux11 = 0xc, .Aux12 = 0xd, .Aux13 = 0xe,
                           .Aux14 = 0xf, .Aux15 = 0x10, .Aux16 = 0x11, .Aux17 = 0x1234, .Name = "Guests"};

    const QByteArray line = " 1 1 1 2 3 4 5 6 7 8   9   a   b   c   d e f1011123" "4Guests|";
    EXPECT_EQ(TRecordFormat::WriteVariable(v), line + "\r\n");
    for (int version : {0, 1, 2})
        EXPECT_EQ(TRecordFormat::ReadVariable(line, version), v) << version;
    EXPECT_FALSE(TRecordFormat::ReadVariable(line, 3));

    QByteArray cut = line;
    cut.replace("Guests|", "Gu|ests|");
    EXPECT_EQ(TRecordFormat::ReadVariable(cut, 2)->Name, "Gu");
}

TEST(TRecordFormat, Parametre32Layouts)
{
    QByteArray line = " 1";
    Param32Record p;
    p.ParamId = 1;
    for (int i = 0; i < 32; ++i) {
        p.Params[size_t(i)] = quint8(i);
        line += QByteArray::number(i, 16).rightJustified(2, ' ');
    }
    EXPECT_EQ(line.size(), 66);
    EXPECT_EQ(TRecordFormat::WriteParam32(p), line + "\r\n");
    EXPECT_EQ(TRecordFormat::ReadParam32(line, 2), p);
    EXPECT_FALSE(TRecordFormat::ReadParam32(line, 3));

    // Versions 0 and 1: P0-P2 stay, byte 3 is 0, P3-P26 fill bytes 4-27, bytes 28-31 are 0.
    QByteArray old = " 7";
    for (int i = 0; i < 32; ++i)
        old += QByteArray::number(0x20 + i, 16);
    const std::array<quint8, 32> expected = {
        0x20, 0x21, 0x22, 0x00, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x2b, 0x2c, 0x2d, 0x2e,
        0x2f, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a, 0x00, 0x00, 0x00, 0x00};
    for (int version : {0, 1}) {
        const auto read = TRecordFormat::ReadParam32(old, version);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->ParamId, 7);
        EXPECT_EQ(read->Params, expected) << version;
    }
}

TEST(TRecordFormat, AppDataVersions0And1)
{
    const TVISUALQvpInfo info{.LinkKind = LinkKinds::Udp, .ComPort = 0, .ApplicationId = 1, .HasPassword = 1, .UdpPort = 17481,
                              .Host = "127.0.0.1", .Password = "secret", .SourcePath = "/data/house.qap"};

    const QByteArray v1 = " 3 0 1 14449127.0.0.1|secret|/data/house.qap|";
    EXPECT_EQ(TRecordFormat::WriteAppData(info), v1 + "\r\n");
    EXPECT_EQ(TRecordFormat::ReadAppData(v1, 1), info);

    EXPECT_EQ(TRecordFormat::ReadAppData(" 3 0 14449127.0.0.1|secret|/data/house.qap|", 0), info);
    const auto noPassword = TRecordFormat::ReadAppData(" 1 3 2   0(null)|(null)|C:\\house.qap|", 0);
    EXPECT_EQ(std::make_tuple(noPassword->HasPassword, noPassword->ComPort, noPassword->Host, noPassword->SourcePath),
              std::make_tuple(0, 3, QByteArray("(null)"), QByteArray("C:\\house.qap")));
    EXPECT_FALSE(TRecordFormat::ReadAppData(v1, 2));

    // Empty texts are written "(null)" and read back as that text.
    EXPECT_EQ(TRecordFormat::WriteAppData(TVISUALQvpInfo()), " 0 0 0 0   0(null)|(null)|(null)|\r\n");
}

TEST(TRecordFormat, VersionLines)
{
    const std::pair<const char *, std::optional<int>> rows[] = {{"*[04]*", 4}, {"**05", 5}, {"*[1f]****", 31}, {"*04", {}}, {"[04]", {}}, {"", {}}};
    for (const auto &[line, version] : rows)
        EXPECT_EQ(TRecordFormat::VersionOf(line), version) << line;
}
