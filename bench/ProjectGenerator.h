#pragma once

// Large valid projects for the benchmarks: applications of relay, dimmer, push-button, room-unit
// and 0-10 V modules with memos and variables, screens with a background picture of their own, and
// controls of every family spread over the screens (on each screen, of every twenty: fifteen
// outputs, two memos, a variable, a shortcut, and a gauge or the screen's camera), written through
// the program's own record writers.
#include "TDataFileManager.h"
#include "TModuleTypes.h"
#include "TProjectManager.h"
#include "TVisualDefaults.h"
#include "TVisualRecordFormat.h"
#include "UserMessages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>

struct TGeneratedSize
{
    const char *Name;
    int Applications;
    int Modules;   // in all
    int Screens;
    int Controls;
};

inline constexpr TGeneratedSize k_small{"small", 1, 50, 3, 100};
inline constexpr TGeneratedSize k_medium{"medium", 3, 500, 30, 2000};
inline constexpr TGeneratedSize k_large{"large", 10, 2000, 127, 10000};
inline constexpr TGeneratedSize k_huge{"huge", 10, 2000, 127, 40000};
// Only for the memory and one-open-per-process modes: too slow for the in-process benchmarks.
inline constexpr TGeneratedSize k_giant{"giant", 10, 2000, 127, 100000};

class TSilentMessages : public UserMessages
{
public:
    void ShowMessage(const QString &) override {}
};

// The program folder of the benchmarks: the built pictures linked in, Data and picture folders.
inline void PrepareProgramFolder(const QString &folder, const QString &builtFolder)
{
    // Made first: a link cannot be made in a folder that does not exist yet.
    QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    for (const char *name : {"Default Images", "Image Control"})
        QFile::link(QDir(builtFolder).filePath(QString::fromLatin1(name)), dir.filePath(QString::fromLatin1(name)));
    QFile::link(QDir(builtFolder).filePath(QStringLiteral("libqnet.so")), dir.filePath(QStringLiteral("libqnet.so")));
    for (const char *name : {"Data", "OldVersion", "Imported Pictures/Screen", "Ports"})
        dir.mkpath(QString::fromLatin1(name));
}

// A floor-plan-like 1024 x 768 background, different for each screen.
inline QByteArray BackgroundJpeg(int screen)
{
    QImage image(1024, 768, QImage::Format_RGB32);
    image.fill(QColor(240, 236, 228));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(70, 70, 80), 8));
    for (int room = 0; room < 6; ++room) {
        const int x = 40 + (room % 3) * 320 + (screen * 7) % 40;
        const int y = 40 + (room / 3) * 340;
        painter.fillRect(QRect(x, y, 300, 320), QColor::fromHsv((screen * 37 + room * 53) % 360, 40, 235));
        painter.drawRect(QRect(x, y, 300, 320));
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return bytes;
}

inline constexpr quint16 k_generatedTypes[] = {6, 9, 4, 17, 31};
inline constexpr int k_generatedMemos = 20;      // per application, memo i follows relay module 5 i
inline constexpr int k_generatedVariables = 10;  // per application, boolean and value in turn

enum class TControlFamily { Output, Memo, Variable, Shortcut, Gauge, Camera };

// Where control `c` of a generated project stands, what it is and what it is bound to.
struct TGeneratedControl
{
    TControlFamily Family;
    int Application, Module, Screen;
    quint16 Type, Channel;
    int Number;  // the memo's or the variable's
    int Left, Top;
};

