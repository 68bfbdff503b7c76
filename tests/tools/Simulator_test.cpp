#include "TCameraServer.h"
#include "TCameraStream.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TFrameBuilder.h"
#include "SerialPort.h"
#include "TInstallationSimulator.h"
#include "TProgramLists.h"
#include "ToolRun.h"
#include "TSimulatorOptions.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include "EventLoop.h"
#include "QtPrinters.h"
#include "Lookups.h"
#include "RecordingMessages.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "TFileAccess.h"
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

// The test installation (tests/data/house) played by the simulator in this process and seen by
// the program's own link and model code: relays are module 2, the type-9 dimmer module 4, the
// living-room thermostat module 12; memo 0 "Evening" switches relay channels 0, 1, 7 and the
// dimmer's channel 0; variable 2 "Guests" is a value variable.
class SimulatorTest : public ::testing::Test
{
protected:
    bool StartSimulator(TSimulatorOptions options = {})
    {
        options.ExportPath = QStringLiteral(QUELNOR_TEST_EXPORT);
        options.UdpPort = 0;
        options.ProgramFolder = QStringLiteral(QUELNOR_PROGRAM_DIR);
        options.TickMilliseconds = 3600000;  // the tests call Tick() themselves
        simulator = std::make_unique<TInstallationSimulator>(options, log);
        QString error;
        const bool started = simulator->Start(error);
        EXPECT_TRUE(started) << error.toStdString();
        return started;
    }

    void LoadProgramSide(const QString &programFolder = QStringLiteral(QUELNOR_PROGRAM_DIR))
    {
        ASSERT_TRUE(app.ExportImport(QStringLiteral(QUELNOR_TEST_EXPORT), TDataFileManager::ImportReplace));
        app.Settings().SourcePath = app.Name();
        lists = std::make_unique<TProgramLists>(nullptr, programFolder, &messages);
        lists->AddApplication(app);
    }

    bool LogIn(const QByteArray &password = {})
    {
        EXPECT_TRUE(app.Session().OpenUdpLink(simulator->UdpPort(), "127.0.0.1", password));
        return RunUntil([&] { return app.Session().State() != SessionStates::LoggingIn || !app.Link()->IsOpen(); }) && app.Session().State() == SessionStates::Open;
    }

    TVQQModuleBase &Module(quint16 number) { return Found(lists->FindModule(&app, number), "module"); }
    quint8 Outputs(quint16 number)
    {
        quint8 bits = 0;
        Module(number).GetOutputStatus(bits);
        return bits;
    }
    std::array<quint8, 5> Temperature(quint16 number)
    {
        std::array<quint8, 5> bytes{};
        Module(number).GetTemperature(bytes);
        return bytes;
    }

    QString logText;
    QTextStream log{&logText};
    RecordingMessages messages;
    TDataFileManager app{nullptr, QByteArray(), &messages};
    std::unique_ptr<TProgramLists> lists;
    std::unique_ptr<TInstallationSimulator> simulator;
};

} // namespace

