#include "TFrameBuilder.h"

#include "RecordingLink.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Expected frames: the message bytes of the protocol table written by hand, their 8-bit sum
// computed apart (the first row is the documented example).
TEST(TFrameBuilder, EveryBuilderWritesItsExactFrame)
{
    RecordingLink link(0x0102);
    EXPECT_TRUE(TFrameBuilder::BuildIoCommand(link, 0x0010));
    EXPECT_TRUE(TFrameBuilder::BuildDimCommand(link, 0x0010, 50));
    EXPECT_TRUE(TFrameBuilder::BuildValueCommand(link, 0x0123, 3));
    EXPECT_TRUE(TFrameBuilder::BuildTemperatureCommand(link, 0x000C, 7, 2));
    EXPECT_TRUE(TFrameBuilder::BuildTemperatureCommand(link, 0x000C, 10, 99));
    EXPECT_TRUE(TFrameBuilder::BuildTemperatureCommand(link, 0x000C, 11, 99));
    EXPECT_TRUE(TFrameBuilder::BuildTemperatureCommand(link, 0x000C, 5, 1));  // empty message, no sequence
    EXPECT_TRUE(TFrameBuilder::BuildMemoCommand(link, 4));
    EXPECT_TRUE(TFrameBuilder::BuildVariableToggle(link, 0x0080));
    EXPECT_TRUE(TFrameBuilder::BuildVariableCommand2(link, 2));
    EXPECT_TRUE(TFrameBuilder::BuildVariableCommandB(link, 2));
    EXPECT_TRUE(TFrameBuilder::BuildRefreshInputs(link));
    EXPECT_TRUE(TFrameBuilder::BuildRefreshOutputs(link));
    EXPECT_TRUE(TFrameBuilder::BuildHello(link));

    const QByteArrayList expected = {
        Framed("B50301026000020010" "2D"),
        Framed("B5030102600102001004320064"),
        Framed("B503010261020301230348"),
        Framed("B50301028A0307000C025D"),
        Framed("B50301028A040A000C5F"),
        Framed("B50301028A050B000C61"),
        Framed("00"),
        Framed("B503010260060900042E"),
        Framed("B50301026007140080B6"),
        Framed("B50301026008140002023B"),
        Framed("B503010260091400020B45"),
        Framed("B5030102640A29"),
        Framed("B5030102640B2A"),
        "\x02" "B5030102HELLO",
    };
    ASSERT_EQ(link.Written.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(link.Written[i], expected[i]) << i;
    EXPECT_EQ(link.Written.last().size(), 14);
    // Refresh and keep-alive frames take no sequence number: ten numbered frames went out.
    EXPECT_EQ(link.SequenceNumber(), 10);
}

TEST(TFrameBuilder, SequenceNumberWrapsFrom255To0)
{
    RecordingLink link(0x0102);
    while (link.SequenceNumber() != 255)
        link.TakeSequenceNumber();
    TFrameBuilder::BuildMemoCommand(link, 4);
    TFrameBuilder::BuildMemoCommand(link, 4);
    ASSERT_EQ(link.Written.size(), 2);
    EXPECT_EQ(link.Written[0], Framed("B503010260FF09000427"));
    EXPECT_EQ(link.Written[1], Framed("B5030102600009000428"));
}

TEST(TFrameBuilder, NothingIsSentWithoutAnInterfaceModule)
{
    RecordingLink link(0x0102, SerialPort::NoInterface);
    EXPECT_FALSE(TFrameBuilder::BuildIoCommand(link, 1));
    EXPECT_FALSE(TFrameBuilder::BuildDimCommand(link, 1, 1));
    EXPECT_FALSE(TFrameBuilder::BuildValueCommand(link, 1, 1));
    EXPECT_FALSE(TFrameBuilder::BuildTemperatureCommand(link, 1, 7, 1));
    EXPECT_FALSE(TFrameBuilder::BuildTemperatureCommand(link, 1, 5, 1));
    EXPECT_FALSE(TFrameBuilder::BuildMemoCommand(link, 1));
    EXPECT_FALSE(TFrameBuilder::BuildVariableToggle(link, 1));
    EXPECT_FALSE(TFrameBuilder::BuildVariableCommand2(link, 1));
    EXPECT_FALSE(TFrameBuilder::BuildVariableCommandB(link, 1));
    EXPECT_FALSE(TFrameBuilder::BuildRefreshInputs(link));
    EXPECT_FALSE(TFrameBuilder::BuildRefreshOutputs(link));
    EXPECT_FALSE(TFrameBuilder::BuildHello(link));
    EXPECT_TRUE(link.Written.isEmpty());
    EXPECT_EQ(link.SequenceNumber(), 0);
}

TEST(TFrameBuilder, HexPairsAndChecksum)
{
    struct Row { const char *pair; quint8 value; };
    const Row rows[] = {{"00", 0}, {"2D", 0x2D}, {"2d", 0x2D}, {"ff", 0xFF}, {" 5", 5}, {"5 ", 0x50}, {"g1", 1}, {"zz", 0}};
    for (const Row &row : rows)
        EXPECT_EQ(TFrameBuilder::ParseHexPair(row.pair), row.value) << row.pair;

    QByteArray text = "B50301026000020010";
    TFrameBuilder::AppendChecksumAndEtx(text);
    EXPECT_EQ(text, "B50301026000020010" "2D\x03");
}
