#include "TVisualRecordFormat.h"

#include "QtPrinters.h"

#include <QList>

#include <gtest/gtest.h>

// Lines written by hand from the record layouts: byte fields "%2x", words "%4x", the double word
// "%8x", texts followed by "|".

TEST(TVisualRecordFormat, ScreenOfANewFirstScreen)
{
    const TNewVisualScreen r{.ScreenId = 1, .Name = "Screen #1", .Picture = "C:\\Quelnor\\Default Images\\wall_800x600.bmp"};
    // Width 800 is " 320", height 600 " 258".
    const QByteArray line = " 1 0 0 0 0 0 1 0 320 258   0   0   0   1Screen #1|C:\\Quelnor\\Default Images\\wall_800x600.bmp|";
    EXPECT_EQ(TVisualRecordFormat::WriteScreen(r), line + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadScreen(line, 3), r);
    EXPECT_FALSE(TVisualRecordFormat::ReadScreen(line, 2) || TVisualRecordFormat::ReadScreen(line, 4));
}

TEST(TVisualRecordFormat, OutputVersions2And3)
{
    const TNewVisualOutput r{.TransparentOn = 1, .DisplayType = 2, .ReadOnly = 1, .ShowLabel = 0, .Reserved10 = 0xa, .Left = 800,
                             .Top = 65535, .ModuleNumber = 2, .IoNumber = 7, .ScreenId = 1, .ApplicationId = 127,
                             .OnPicture = "on.ico", .OffPicture = "off.ico", .Label = "Hall"};
    const QByteArray v3 = " 1 1 0 2 1 0 1 0 0   a 320ffff   0   0   2   7   1  7f       0on.ico|off.ico|Hall|";
    EXPECT_EQ(TVisualRecordFormat::WriteOutput(r), v3 + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadOutput(v3, 3), r);

    // Version 2 lacks fields 7, 8, 9, 13 and 14: show value reads as 1, the others as 0.
    const QByteArray v2 = " 1 1 0 2 1 0   a 320ffff   2   7   1  7f       0on.ico|off.ico|Hall|";
    EXPECT_EQ(TVisualRecordFormat::ReadOutput(v2, 2), r);
    EXPECT_FALSE(TVisualRecordFormat::ReadOutput(v3, 1) || TVisualRecordFormat::ReadOutput(v3, 4));

    // A text without its "|" reads as empty and nothing is consumed.
    const auto cut = TVisualRecordFormat::ReadOutput(" 1 1 0 2 1 0 1 0 0   a 320ffff   0   0   2   7   1  7f       0on.ico|off.ico", 3);
    EXPECT_EQ(std::make_tuple(cut->OffPicture, cut->Label), std::make_tuple(QByteArray(), QByteArray()));
    TNewVisualOutput empty;
    EXPECT_TRUE(TVisualRecordFormat::WriteOutput(empty).endsWith("(null)|(null)|(null)|\r\n"));
}

TEST(TVisualRecordFormat, ShortcutVersions1And2)
{
    const TVisualShortCut r{.ScreenId = 1, .Picture = "QUELNOR.ico", .Label = "Shortcut"};
    const QByteArray v2 = " 1 1 0   0   0   1ffffQUELNOR.ico|Shortcut|";  // no target: "ffff"
    EXPECT_EQ(TVisualRecordFormat::WriteShortCut(r), v2 + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadShortCut(v2, 2), r);
    EXPECT_EQ(TVisualRecordFormat::ReadShortCut(" 1 1   0   0   1ffffQUELNOR.ico|Shortcut|", 1), r);
    EXPECT_FALSE(TVisualRecordFormat::ReadShortCut(v2, 3));
}

TEST(TVisualRecordFormat, MemoVariableCameraGauge)
{
    const TVisualMemoData memo{.MemoNumber = 2, .Left = 10, .Top = 20, .MemoNumberCopy = 2, .ScreenId = 1, .ApplicationId = 1,
                               .OnPicture = "a", .OffPicture = "b", .Label = "Dimmed"};
    const QByteArray memoLine = " 1 1 1 0 0 1   2   a  14   2   1   1       0a|b|Dimmed|";
    EXPECT_EQ(TVisualRecordFormat::WriteMemo(memo), memoLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadMemo(memoLine, 1), memo);
    EXPECT_FALSE(TVisualRecordFormat::ReadMemo(memoLine, 2));

    const TVisualVariableData variable{.ShowValue = 1, .VariableNumber = 0x80, .ScreenId = 3, .ApplicationId = 2, .OnPicture = "on",
                                       .OffPicture = "off", .Label = "Guests"};
    const QByteArray variableLine = " 1 1 1 0 0 1 1  80   0   0   0   3   2       0on|off|Guests|";
    EXPECT_EQ(TVisualRecordFormat::WriteVariable(variable), variableLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadVariable(variableLine, 1), variable);
    EXPECT_FALSE(TVisualRecordFormat::ReadVariable(variableLine, 0));

    const TVisualAxisCamData camera{.UseLogin = 1, .ScreenId = 5, .Address = "192.168.1.50", .Password = "pw", .Login = "admin",
                                    .CameraName = "Cam: door"};
    const QByteArray cameraLine = " 1 0 1 0   0   0   0  78  b4   5   0192.168.1.50|pw|admin|Cam: door|";
    EXPECT_EQ(TVisualRecordFormat::WriteCamera(camera), cameraLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadCamera(cameraLine, 1), camera);
    EXPECT_FALSE(TVisualRecordFormat::ReadCamera(cameraLine, 2));

    const TVisualJaugeData gauge{.Left = 600, .ScreenId = 1, .Picture = "QUELNOR.ico", .Label = "Gauge"};
    const QByteArray gaugeLine = " 1 1 0 0 258   0   1QUELNOR.ico|Gauge|";
    EXPECT_EQ(TVisualRecordFormat::WriteGauge(gauge), gaugeLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadGauge(gaugeLine), gauge);
}

TEST(TVisualRecordFormat, SectionVersions)
{
    EXPECT_EQ(QList<int>({TVisualRecordFormat::SectionVersion("*[03]****"), TVisualRecordFormat::SectionVersion("*[1f]*"),
                          TVisualRecordFormat::SectionVersion("**03"), TVisualRecordFormat::SectionVersion("")}),
              QList<int>({3, 31, 0, 0}));
}