TEST_F(SimulatorTest, UdpSessionRefreshToggleDimMemoVariableAndDrift)
{
    ASSERT_TRUE(StartSimulator({.Password = QStringLiteral("secret"), .Log = true}));
    LoadProgramSide();
    ASSERT_TRUE(LogIn("secret"));
    EXPECT_TRUE(simulator->HasSession());

    // Refresh: temperatures arrive for every thermostat.
    TFrameBuilder::BuildRefreshInputs(*app.Link());
    TFrameBuilder::BuildRefreshOutputs(*app.Link());
    ASSERT_TRUE(RunUntil([&] { return Temperature(12)[0] != 0; }));
    EXPECT_EQ(Temperature(12), simulator->Temperature(12));

    Module(2).SendToggle(0);
    ASSERT_TRUE(RunUntil([&] { return Outputs(2) == 0x01; }));
    EXPECT_EQ(simulator->Outputs(2), 0x01);
    // The log shows each frame decoded and each answer.
    log.flush();
    EXPECT_TRUE(logText.contains(QStringLiteral("send INFO:Session opened:INFO\n")));
    EXPECT_TRUE(logText.contains(QStringLiteral("recv toggle IO 0 (module 2 channel 0)\nsend module 2 outputs 01\n"))) << logText.toStdString();

    Module(4).SendDimLevel(0, 40);
    std::array<quint8, 8> levels{};
    ASSERT_TRUE(RunUntil([&] { Module(4).GetLevels(levels); return levels[0] == 40; }));

    lists->FindMemo(&app, 0)->SendRecall();
    ASSERT_TRUE(RunUntil([&] { return Outputs(2) == 0x83; }));
    ASSERT_TRUE(RunUntil([&] { Module(4).GetLevels(levels); return levels[0] == 100; }));
    EXPECT_EQ(lists->FindMemo(&app, 0)->GetStateText(), "On");

    TVQQVariableBaseItem *guests = lists->FindVariable(&app, 2);
    guests->SendValueClick();
    ASSERT_TRUE(RunUntil([&] { return guests->GetValue() == 1; }));

    Module(12).SendTemperatureCommand(0, 10, 0);  // set point up half a degree
    const quint8 setPointTenths = quint8(simulator->Temperature(12)[2] * 10 + simulator->Temperature(12)[3]);
    ASSERT_TRUE(RunUntil([&] { return Temperature(12)[2] * 10 + Temperature(12)[3] == setPointTenths; }));

    const std::array<quint8, 5> before = Temperature(12);
    simulator->Tick();
    ASSERT_TRUE(RunUntil([&] { return Temperature(12) != before; }));
    EXPECT_EQ(Temperature(12), simulator->Temperature(12));
}

// Each refusal switch: the module's answer, and a link left closed.
TEST_F(SimulatorTest, RefusalsLeaveTheLinkClosed)
{
    QSignalSpy answers(&app.Session(), &TLinkSession::sessionAnswered);
    ASSERT_TRUE(StartSimulator({.RefusePassword = true}));
    LoadProgramSide();
    EXPECT_FALSE(LogIn());
    EXPECT_EQ(app.Session().State(), SessionStates::Closed);
    EXPECT_FALSE(app.Link()->IsOpen());

    ASSERT_TRUE(StartSimulator({.DenyAccess = true}));
    EXPECT_FALSE(LogIn());
    EXPECT_FALSE(app.Link()->IsOpen());
    ASSERT_EQ(answers.size(), 2);
    EXPECT_EQ(QByteArrayList({answers[0][0].toByteArray(), answers[1][0].toByteArray()}),
              QByteArrayList({"INFO:Auth failed:INFO\r\n", "INFO:Access denied. Close current session:INFO\r\n"}));

    // With a password: a wrong one and plain "LOGIN" are refused, the right one accepted.
    ASSERT_TRUE(StartSimulator({.Password = QStringLiteral("secret")}));
    EXPECT_FALSE(LogIn("guess"));
    EXPECT_EQ(app.Session().State(), SessionStates::Closed);
    EXPECT_FALSE(LogIn());
    EXPECT_TRUE(LogIn("secret"));
}

TEST_F(SimulatorTest, SecondClientWhileASessionIsOpenIsDenied)
{
    ASSERT_TRUE(StartSimulator());
    LoadProgramSide();
    ASSERT_TRUE(LogIn());

    RecordingMessages otherMessages;
    TDataFileManager other(nullptr, QByteArray(), &otherMessages);
    ASSERT_TRUE(other.ExportImport(QStringLiteral(QUELNOR_TEST_EXPORT), TDataFileManager::ImportReplace));
    lists->AddApplication(other);
    ASSERT_TRUE(other.Session().OpenUdpLink(simulator->UdpPort(), "127.0.0.1", ""));
    ASSERT_TRUE(RunUntil([&] { return other.Session().State() != SessionStates::LoggingIn; }));
    EXPECT_EQ(other.Session().State(), SessionStates::Closed);

    // Commands of the client without a session are ignored.
    lists->FindModule(&other, 2)->SendToggle(0);
    Module(2).SendToggle(1);
    ASSERT_TRUE(RunUntil([&] { return Outputs(2) == 0x02; }));
    EXPECT_EQ(simulator->Outputs(2), 0x02);
}

