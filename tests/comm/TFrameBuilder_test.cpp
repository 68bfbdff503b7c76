#include "TFrameBuilder.h"

#include "RecordingLink.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Expected frames: the message bytes of the protocol table written by hand, their 8-bit sum
// computed apart (the first row is the documented example).
TEST(TFrameBuilder, EveryBuilderWritesItsExactFrame)
{
    RecordingLink link(0x0102);
    using B = TFrameBuilder;
    // The temperature command of kind 5 has an empty message and takes no sequence number.
    const QList<bool> built = {B::BuildIoCommand(link, 0x0010), B::BuildDimCommand(link, 0x0010, 50), B::BuildValueCommand(link, 0x0123, 3),
                               B::BuildTemperatureCommand(link, 0x000C, 7, 2), B::BuildTemperatureCommand(link, 0x000C, 10, 99),
                               B::BuildTemperatureCommand(link, 0x000C, 11, 99), B::BuildTemperatureCommand(link, 0x000C, 5, 1),
                               B::BuildMemoCommand(link, 4), B::BuildVariableToggle(link, 0x0080), B::BuildVariableCommand2(link, 2),
                               B::BuildVariableCommandB(link, 2), B::BuildRefreshInputs(link), B::BuildRefreshOutputs(link), B::BuildHello(link)};
    EXPECT_EQ(built, QList<bool>(14, true));

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
    EXPECT_EQ(link.Written, expected);
    // Refresh and keep-alive frames take no sequence number: ten numbered frames went out.
    EXPECT_EQ(link.SequenceNumber(), 10);

    // The sequence number wraps from 255 to 0.
    link.Written.clear();
    while (link.SequenceNumber() != 255)
        link.TakeSequenceNumber();
    TFrameBuilder::BuildMemoCommand(link, 4);
    TFrameBuilder::BuildMemoCommand(link, 4);
    EXPECT_EQ(link.Written, QByteArrayList({Framed("B503010260FF09000427"), Framed("B5030102600009000428")}));
}

TEST(TFrameBuilder, NothingIsSentWithoutAnInterfaceModule)
{
    RecordingLink link(0x0102, SerialPort::NoInterface);
    using B = TFrameBuilder;
    const QList<bool> built = {B::BuildIoCommand(link, 1), B::BuildDimCommand(link, 1, 1), B::BuildValueCommand(link, 1, 1),
                               B::BuildTemperatureCommand(link, 1, 7, 1), B::BuildTemperatureCommand(link, 1, 5, 1), B::BuildMemoCommand(link, 1),
                               B::BuildVariableToggle(link, 1), B::BuildVariableCommand2(link, 1), B::BuildVariableCommandB(link, 1),
                               B::BuildRefreshInputs(link), B::BuildRefreshOutputs(link), B::BuildHello(link)};
    EXPECT_EQ(built, QList<bool>(12, false));
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
