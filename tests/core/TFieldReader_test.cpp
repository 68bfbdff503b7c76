#include "TFieldReader.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Values worked out by hand from the field rule: each character shifts one hexadecimal digit,
// anything but a hexadecimal digit counts as zero.
TEST(TFieldReader, HexFieldsByPosition)
{
    struct Row { const char *chars; int width; quint32 expected; };
    const Row rows[] = {
        {" 1", 2, 1},
        {"1 ", 2, 16},         // right alignment matters
        {"1f", 2, 31},
        {"1F", 2, 31},
        {"  1a", 4, 26},
        {" 320", 4, 800},
        {"ffff", 4, 65535},
        {"1g", 2, 16},         // a non-hexadecimal character is a zero digit
        {"-1", 2, 1},
        {"    ", 4, 0},
        {"", 2, 0},
        {"1", 2, 16},          // a missing character counts as a zero digit too
        {"45000101", 8, 0x45000101},
        {"ffffffff", 8, 0xffffffff},
    };
    for (const Row &row : rows)
        EXPECT_EQ(TFieldReader::ParseHex(row.chars, row.width), row.expected) << '"' << row.chars << '"';
}

TEST(TFieldReader, CutsFieldsLeftToRightWithoutSeparators)
{
    TFieldReader r(" 1 2   5 320ffff       1rest");
    EXPECT_EQ(r.Byte(), 1);
    EXPECT_EQ(r.Byte(), 2);
    EXPECT_EQ(r.Word(), 5);
    EXPECT_EQ(r.Word(), 800);
    EXPECT_EQ(r.Word(), 65535);
    EXPECT_EQ(r.DWord(), 1u);
    EXPECT_EQ(r.Rest(), "rest");
    EXPECT_TRUE(r.AtEnd());
}

TEST(TFieldReader, NeverReadsPastTheLine)
{
    TFieldReader r(" 1 ");
    EXPECT_EQ(r.Byte(), 1);
    EXPECT_EQ(r.Word(), 0);
    EXPECT_EQ(r.DWord(), 0u);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.Name31(), "");
    EXPECT_EQ(r.PipeText(), "");
    EXPECT_EQ(r.Rest(), "");
}

TEST(TFieldReader, NameEndsAtBarLineEndOr31Characters)
{
    struct Row { const char *line; const char *name; const char *after; };
    const Row rows[] = {
        {"Hall|tail", "Hall", "tail"},
        {"Hall", "Hall", ""},
        {"Hall\r\n", "Hall", "\r\n"},
        {"Hall\rx", "Hall", "\rx"},
        {"1234567890123456789012345678901", "1234567890123456789012345678901", ""},
        {"12345678901234567890123456789012345", "1234567890123456789012345678901", "2345"},
        {"|x", "", "x"},
    };
    for (const Row &row : rows) {
        TFieldReader r(row.line);
        EXPECT_EQ(r.Name31(), row.name) << row.line;
        EXPECT_EQ(r.Rest(), row.after) << row.line;
    }
}

TEST(TFieldReader, PipeTextResumesAfterTheBarOrConsumesNothing)
{
    TFieldReader r("192.168.1.10|(null)|C:\\exports\\house.qap|");
    EXPECT_EQ(r.PipeText(), "192.168.1.10");
    EXPECT_EQ(r.PipeText(), "(null)");
    EXPECT_EQ(r.PipeText(), "C:\\exports\\house.qap");
    EXPECT_EQ(r.PipeText(), "");
    EXPECT_TRUE(r.AtEnd());

    TFieldReader noBar(" 1no bar here");
    EXPECT_EQ(noBar.Byte(), 1);
    EXPECT_EQ(noBar.PipeText(), "");
    EXPECT_EQ(noBar.Position(), 2);
    EXPECT_EQ(noBar.Rest(), "no bar here");

    // Texts longer than the old 250-character limit are kept whole, so long paths stay keys.
    const QByteArray longPath(400, 'p');
    const QByteArray longLine = longPath + "|next|";
    TFieldReader longText(longLine);
    EXPECT_EQ(longText.PipeText(), longPath);
    EXPECT_EQ(longText.PipeText(), "next");
}
