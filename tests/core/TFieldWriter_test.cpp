#include "TFieldWriter.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Numbers lower-case, right-aligned and space-padded; texts, lines and version lines.
TEST(TFieldWriter, EveryFieldAsTheFilesHaveIt)
{
    struct Row { quint32 value; int width; const char *text; };
    const Row rows[] = {
        {1, 2, " 1"}, {0x1f, 2, "1f"}, {0, 2, " 0"}, {127, 2, "7f"}, {255, 2, "ff"},
        {5, 4, "   5"}, {800, 4, " 320"}, {65535, 4, "ffff"}, {0, 4, "   0"},
        {0x45000101, 8, "45000101"}, {0x123, 8, "     123"},
    };
    for (const Row &row : rows) {
        QByteArray out;
        TFieldWriter w(out);
        if (row.width == 2)
            w.Byte(quint8(row.value));
        else if (row.width == 4)
            w.Word(quint16(row.value));
        else
            w.DWord(row.value);
        EXPECT_EQ(out, row.text) << row.value;
    }
    // A number wider than its field is written whole.
    EXPECT_EQ(TFieldWriter::Hex(0x12345, 2), "12345");
    EXPECT_EQ(TFieldWriter::Hex(0xffffffff, 8), "ffffffff");
    EXPECT_EQ(TFieldWriter::Hex(0, 0), "0");

    // Texts, lines and version lines.
    QByteArray out;
    TFieldWriter(out).Byte(1).Text("").PipeText("").PipeText("Hall").Text("x").EndLine().Line("EOF Screen");
    EXPECT_EQ(out, " 1(null)(null)|Hall|x\r\nEOF Screen\r\n");
    EXPECT_EQ(TFieldWriter::VersionLine(4, 5), "*[04]*****");
    EXPECT_EQ(TFieldWriter::VersionLine(3, 1), "*[03]*");
    EXPECT_EQ(TFieldWriter::VersionLine(1, 4), "*[01]****");
    EXPECT_EQ(TFieldWriter::VersionLine(0x1f, 1), "*[1f]*");
}