TEST_F(SimulatorTest, GarbageIsDroppedByTheProgram)
{
    ASSERT_TRUE(StartSimulator({.Garbage = true}));
    LoadProgramSide();
    ASSERT_TRUE(LogIn());
    const quint64 droppedBefore = app.DroppedFrames();
    simulator->Tick();
    // Unknown type and address forms 0 and 3: three frames dropped, the noise bytes too.
    ASSERT_TRUE(RunUntil([&] { return app.DroppedFrames() >= droppedBefore + 3; }));
    EXPECT_GT(app.DroppedBytes(), 0u);
    EXPECT_EQ(Outputs(2), 0x00);  // the garbage frames would have set every output of module 2
}

TEST_F(SimulatorTest, ConsoleAgainstTheSimulator)
{
    ASSERT_TRUE(StartSimulator());
    const ToolRun run = RunTool({"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", QStringLiteral("127.0.0.1:%1").arg(simulator->UdpPort()),
                                 "--settle", "200"},
                                "toggle 2 0\ndim 4 0 40\nstate 2\nquit\n");
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    for (const char *line : {"<- module 2 outputs 01\n", "<- module 4 levels 40 0 0 0 0 0 0 0\n", "module 2: outputs 01\n"})
        EXPECT_TRUE(run.out.contains(QLatin1String(line))) << run.out.toStdString();
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("Logged out\n")));
}

