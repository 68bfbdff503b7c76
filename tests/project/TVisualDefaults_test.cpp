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
    const QString p = QStringLiteral("/p");
    const TNewVisualOutput o = TVisualDefaults::NewOutput({.ModuleNumber = 2, .Channel = 5, .Name = "Hall"}, {.ModuleType = 4}, 30, 40, 2, 1, p);
    EXPECT_EQ(std::tie(o.Valid, o.ShowLabel, o.ShowValue, o.TransparentOn, o.Left, o.IoNumber, o.OnPicture, o.Label),
              std::make_tuple(1, 1, 1, 0, 30, 5, QByteArray("/p/Default Images/LED ON.ico"), QByteArray("Hall")));

    const TVisualShortCut shortcut = TVisualDefaults::NewShortcut(3, p);
    EXPECT_EQ(std::tie(shortcut.Label, shortcut.TargetScreenId, shortcut.Transparent), std::make_tuple(QByteArray("Shortcut"), 65535, 1));
    const TVisualAxisCamData camera = TVisualDefaults::NewCamera(3);
    EXPECT_EQ(std::tie(camera.Width, camera.Height, camera.CameraName), std::make_tuple(180, 120, QByteArray("Cam: ")));
    EXPECT_EQ(TVisualDefaults::NewGauge(3, p).Label, "Gauge");

    const TVisualMemoData m = TVisualDefaults::NewMemo({.MemoKind = 1, .Name = "Shutters"}, 4, 1, 2, 3, 1, p);
    EXPECT_EQ(std::tie(m.MemoNumberCopy, m.TransparentOn, m.OffPicture), std::make_tuple(4, 1, QByteArray("/p/Default Images/MemoZULOFF.ico")));
    const TVisualVariableData v = TVisualDefaults::NewVariable(VariableRecord{}, 2, 1, 2, 3, 1, p);
    EXPECT_EQ(std::tie(v.ShowValue, v.OnPicture), std::make_tuple(0, QByteArray("/p/Default Images/FlagON.ico")));
}
