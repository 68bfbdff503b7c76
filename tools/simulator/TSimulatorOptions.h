#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What quelnor-sim is asked to do, from its command line.
struct TSimulatorOptions
{
    QString ExportPath;
    QString BindAddress = QStringLiteral("127.0.0.1");
    quint16 UdpPort = 17481;         // 0: any free port (tests)
    QString Password;                // empty: plain "LOGIN" opens a session
    QString SerialPath;              // where the pty is linked; empty: no serial side
    QString ProgramFolder;           // holds the log-in library
    bool RefusePassword = false;
    bool DenyAccess = false;
    bool Silent = false;
    int CorruptPercent = 0;
    int DropSessionAfter = 0;        // seconds; 0: never
    bool Garbage = false;
    int RebootAfter = 0;             // seconds; 0: never. The module restarts once: port closed, session forgotten
    int RebootPause = 1500;          // milliseconds the port stays closed while it restarts
    int CutPercent = 0;              // frames sent cut short, without their ETX
    int LoginDelay = 0;              // milliseconds before the answer to a log-in
    bool Log = false;
    int TickMilliseconds = 2000;     // temperatures and 0-10 V inputs change at each tick
    int ExitAfter = 0;               // seconds; 0: run until a signal
    int CameraPort = -1;             // the test camera's TCP port; -1: no camera, 0: any free port
    QString CameraUser = QStringLiteral("root");
    QString CameraPassword = QStringLiteral("tavo");
    QString CameraAuth = QStringLiteral("both");  // basic, digest or both
    int CameraFps = 10;
    int CameraStallAfter = 0;        // frames per connection; 0: never
    bool CameraRefuse = false;

    // Parses the arguments after the program name; nothing and `error` on a bad line.
    static std::optional<TSimulatorOptions> Parse(const QStringList &arguments, QString &error);
    static QString Usage();
};
