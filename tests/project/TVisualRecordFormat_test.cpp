#include "TVisualRecordFormat.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

// Lines written by hand from the record layouts: byte fields "%2x", words "%4x", the double word
// "%8x", texts followed by "|".

TEST(TVisualRecordFormat, ScreenOfANewFirstScreen)
{
    TNewVisualScreen r;
    r.ScreenId = 1;
    r.Name = "Screen #1";
    r.Picture = "C:\\Quelnor\\Default Images\\wall_800x600.bmp";
    // Width 800 is " 320", height 600 " 258".
    const QByteArray line = " 1 0 0 0 0 0 1 0 320 258   0   0   0   1Screen #1|C:\\Quelnor\\Default Images\\wall_800x600.bmp|";
    EXPECT_EQ(TVisualRecordFormat::WriteScreen(r), line + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadScreen(line, 3), r);
    EXPECT_FALSE(TVisualRecordFormat::ReadScreen(line, 2));
    EXPECT_FALSE(TVisualRecordFormat::ReadScreen(line, 4));
}

TEST(TVisualRecordFormat, OutputVersions2And3)
{
    TNewVisualOutput r;
    r.TransparentOn = 1;
    r.DisplayType = 2;
    r.ReadOnly = 1;
    r.ShowLabel = 0;
    r.Reserved10 = 0xa;
    r.Left = 800;
    r.Top = 65535;
    r.ModuleNumber = 2;
    r.IoNumber = 7;
    r.ScreenId = 1;
    r.ApplicationId = 127;
    r.OnPicture = "on.ico";
    r.OffPicture = "off.ico";
    r.Label = "Hall";
    const QByteArray v3 = " 1 1 0 2 1 0 1 0 0   a 320ffff   0   0   2   7   1  7f       0on.ico|off.ico|Hall|";
    EXPECT_EQ(TVisualRecordFormat::WriteOutput(r), v3 + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadOutput(v3, 3), r);

    // Version 2 lacks fields 7, 8, 9, 13 and 14: show value reads as 1, the others as 0.
    const QByteArray v2 = " 1 1 0 2 1 0   a 320ffff   2   7   1  7f       0on.ico|off.ico|Hall|";
    EXPECT_EQ(TVisualRecordFormat::ReadOutput(v2, 2), r);
    EXPECT_FALSE(TVisualRecordFormat::ReadOutput(v3, 1));
    EXPECT_FALSE(TVisualRecordFormat::ReadOutput(v3, 4));

    // A text without its "|" reads as empty and nothing is consumed.
    const auto cut = TVisualRecordFormat::ReadOutput(" 1 1 0 2 1 0 1 0 0   a 320ffff   0   0   2   7   1  7f       0on.ico|off.ico", 3);
    EXPECT_EQ(cut->OffPicture, "");
    EXPECT_EQ(cut->Label, "");
    TNewVisualOutput empty;
    EXPECT_TRUE(TVisualRecordFormat::WriteOutput(empty).endsWith("(null)|(null)|(null)|\r\n"));
}

TEST(TVisualRecordFormat, ShortcutVersions1And2)
{
    TVisualShortCut r;
    r.ScreenId = 1;
    r.Picture = "QUELNOR.ico";
    r.Label = "Shortcut";
    const QByteArray v2 = " 1 1 0   0   0   1ffffQUELNOR.ico|Shortcut|";  // no target: "ffff"
    EXPECT_EQ(TVisualRecordFormat::WriteShortCut(r), v2 + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadShortCut(v2, 2), r);
    EXPECT_EQ(TVisualRecordFormat::ReadShortCut(" 1 1   0   0   1ffffQUELNOR.ico|Shortcut|", 1), r);
    EXPECT_FALSE(TVisualRecordFormat::ReadShortCut(v2, 3));
}

TEST(TVisualRecordFormat, MemoVariableCameraGauge)
{
    TVisualMemoData memo;
    memo.MemoNumber = 2;
    memo.Left = 10;
    memo.Top = 20;
    memo.MemoNumberCopy = 2;
    memo.ScreenId = 1;
    memo.ApplicationId = 1;
    memo.OnPicture = "a";
    memo.OffPicture = "b";
    memo.Label = "Dimmed";
    const QByteArray memoLine = " 1 1 1 0 0 1   2   a  14   2   1   1       0a|b|Dimmed|";
    EXPECT_EQ(TVisualRecordFormat::WriteMemo(memo), memoLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadMemo(memoLine, 1), memo);
    EXPECT_FALSE(TVisualRecordFormat::ReadMemo(memoLine, 2));

    TVisualVariableData variable;
    variable.ShowValue = 1;
    variable.VariableNumber = 0x80;
    variable.ScreenId = 3;
    variable.ApplicationId = 2;
    variable.OnPicture = "on";
    variable.OffPicture = "off";
    variable.Label = "Guests";
    const QByteArray variableLine = " 1 1 1 0 0 1 1  80   0   0   0   3   2       0on|off|Guests|";
    EXPECT_EQ(TVisualRecordFormat::WriteVariable(variable), variableLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadVariable(variableLine, 1), variable);
    EXPECT_FALSE(TVisualRecordFormat::ReadVariable(variableLine, 0));

    TVisualAxisCamData camera;
    camera.UseLogin = 1;
    camera.ScreenId = 5;
    camera.Address = "192.168.1.50";
    camera.Password = "pw";
    camera.Login = "admin";
    camera.CameraName = "Cam: door";
    const QByteArray cameraLine = " 1 0 1 0   0   0   0  78  b4   5   0192.168.1.50|pw|admin|Cam: door|";
    EXPECT_EQ(TVisualRecordFormat::WriteCamera(camera), cameraLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadCamera(cameraLine, 1), camera);
    EXPECT_FALSE(TVisualRecordFormat::ReadCamera(cameraLine, 2));

    TVisualJaugeData gauge;
    gauge.Left = 600;
    gauge.ScreenId = 1;
    gauge.Picture = "QUELNOR.ico";
    gauge.Label = "Gauge";
    const QByteArray gaugeLine = " 1 1 0 0 258   0   1QUELNOR.ico|Gauge|";
    EXPECT_EQ(TVisualRecordFormat::WriteGauge(gauge), gaugeLine + "\r\n");
    EXPECT_EQ(TVisualRecordFormat::ReadGauge(gaugeLine), gauge);
}

TEST(TVisualRecordFormat, SectionVersions)
{
    EXPECT_EQ(TVisualRecordFormat::SectionVersion("*[03]****"), 3);
    EXPECT_EQ(TVisualRecordFormat::SectionVersion("*[1f]*"), 31);
    EXPECT_EQ(TVisualRecordFormat::SectionVersion("**03"), 0);
    EXPECT_EQ(TVisualRecordFormat::SectionVersion(""), 0);
}
