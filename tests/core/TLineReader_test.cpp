#include "TLineReader.h"

#include "QtPrinters.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

namespace {

struct Line
{
    QByteArray text;
    bool hasEnd;
    bool operator==(const Line &) const = default;
};

QList<Line> Split(QByteArrayView content)
{
    QList<Line> lines;
    TLineReader r(content);
    while (r.Next())
        lines.append({r.Line().toByteArray(), r.HasLineEnd()});
    return lines;
}

} // namespace

TEST(TLineReader, AcceptsCrLfAndLfALastLineWithoutEndAndLongLines)
{
    const QList<Line> expected = {{"one", true}, {"two", true}, {"", true}, {"three", false}};
    EXPECT_EQ(Split("one\r\ntwo\n\r\nthree"), expected);
    EXPECT_EQ(Split(""), QList<Line>());
    EXPECT_EQ(Split("one\r\n"), QList<Line>({{"one", true}}));
    // A CR that does not end a line stays in it; a last line ending in CR alone lost its LF.
    EXPECT_EQ(Split("a\rb\n"), QList<Line>({{"a\rb", true}}));
    EXPECT_EQ(Split("one\r\nEOF Gauge Item\r"), QList<Line>({{"one", true}, {"EOF Gauge Item", false}}));
    // Lines longer than 4095 characters are kept whole.
    const QByteArray longLine(10000, 'x');
    EXPECT_EQ(Split("start\r\n" + longLine + "\r\nend\r\n"), QList<Line>({{"start", true}, {longLine, true}, {"end", true}}));
}

