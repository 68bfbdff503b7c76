#include "TFrameAssembler.h"
#include "TFrameDecoder.h"

#include "QtPrinters.h"

#include <QByteArrayList>

#include <gtest/gtest.h>

// Frame texts: message bytes of the protocol's incoming table written by hand, checksums
// computed apart.
TEST(TFrameDecoder, AcceptedMessagesAndTheirFields)
{
    using R = TDecodedFrame::Result;
    struct Row { const char *text; quint8 type; quint16 module; quint16 variable; QByteArray payload; };
    const Row rows[] = {
        {"B500000681000541", 0x81, 6, 0, "\x05"},
        {"B50000069A000358", 0x9A, 6, 0, "\x03"},
        {"B50000028600A5E2", 0x86, 2, 0, "\xA5"},
        {"b50000028600a5e2", 0x86, 2, 0, "\xA5"},  // lower-case digits decode alike
        {"B500000488003200640000000000D7", 0x88, 4, 0, QByteArray("\x32\x00\x64\x00\x00\x00\x00\x00", 8)},
        {"B50000018A0005000C150514000180", 0x8A, 12, 0, QByteArray("\x15\x05\x14\x00\x01", 5)},
        {"B5000001911400800003DE", 0x91, 1, 128, "\x03"},
    };
    for (const Row &row : rows) {
        const TDecodedFrame f = TFrameDecoder::Decode(row.text);
        EXPECT_EQ(std::tie(f.Outcome, f.Type, f.ModuleNumber, f.VariableNumber, f.Payload),
                  std::make_tuple(R::Accepted, row.type, row.module, row.variable, row.payload)) << row.text;
    }
}

TEST(TFrameDecoder, DropRules)
{
    using R = TDecodedFrame::Result;
    struct Row { const char *text; R outcome; };
    const Row rows[] = {
        {"B50000028600A5E3", R::BadChecksum},
        {"B50000028600A4E2", R::BadChecksum},
        {"850000028600A5B2", R::AddressForm},   // form 0
        {"8D0000028600A5BA", R::AddressForm},   // form 1
        {"BD0000028600A5EA", R::AddressForm},   // form 3: dropped by choice
        {"B50000029900A5F5", R::UnknownType},
        {"B50000018A0004000C15051400017F", R::BadKind},
        {"B5000001911500800003DF", R::BadKind},
        {"", R::TooShort},
        {"0", R::TooShort},
        {"00", R::TooShort},
        {"B50000B5", R::TooShort},
        {"B500000286003D", R::TooShort},
        {"B5000004880032006400000000D7", R::TooShort},
        {"B50000018A0005000C150514007F", R::TooShort},
        {"B50000019114008000DB", R::TooShort},
    };
    for (const Row &row : rows)
        EXPECT_EQ(TFrameDecoder::Decode(row.text).Outcome, row.outcome) << row.text;
}

TEST(TFrameAssembler, CollectsFramesBetweenStxAndEtx)
{
    QByteArrayList frames;
    TFrameAssembler assembler([&frames](QByteArrayView text) { frames.append(text.toByteArray()); });

    // One byte at a time, with noise before, between and after the frames.
    const QByteArray stream = "noise\x02" "B50000028600A5E2\x03" "xx\x02" "B500000681000541\x03" "tail";
    for (char c : stream)
        assembler.AssembleBytes(QByteArrayView(&c, 1));
    EXPECT_EQ(frames, QByteArrayList({"B50000028600A5E2", "B500000681000541"}));
    EXPECT_EQ(assembler.DroppedBytes(), quint64(5 + 2 + 4));

    // A lone ETX hands over the previous frame's text a second time, and counts as thrown away:
    // the frame it closed lost its start.
    assembler.AssembleBytes("\x03");
    EXPECT_EQ(frames, QByteArrayList({"B50000028600A5E2", "B500000681000541", "B500000681000541"}));
    EXPECT_EQ(assembler.DroppedBytes(), quint64(5 + 2 + 4 + 1));

    // A new STX drops a frame that was never closed, counted with its STX.
    assembler.AssembleBytes("\x02" "B5000\x02" "B50000028600A5E2\x03");
    EXPECT_EQ(frames.last(), "B50000028600A5E2");
    EXPECT_EQ(assembler.DroppedBytes(), quint64(5 + 2 + 4 + 1 + 6));
    assembler.AssembleBytes("\x02\x02");  // even an empty one
    EXPECT_EQ(assembler.DroppedBytes(), quint64(5 + 2 + 4 + 1 + 6 + 1));

    // A text beyond 4096 characters is cut there, the rest dropped.
    frames.clear();
    assembler.AssembleBytes(QByteArray(5000, 'A') + "\x03");
    ASSERT_EQ(frames.size(), 1);
    EXPECT_EQ(frames[0].size(), 4096);
    EXPECT_EQ(assembler.DroppedBytes(), quint64(5 + 2 + 4 + 1 + 6 + 1 + 904));
}
