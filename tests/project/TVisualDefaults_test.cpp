#include "TVisualDefaults.h"

#include "InstallationRecords.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

// Expected rows from the default picture table of the screens' documents.

TEST(TVisualDefaults, DefaultPictures)
{
    const QString f = QStringLiteral("/p");
    struct Row { quint16 type; quint16 io; const char *on; const char *off; };
    const Row rows[] = {
        {1, 7, "NAX8_ON.ico", "NAX8_OFF.ico"}, {1, 8, "", "NAX8_OFF.ico"},
        {2, 0, "B1 ON.ico", "B1 OFF.ico"}, {2, 1, "LED ON.ico", "LED OFF.ico"},
        {5, 5, "B6 ON.ico", "B6 OFF.ico"}, {5, 6, "LED ON.ico", "LED OFF.ico"},
        {40, 3, "KOB ON.ico", "KOB OFF.ico"}, {7, 0, "ZUL UP.ico", "ZUL DOWN.ico"},
        {10, 0, "T1.ico", "QUELNOR.ico"}, {15, 4, "", "NAX4 OFF.ico"},
        {33, 5, "LCD3 ON.ico", "LCD3 OFF.ico"}, {33, 6, "LCD3 Temp.ico", "LCD3 Temp.ico"},
        {33, 7, "LCD3 OUT ON.ico", "LCD3 OUT OFF.ico"}, {38, 6, "PBLCD TEMP.ico", "PBLCD TEMP.ico"},
        {38, 0, "", ""}, {99, 0, "QUELNOR.ico", "QUELNOR.ico"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(TVisualDefaults::OutputOnPicture(f, row.type, row.io), QStringLiteral("/p/Default Images/") + QLatin1String(row.on));
        EXPECT_EQ(TVisualDefaults::OutputOffPicture(f, row.type, row.io), QStringLiteral("/p/Default Images/") + QLatin1String(row.off));
    }
    EXPECT_EQ(TVisualDefaults::MemoPicture(f, true, 1), QStringLiteral("/p/Default Images/MemoZULON.ico"));
    EXPECT_EQ(TVisualDefaults::MemoPicture(f, false, 2), QStringLiteral("/p/Default Images/MemoDIMOFF.ico"));
    EXPECT_EQ(TVisualDefaults::MemoPicture(f, true, 3), QStringLiteral("/p/Default Images/QUELNOR.ico"));
    EXPECT_EQ(TVisualDefaults::VariablePicture(f, false, 1), QStringLiteral("/p/Default Images/FlagOff.ico"));
    EXPECT_EQ(TVisualDefaults::VariablePicture(f, true, 2), QStringLiteral("/p/Default Images/QUELNOR.ico"));
}

TEST(TVisualDefaults, NewRecords)
{
    IoRecord io;
    io.ModuleNumber = 2;
    io.Channel = 5;
    io.Name = "Hall";
    ModuleRecord module;
    module.ModuleType = 4;
    const TNewVisualOutput output = TVisualDefaults::NewOutput(io, module, 30, 40, 2, 1, QStringLiteral("/p"));
    EXPECT_EQ(output.Valid, 1);
    EXPECT_EQ(output.ShowLabel, 1);
    EXPECT_EQ(output.ShowValue, 1);
    EXPECT_EQ(output.TransparentOn, 0);
    EXPECT_EQ(output.Left, 30);
    EXPECT_EQ(output.IoNumber, 5);
    EXPECT_EQ(output.OnPicture, "/p/Default Images/LED ON.ico");
    EXPECT_EQ(output.Label, "Hall");

    const TVisualShortCut shortcut = TVisualDefaults::NewShortcut(3, QStringLiteral("/p"));
    EXPECT_EQ(shortcut.Label, "Shortcut");
    EXPECT_EQ(shortcut.TargetScreenId, 65535);
    EXPECT_EQ(shortcut.Transparent, 1);
    const TVisualAxisCamData camera = TVisualDefaults::NewCamera(3);
    EXPECT_EQ(camera.Width, 180);
    EXPECT_EQ(camera.Height, 120);
    EXPECT_EQ(camera.CameraName, "Cam: ");
    EXPECT_EQ(TVisualDefaults::NewGauge(3, QStringLiteral("/p")).Label, "Gauge");

    MemoRecord memo;
    memo.MemoKind = 1;
    memo.Name = "Shutters";
    const TVisualMemoData m = TVisualDefaults::NewMemo(memo, 4, 1, 2, 3, 1, QStringLiteral("/p"));
    EXPECT_EQ(m.MemoNumberCopy, 4);
    EXPECT_EQ(m.TransparentOn, 1);
    EXPECT_EQ(m.OffPicture, "/p/Default Images/MemoZULOFF.ico");
    VariableRecord variable;
    const TVisualVariableData v = TVisualDefaults::NewVariable(variable, 2, 1, 2, 3, 1, QStringLiteral("/p"));
    EXPECT_EQ(v.ShowValue, 0);
    EXPECT_EQ(v.OnPicture, "/p/Default Images/FlagON.ico");
}
