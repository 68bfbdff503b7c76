#include "TFieldReader.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Values worked out by hand from the field rule: each character shifts one hexadecimal digit,
// anything but a hexadecimal digit counts as zero.
TEST(TFieldReader, HexFieldsByPositionCutLeftToRight)
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

    // Fields cut one after the other without separators, and never past the line's end. Braces:
    // evaluated in order.
    TFieldReader r(" 1 2   5 320ffff       1rest");
    EXPECT_EQ((std::tuple{r.Byte(), r.Byte(), r.Word(), r.Word(), r.Word(), r.DWord(), r.Rest(), r.AtEnd()}),
              std::make_tuple(1, 2, 5, 800, 65535, 1u, QByteArray("rest"), true));
    TFieldReader shortLine(" 1 ");
    EXPECT_EQ((std::tuple{shortLine.Byte(), shortLine.Word(), shortLine.DWord(), shortLine.AtEnd(), shortLine.Name31(), shortLine.PipeText(), shortLine.Rest()}),
              std::make_tuple(1, 0, 0u, true, QByteArray(), QByteArray(), QByteArray()));
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
