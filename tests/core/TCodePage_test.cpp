#include "TCodePage.h"

#include "QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

// Texts are Windows-1252 in the files: every byte survives the way to the screen and back, the
// table's characters map both ways, and a character outside it is refused, changing nothing.
TEST(TCodePage, MapsTheWindowsCharactersBothWays)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QByteArray back;
    ASSERT_TRUE(TCodePage::FromDisplay(TCodePage::ToDisplay(all), back));
    EXPECT_EQ(back, all);

    // Code points from the Windows-1252 table.
    EXPECT_EQ(QStringList({TCodePage::ToDisplay("\x80"), TCodePage::ToDisplay("\x9f"), TCodePage::ToDisplay("caf\xe9")}),
              QStringList({QString(QChar(0x20AC)), QString(QChar(0x0178)), QString::fromUtf8("café")}));
    QByteArray bytes;
    ASSERT_TRUE(TCodePage::FromDisplay(QString::fromUtf8("20 °C – €"), bytes));
    EXPECT_EQ(bytes, "20 \xb0" "C \x96 \x80");

    EXPECT_FALSE(TCodePage::FromDisplay(QString::fromUtf8("salle 中"), bytes));
    EXPECT_EQ(bytes, "20 \xb0" "C \x96 \x80");
}