inline TGeneratedControl GeneratedControl(const TGeneratedSize &size, int c)
{
    const int modulesPerApp = size.Modules / size.Applications;
    TGeneratedControl g;
    g.Application = c % size.Applications;
    g.Module = (c / size.Applications) % modulesPerApp;
    g.Type = k_generatedTypes[g.Module % 5];
    g.Channel = quint16((c / (size.Applications * modulesPerApp)) % 4);
    // Channels without a control of their own take the next that has one.
    for (int step = 0; step < 16 && !TModuleTypes::Channel(g.Type, g.Channel).Control; ++step)
        g.Channel = quint16((g.Channel + 1) % 16);
    g.Screen = c % size.Screens;
    const int onScreen = c / size.Screens;
    const int place = onScreen % 20;
    g.Family = place < 15 ? TControlFamily::Output
               : place < 17 ? TControlFamily::Memo
               : place == 17 ? TControlFamily::Variable
               : place == 18 ? TControlFamily::Shortcut
               : onScreen == 19 ? TControlFamily::Camera
                                : TControlFamily::Gauge;
    g.Number = g.Family == TControlFamily::Memo ? (c / 7) % k_generatedMemos : (c / 7) % k_generatedVariables;
    g.Left = 10 + (onScreen % 10) * 100;
    g.Top = 10 + ((onScreen / 10) % 12) * 62;
    return g;
}

