#pragma once

#include <QByteArray>

// The records saved for each screen and each placed control, fields in file order. Reserved
// fields are kept as read; records made here hold 0 in them. Texts are Windows-1252 bytes.

// A screen (working-screen window).
struct TNewVisualScreen
{
    quint8 Valid = 1;
    quint8 WindowState = 0;     // 1 maximized
    quint8 Reserved3 = 0;
    quint8 Border = 0;          // 1 none, 2 tool window, other single
    quint8 Stretch = 0;
    quint8 Proportional = 0;
    quint8 OpenAtStartup = 1;
    quint8 Reserved8 = 0;
    quint16 Width = 800;
    quint16 Height = 600;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 Reserved13 = 0;
    quint16 ScreenId = 0;
    QByteArray Name;
    QByteArray Picture;         // full path of the background

    bool operator==(const TNewVisualScreen &) const = default;
};

// The record of a control placed for one channel of a module.
struct TNewVisualOutput
{
    quint8 Valid = 1;
    quint8 TransparentOn = 0;
    quint8 TransparentOff = 0;
    quint8 DisplayType = 0;
    quint8 ReadOnly = 0;
    quint8 ShowLabel = 1;
    quint8 ShowValue = 1;
    quint8 Reserved8 = 0;
    quint8 Reserved9 = 0;
    quint16 Reserved10 = 0;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 Reserved13 = 0;
    quint16 Reserved14 = 0;
    quint16 ModuleNumber = 0;
    quint16 IoNumber = 0;
    quint16 ScreenId = 0;
    quint16 ApplicationId = 0;
    quint32 Reserved19 = 0;
    QByteArray OnPicture;
    QByteArray OffPicture;
    QByteArray Label;

    bool operator==(const TNewVisualOutput &) const = default;
};

// A shortcut to another screen.
struct TVisualShortCut
{
    static constexpr quint16 NoTarget = 0xFFFF;

    quint8 Valid = 1;
    quint8 Transparent = 1;
    quint8 ShowLabel = 0;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 ScreenId = 0;
    quint16 TargetScreenId = NoTarget;
    QByteArray Picture;
    QByteArray Label;

    bool operator==(const TVisualShortCut &) const = default;
};

// A memo control.
struct TVisualMemoData
{
    quint8 Valid = 1;
    quint8 TransparentOn = 1;
    quint8 TransparentOff = 1;
    quint8 Reserved4 = 0;
    quint8 ReadOnly = 0;
    quint8 ShowLabel = 1;
    quint16 MemoNumber = 0;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 MemoNumberCopy = 0;  // the memo's number at creation; not used on reading
    quint16 ScreenId = 0;
    quint16 ApplicationId = 0;
    quint32 Reserved13 = 0;
    QByteArray OnPicture;
    QByteArray OffPicture;
    QByteArray Label;

    bool operator==(const TVisualMemoData &) const = default;
};

// A variable control.
struct TVisualVariableData
{
    quint8 Valid = 1;
    quint8 TransparentOn = 1;
    quint8 TransparentOff = 1;
    quint8 Reserved4 = 0;
    quint8 ReadOnly = 0;
    quint8 ShowLabel = 1;
    quint8 ShowValue = 0;
    quint16 VariableNumber = 0;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 Reserved11 = 0;
    quint16 ScreenId = 0;
    quint16 ApplicationId = 0;
    quint32 Reserved14 = 0;
    QByteArray OnPicture;
    QByteArray OffPicture;
    QByteArray Label;

    bool operator==(const TVisualVariableData &) const = default;
};

// The largest window or control a display shows (8K UHD). A larger size read from a file is shown
// at most this large, its record kept as read; the dialogs refuse it.
inline constexpr int MaxDisplayWidth = 7680;
inline constexpr int MaxDisplayHeight = 4320;
// A record keeps a left and a top as 16-bit numbers: positions are held to 0 to this.
inline constexpr int MaxCoordinate = 65535;

// An IP-camera view. The password is stored as plain text.
struct TVisualAxisCamData
{
    quint8 Valid = 1;
    quint8 Reserved2 = 0;
    quint8 UseLogin = 0;
    quint8 Reserved4 = 0;
    quint16 Reserved5 = 0;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 Height = 120;
    quint16 Width = 180;
    quint16 ScreenId = 0;
    quint16 Reserved11 = 0;
    QByteArray Address;
    QByteArray Password;
    QByteArray Login;
    QByteArray CameraName;

    bool operator==(const TVisualAxisCamData &) const = default;
};

// A power gauge. The three extra words are neither written nor read.
struct TVisualJaugeData
{
    quint8 Valid = 1;
    quint8 Transparent = 1;
    quint8 ShowLabel = 0;
    quint8 Reserved4 = 0;
    quint16 Left = 0;
    quint16 Top = 0;
    quint16 ScreenId = 0;
    quint16 Extra1 = 0;
    quint16 Extra2 = 0;
    quint16 Extra3 = 0;
    QByteArray Picture;
    QByteArray Label;

    bool operator==(const TVisualJaugeData &) const = default;
};