TEST(SimulatorProgram, StartsAndStopsCleanlyOnSigterm)
{
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("Ports/COM7"));
    QProcess sim;
    sim.start(QStringLiteral(QUELNOR_PROGRAM_DIR "/quelnor-sim"),
              {"--export", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", "0", "--serial", link, "--exit-after", "60"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    QByteArray output;
    ASSERT_TRUE(RunUntil([&] { output += sim.readAllStandardOutput(); return output.contains("modules, UDP"); }));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(std::make_tuple(sim.exitStatus(), sim.exitCode()), std::make_tuple(QProcess::NormalExit, 0));
    EXPECT_TRUE((output + sim.readAllStandardOutput()).contains("quelnor-sim stopped"));
    EXPECT_FALSE(QFileInfo::exists(link));

    QProcess bad;
    bad.start(QStringLiteral(QUELNOR_PROGRAM_DIR "/quelnor-sim"), {"--udp", "x"});
    ASSERT_TRUE(bad.waitForFinished(5000));
    EXPECT_EQ(bad.exitCode(), 2);
    EXPECT_TRUE(bad.readAllStandardError().contains("Usage: quelnor-sim"));
}

TEST(SimulatorCamera, OptionsAndTheirRefusals)
{
    QString error;
    QTemporaryDir folder;
    TFileAccess::SaveAtomically(folder.filePath(QStringLiteral("pw")), "s\xc3\xa9same\r\nsecond line\n");
    const auto parsed = TSimulatorOptions::Parse({"--export", "x.qap", "--camera", "8081", "--camera-user", "viewer",
                                                  "--camera-password", "pw", "--camera-auth", "digest", "--camera-fps", "25",
                                                  "--camera-stall-after", "3", "--camera-refuse", "--reboot-after", "30",
                                                  "--cut", "25", "--login-delay", "4500", "--password-file",
                                                  folder.filePath(QStringLiteral("pw"))},
                                                 error);
    ASSERT_TRUE(parsed) << error.toStdString();
    EXPECT_EQ(std::tie(parsed->CameraPort, parsed->CameraUser, parsed->CameraPassword, parsed->CameraAuth, parsed->CameraFps),
              std::make_tuple(8081, QStringLiteral("viewer"), QStringLiteral("pw"), QStringLiteral("digest"), 25));
    EXPECT_EQ(std::tie(parsed->CameraStallAfter, parsed->CameraRefuse, parsed->RebootAfter, parsed->CutPercent, parsed->LoginDelay),
              std::make_tuple(3, true, 30, 25, 4500));
    // The first line of the password file, without its end.
    EXPECT_EQ(parsed->Password, QString::fromUtf8("s\xc3\xa9same"));
    const auto defaults = TSimulatorOptions::Parse({"--export", "x.qap"}, error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(std::tie(defaults->CameraPort, defaults->CameraUser, defaults->CameraPassword),
              std::make_tuple(-1, QStringLiteral("root"), QStringLiteral("tavo")));

    const struct { QStringList arguments; const char *error; } refused[] = {
        {{"--camera", "70000"}, "--camera takes a whole number from 0 to 65535"},
        {{"--camera-auth", "ntlm"}, "--camera-auth takes basic, digest or both"},
        {{"--camera-user", "a:b"}, "--camera-user takes plain characters, no colon"},
        {{"--camera-fps", "0"}, "--camera-fps takes a whole number from 1 to 60"},
        {{"--reboot-after", "0"}, "--reboot-after takes a whole number from 1 to 86400"},
        {{"--cut", "101"}, "--cut takes a whole number from 0 to 100"},
        {{"--login-delay", "-1"}, "--login-delay takes a whole number from 0 to 60000"},
        {{"--password-file", "/no/such"}, "Cannot read the password file /no/such"},
    };
    for (const auto &row : refused) {
        EXPECT_FALSE(TSimulatorOptions::Parse(QStringList{"--export", "x.qap"} + row.arguments, error));
        EXPECT_EQ(error, QString::fromLatin1(row.error));
    }
}

TEST(SimulatorCamera, ServesAStreamThatTheProgramPlays)
{
    // Each way the camera asks for an account, and its two faults.
    const struct { const char *name; TCameraServer::Auth auth; int stallAfter; bool refuse; CameraState expected; } rows[] = {
        {"basic and digest offered", TCameraServer::Auth::Both, 0, false, CameraState::Playing},
        {"basic only", TCameraServer::Auth::Basic, 0, false, CameraState::Playing},
        {"digest only", TCameraServer::Auth::Digest, 0, false, CameraState::Playing},
        {"stalls after 3 pictures", TCameraServer::Auth::Both, 3, false, CameraState::Stopped},
        {"refuses", TCameraServer::Auth::Both, 0, true, CameraState::Refused},
    };
    for (const auto &row : rows) {
        const TCameraServer::Options options{.Authentication = row.auth, .FramesPerSecond = 50, .PictureSize = QSize(160, 120),
                                             .StallAfter = row.stallAfter, .Refuse = row.refuse};
        QStringList log;
        TCameraServer camera(options, [&log](const QString &line) { log.append(line); });
        QString error;
        ASSERT_TRUE(camera.Start(error)) << error.toStdString();
        TCameraStream stream;
        TCameraTimings timings;
        timings.StallAfter = 300;
        stream.SetTimings(timings);
        QByteArrayList pictures;
        QObject::connect(&stream, &TCameraStream::frameArrived, &stream, [&] {
            QByteArray jpeg;
            if (stream.TakeNewest(jpeg))
                pictures.append(jpeg);
        });
        stream.SetSource("127.0.0.1:" + QByteArray::number(camera.Port()), QStringLiteral("root"), QStringLiteral("tavo"));
        stream.Start();
        ASSERT_TRUE(RunUntil([&] { return stream.State() == row.expected && (row.expected != CameraState::Playing || pictures.size() >= 3); }))
            << row.name;
        if (row.stallAfter > 0) {
            EXPECT_EQ(pictures.size(), row.stallAfter) << row.name;
        }
        // JPEG pictures that change from one to the next, so a frozen stream shows.
        for (const QByteArray &picture : pictures)
            EXPECT_TRUE(picture.startsWith("\xff\xd8") && picture.endsWith("\xff\xd9")) << row.name;
        if (pictures.size() >= 2) {
            EXPECT_NE(pictures[0], pictures[1]) << row.name;
        }
        // The log says what happened, never with the account.
        EXPECT_FALSE(log.isEmpty()) << row.name;
        for (const QString &line : log)
            EXPECT_FALSE(line.contains(QStringLiteral("tavo")) || line.contains(QStringLiteral("root"))) << line.toStdString();
    }
}
