#include "TMjpegSplitter.h"

#include "QtPrinters.h"

#include <QByteArrayList>

#include <gtest/gtest.h>

namespace {

// Every part the splitter gives when the body comes in pieces of `piece` bytes, taking the
// newest after each piece.
QByteArrayList Split(const QByteArray &boundary, const QByteArray &body, qsizetype piece)
{
    TMjpegSplitter splitter(boundary);
    QByteArrayList parts;
    for (qsizetype at = 0; at < body.size(); at += piece) {
        splitter.Feed(QByteArrayView(body).sliced(at, qMin(piece, body.size() - at)));
        QByteArray part;
        if (splitter.TakeNewest(part))
            parts.append(part);
    }
    return parts;
}

} // namespace

// The same parts whatever the pieces the body arrives in: with and without Content-Length, the
// boundary given with or without its dashes, CR LF or LF alone, a preamble, the closing delimiter.
TEST(TMjpegSplitter, PartsWhateverThePieces)
{
    const QByteArray jpegA = QByteArray("\xFF\xD8 first \r\n--not a boundary\xFF\xD9", 29);
    const QByteArray jpegB = QByteArray("\xFF\xD8second\xFF\xD9");
    struct Row
    {
        const char *boundary;
        QByteArray body;
    };
    const Row rows[] = {
        {"myboundary", "preamble\r\n--myboundary\r\nContent-Type: image/jpeg\r\nContent-Length: 29\r\n\r\n" + jpegA +
                           "\r\n--myboundary\r\nContent-Type: image/jpeg\r\nContent-Length: 10\r\n\r\n" + jpegB + "\r\n--myboundary--\r\n"},
        {"--myboundary", "--myboundary\r\nContent-Type: image/jpeg\r\n\r\n" + jpegA.left(10) + "\r\n--myboundary\r\n"
                             "Content-Type: image/jpeg\r\n\r\n" + jpegB + "\r\n--myboundary\r\n"},
        {"b", "--b\nContent-Length: 29\n\n" + jpegA + "\n--b\nContent-Length: 10\n\n" + jpegB + "\n--b--"},
    };
    const QByteArrayList expected[] = {{jpegA, jpegB}, {jpegA.left(10), jpegB}, {jpegA, jpegB}};
    for (int row = 0; row < 3; ++row) {
        for (qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(7), rows[row].body.size()}) {
            QByteArrayList parts = Split(rows[row].boundary, rows[row].body, piece);
            // Pieces smaller than any part show each part; the whole body at once only its newest.
            if (piece == rows[row].body.size()) {
                EXPECT_EQ(parts, QByteArrayList({expected[row].last()})) << row;  // only the newest
            } else {
                EXPECT_EQ(parts, expected[row]) << row << " piece " << piece;
            }
        }
    }
}

// Boundaries from the Content-Type header; bodies that are not multipart or whose Content-Length
// is not believed give nothing false and stay bounded.
TEST(TMjpegSplitter, HeadersAndBadBodies)
{
    EXPECT_EQ(QByteArrayList({TMjpegSplitter::BoundaryOf("multipart/x-mixed-replace; boundary=myboundary"),
                              TMjpegSplitter::BoundaryOf("multipart/x-mixed-replace;Boundary=\"--a b\""), TMjpegSplitter::BoundaryOf("image/jpeg")}),
              QByteArrayList({"myboundary", "--a b", ""}));

    TMjpegSplitter html("x");
    html.Feed(QByteArray(20000, 'h'));
    QByteArray part;
    EXPECT_FALSE(html.TakeNewest(part));
    EXPECT_LE(html.Buffered(), 4);

    // A length past the bound is not believed: the part ends at the next boundary.
    TMjpegSplitter lying("x");
    lying.Feed("--x\r\nContent-Length: 999999999999\r\n\r\npicture\r\n--x\r\n");
    ASSERT_TRUE(lying.TakeNewest(part));
    EXPECT_EQ(part, "picture");

    // A part that never ends is dropped once past the bound, and the next one is cut.
    TMjpegSplitter endless("x");
    endless.Feed("--x\r\n\r\n");
    endless.Feed(QByteArray(TMjpegSplitter::MaxPart + 2048, 'p'));
    EXPECT_TRUE(endless.PartsDropped() == 1 && endless.Buffered() < 100) << endless.Buffered();
    endless.Feed("\r\n--x\r\nContent-Length: 3\r\n\r\nabc\r\n--x--");
    ASSERT_TRUE(endless.TakeNewest(part));
    EXPECT_EQ(part, "abc");
    EXPECT_TRUE(endless.Ended());
}