// Writes "<folder>/Data/<size>.qvp", its backgrounds under "Imported Pictures/Screen" and returns
// the project's path. Screens 1 to 3 open at start-up.
inline QString GenerateProject(const QString &folder, const TGeneratedSize &size)
{
    TSilentMessages messages;
    TProjectManager project(folder, &messages);
    const int modulesPerApp = size.Modules / size.Applications;
    for (int a = 0; a < size.Applications; ++a) {
        const QByteArray source = "C:\\Quelnor\\Data\\installation" + QByteArray::number(a + 1) + ".qap";
        TDataFileManager *app = project.NewApplication(source);
        app->Settings().ApplicationId = quint8(a + 1);
        app->Settings().SourcePath = source;
        for (int m = 0; m < modulesPerApp; ++m) {
            ModuleRecord module;
            module.ModuleNumber = quint16(m + 1);
            module.ModuleType = k_generatedTypes[m % 5];
            module.SerialNumber = quint32(0x01000000 + a * 0x10000 + m);
            module.FirstIoIndex = quint16(app->Current().Ios.size());
            module.Name = "Module " + QByteArray::number(a + 1) + "." + QByteArray::number(m + 1);
            app->AddModule(module);
            for (quint16 channel = 0; channel < 8; ++channel) {
                IoRecord io;
                io.ModuleNumber = module.ModuleNumber;
                io.Channel = channel;
                io.Power = 100;
                io.IoKind = 2;
                io.Name = module.Name + " channel " + QByteArray::number(channel);
                app->AddIo(io);
            }
        }
        for (int i = 0; i < k_generatedMemos; ++i) {
            app->AddMemoListEntry({.EntryKind = 2, .IoIndex = quint16(8 * 5 * i % (8 * modulesPerApp))});
            app->AddMemo({.Defined = 1, .FirstEntryIndex = quint16(i), .EntryCount = 1, .Name = "Memo " + QByteArray::number(i + 1)});
        }
        for (int i = 0; i < k_generatedVariables; ++i)
            app->AddVariable({.Defined = 1, .VariableKind = quint8(i % 2), .MaxValue = 5, .Name = "Variable " + QByteArray::number(i + 1)});
    }
    QByteArray screens, outputs;
    for (int s = 0; s < size.Screens; ++s) {
        const QString file = QStringLiteral("background %1.jpg").arg(s + 1);
        QFile picture(QDir(folder).filePath(QStringLiteral("Imported Pictures/Screen/") + file));
        if (!picture.exists() && picture.open(QIODevice::WriteOnly))
            picture.write(BackgroundJpeg(s));
        TNewVisualScreen screen;
        screen.ScreenId = quint16(s + 1);
        screen.Width = 1024;
        screen.Height = 768;
        screen.Left = quint16(20 + 10 * (s % 10));
        screen.Top = quint16(20 + 10 * (s % 10));
        screen.OpenAtStartup = s < 3 ? 1 : 0;
        screen.Name = "Screen " + QByteArray::number(s + 1);
        screen.Picture = "C:\\Quelnor\\Imported Pictures\\Screen\\" + file.toLatin1();
        screens += TVisualRecordFormat::WriteScreen(screen);
    }
    QByteArray shortcuts, memos, variables, cameras, gauges;
    for (int c = 0; c < size.Controls; ++c) {
        const TGeneratedControl g = GeneratedControl(size, c);
        const quint16 screenId = quint16(g.Screen + 1), left = quint16(g.Left), top = quint16(g.Top);
        const quint8 applicationId = quint8(g.Application + 1);
        const QByteArray label = "Control " + QByteArray::number(c + 1);
        switch (g.Family) {
        case TControlFamily::Output: {
            const TChannelInfo info = TModuleTypes::Channel(g.Type, g.Channel);
            TNewVisualOutput output;
            output.Left = left;
            output.Top = top;
            output.ModuleNumber = quint16(g.Module + 1);
            output.IoNumber = g.Channel;
            output.ScreenId = screenId;
            output.ApplicationId = applicationId;
            output.OnPicture = QByteArray("C:\\Quelnor\\Default Images\\") + info.OnPicture;
            output.OffPicture = QByteArray("C:\\Quelnor\\Default Images\\") + info.OffPicture;
            output.Label = label;
            outputs += TVisualRecordFormat::WriteOutput(output);
            break;
        }
        case TControlFamily::Memo: {
            const MemoRecord memo{.Name = label};
            memos += TVisualRecordFormat::WriteMemo(TVisualDefaults::NewMemo(memo, quint16(g.Number), left, top, screenId, applicationId, folder));
            break;
        }
        case TControlFamily::Variable: {
            const VariableRecord variable{.VariableKind = quint8(g.Number % 2), .Name = label};
            variables += TVisualRecordFormat::WriteVariable(
                TVisualDefaults::NewVariable(variable, quint16(g.Number), left, top, screenId, applicationId, folder));
            break;
        }
        case TControlFamily::Shortcut: {
            TVisualShortCut shortcut = TVisualDefaults::NewShortcut(screenId, folder);
            shortcut.Left = left;
            shortcut.Top = top;
            shortcut.ShowLabel = 1;
            shortcut.Label = label;
            shortcut.TargetScreenId = quint16((g.Screen + 1) % size.Screens + 1);
            shortcuts += TVisualRecordFormat::WriteShortCut(shortcut);
            break;
        }
        case TControlFamily::Gauge: {
            TVisualJaugeData gauge = TVisualDefaults::NewGauge(screenId, folder);
            gauge.Left = left;
            gauge.Top = top;
            gauges += TVisualRecordFormat::WriteGauge(gauge);
            break;
        }
        case TControlFamily::Camera: {
            // An address the camera's check refuses: the benchmarks open no connection.
            TVisualAxisCamData camera = TVisualDefaults::NewCamera(screenId);
            camera.Left = left;
            camera.Top = top;
            camera.Address = "camera";
            camera.CameraName = "Cam: " + label;
            cameras += TVisualRecordFormat::WriteCamera(camera);
            break;
        }
        }
    }
    QByteArray text = project.Compose();
    text.insert(text.indexOf("EOF Screen\r\n"), screens);
    text.insert(text.indexOf("EOF Visual IO\r\n"), outputs);
    text.insert(text.indexOf("EOF ShortCut\r\n"), shortcuts);
    text.insert(text.indexOf("EOF Memo Item\r\n"), memos);
    text.insert(text.indexOf("EOF Variable Item\r\n"), variables);
    text.insert(text.indexOf("EOF Axis Item\r\n"), cameras);
    text.insert(text.indexOf("EOF Gauge Item\r\n"), gauges);
    const QString path = QDir(folder).filePath(QStringLiteral("Data/%1.qvp").arg(QString::fromLatin1(size.Name)));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}
