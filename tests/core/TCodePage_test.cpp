#include "TCodePage.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

TEST(TCodePage, EveryByteSurvivesDisplayAndBack)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QByteArray back;
    ASSERT_TRUE(TCodePage::FromDisplay(TCodePage::ToDisplay(all), back));
    EXPECT_EQ(back, all);
}

TEST(TCodePage, MapsTheWindowsCharacters)
{
    // Code points from the Windows-1252 table.
    EXPECT_EQ(TCodePage::ToDisplay("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(TCodePage::ToDisplay("\x9f"), QString(QChar(0x0178)));
    EXPECT_EQ(TCodePage::ToDisplay("caf\xe9"), QString::fromUtf8("café"));

    QByteArray bytes;
    ASSERT_TRUE(TCodePage::FromDisplay(QString::fromUtf8("20 °C – €"), bytes));
    EXPECT_EQ(bytes, "20 \xb0" "C \x96 \x80");
}

TEST(TCodePage, RefusesCharactersOutsideTheCodePage)
{
    QByteArray bytes = "kept";
    EXPECT_FALSE(TCodePage::FromDisplay(QString::fromUtf8("salle 中"), bytes));
    EXPECT_EQ(bytes, "kept");
}
