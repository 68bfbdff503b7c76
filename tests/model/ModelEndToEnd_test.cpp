#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TProgramLists.h"
#include "TSessionDialog.h"
#include "TVQQModuleBase.h"

#include "RecordingMessages.h"
#include "TestInstallation.h"
#include "TPtyEndpoint.h"
#include "UdpPeer.h"

#include "QtPrinters.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A peer written here plays the interface module (number 1); relay module 2 has its channel 0
// at IO index 0.
const QByteArray k_toggleChannel0 = "\x02" "B50300016000020000" "1B" "\x03";
const QByteArray k_outputsOfModule2 = "\x02" "B50000028600013E" "\x03";  // output bits 0x01

class ModelEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AddTestModule(app, 1, 45, 1, "QNET04");
        AddTestModule(app, 2, 6, 2, "Relays", {{0, 100}});
    }
    void MakeLists(const QString &programFolder = QStringLiteral(QUELNOR_PROGRAM_DIR))
    {
        lists = std::make_unique<TProgramLists>(nullptr, programFolder, &messages);
        lists->AddApplication(app);
    }
    quint8 Outputs()
    {
        quint8 bits = 0;
        lists->FindModule(&app, 2)->GetOutputStatus(bits);
        return bits;
    }

    RecordingMessages messages;
    TDataFileManager app{nullptr, "a", &messages};
    std::unique_ptr<TProgramLists> lists;
};

class RecordingDialog : public TSessionDialog
{
public:
    bool IsShown() const override { return true; }
    void ShowPanelText(const QString &text) override { Panel = text; }
    void SessionOpened() override { Opened = true; }
    QString Panel;
    bool Opened = false;
};

} // namespace

TEST_F(ModelEndToEndTest, UdpLogInCommandAndStatus)
{
    MakeLists();
    UdpPeer peer;
    for (const QByteArray &password : {QByteArray(), QByteArray("secret")}) {
        RecordingDialog dialog;
        app.Session().SetSessionDialog(&dialog);
        ASSERT_TRUE(app.Session().OpenUdpLink(peer.Port(), "127.0.0.1", password));
        EXPECT_EQ(app.Session().State(), SessionStates::LoggingIn);
        EXPECT_EQ(peer.Receive(), password.isEmpty() ? QByteArray("LOGIN") : QByteArray("LOGIN:ADD0002AFC97BC4D"));

        // Status frames before the session answer are not taken as frames.
        peer.Send(k_outputsOfModule2);
        peer.Send("INFO:Session opened:INFO\r\n");
        ASSERT_TRUE(RunUntil([&] { return app.Session().State() == SessionStates::Open; }));
        EXPECT_EQ(std::make_tuple(dialog.Opened, Outputs(), app.Link()->LinkState()), std::make_tuple(true, 0, LinkStates::Connected));
        EXPECT_EQ(std::tie(app.Settings().LinkKind, app.Settings().Host, app.Settings().UdpPort, app.Settings().Password),
                  std::make_tuple(LinkKinds::Udp, QByteArray("127.0.0.1"), peer.Port(), password));
        // Every session that opens asks for every state, inputs then outputs.
        EXPECT_EQ(peer.Receive(), "\x02" "B5030001640A27" "\x03");
        EXPECT_EQ(peer.Receive(), "\x02" "B5030001640B28" "\x03");

        // A click sends the command; the state changes only when the status comes back.
        lists->FindModule(&app, 2)->SendToggle(0);
        const QByteArray command = peer.Receive();
        EXPECT_EQ(command.mid(0, 11), QByteArray("\x02" "B503000160"));
        EXPECT_EQ(command.mid(13), QByteArray("020000") + command.mid(19, 2) + "\x03");
        EXPECT_EQ(Outputs(), 0);
        peer.Send(k_outputsOfModule2);
        ASSERT_TRUE(RunUntil([&] { return Outputs() == 0x01; }));
        EXPECT_EQ(lists->CurrentPower(), 100u);
        peer.Send("\x02" "B50000028600003D" "\x03");  // all off again
        ASSERT_TRUE(RunUntil([&] { return Outputs() == 0x00; }));
    }
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(ModelEndToEndTest, RefusedLogIns)
{
    MakeLists();
    UdpPeer peer;
    struct Row { QByteArray answer; QString panel; };
    const Row rows[] = {
        {"INFO:Auth failed:INFO\r\n", QStringLiteral("Authorisation failed\nwrong password")},
        {"INFO:Access denied. Close current session:INFO\r\n", QStringLiteral("Acces denied\nModule is used with another connection")},
    };
    for (const Row &row : rows) {
        RecordingDialog dialog;
        app.Session().SetSessionDialog(&dialog);
        ASSERT_TRUE(app.Session().OpenUdpLink(peer.Port(), "127.0.0.1", "wrong"));
        peer.Receive();
        peer.Send(row.answer);
        ASSERT_TRUE(RunUntil([&] { return app.Session().State() == SessionStates::Closed; }));
        EXPECT_EQ(std::make_tuple(app.Link()->IsOpen(), app.Link()->LinkState(), dialog.Panel, dialog.Opened),
                  std::make_tuple(false, LinkStates::Failed, row.panel, false));
    }
}

TEST_F(ModelEndToEndTest, WatchdogClosesAnUnansweredLogInAndKeepsAnOpenSessionAlive)
{
    MakeLists();
    app.Session().SetWatchdogIntervals(50, 100);
    app.Session().SetTimings({.RefreshGap = 1});
    UdpPeer peer;

    RecordingDialog dialog;
    app.Session().SetSessionDialog(&dialog);
    ASSERT_TRUE(app.Session().OpenUdpLink(peer.Port(), "127.0.0.1", ""));
    peer.Receive();
    ASSERT_TRUE(RunUntil([&] { return !app.Link()->IsOpen(); }));
    EXPECT_EQ(app.Session().State(), SessionStates::LoggingIn);
    EXPECT_EQ(dialog.Panel, QStringLiteral("No connection with Module Qnet04"));

    ASSERT_TRUE(app.Session().OpenUdpLink(peer.Port(), "127.0.0.1", ""));
    peer.Receive();
    peer.Send("INFO:Session opened:INFO\r\n");
    // The keep-alive goes out at each interval while the session is open.
    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640A"));
    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640B"));
    EXPECT_EQ(QByteArrayList({peer.Receive(), peer.Receive()}), QByteArrayList(2, "\x02" "B5030001HELLO"));
    EXPECT_TRUE(app.Link()->IsOpen());
}

TEST_F(ModelEndToEndTest, SerialLinkOverAPty)
{
    TPtyEndpoint pty;
    QByteArray sent;
    QObject::connect(&pty, &TPtyEndpoint::received, [&](const QByteArray &bytes) { sent += bytes; });
    QTemporaryDir folder;
    QString error;
    ASSERT_TRUE(pty.Open(folder.path() + QStringLiteral("/Ports/COM4"), error)) << error.toStdString();
    EXPECT_EQ(SerialPort::SerialDevicePath(folder.path(), 4), folder.path() + QStringLiteral("/Ports/COM4"));
    MakeLists(folder.path());

    app.Settings().LinkKind = LinkKinds::Serial;
    app.Settings().ComPort = 4;
    ASSERT_TRUE(app.Session().ReopenLink());
    EXPECT_EQ(app.Link()->LinkState(), LinkStates::Connected);

    const QByteArray refresh = "\x02" "B5030001640A27" "\x03" "\x02" "B5030001640B28" "\x03";
    lists->FindModule(&app, 2)->SendToggle(0);
    RunUntil([&] { return sent.size() >= refresh.size() + k_toggleChannel0.size(); });
    // The refresh of the link coming up (its second half 100 ms later), then the toggle.
    EXPECT_EQ(sent, refresh.left(16) + k_toggleChannel0 + refresh.mid(16));

    // The status arrives in pieces, as a serial line may deliver it.
    QSignalSpy arrived(app.Link(), &SerialPort::dataArrived);
    pty.Write(k_outputsOfModule2.left(7));
    ASSERT_TRUE(arrived.wait(5000));
    pty.Write(k_outputsOfModule2.mid(7));
    ASSERT_TRUE(RunUntil([&] { return Outputs() == 0x01; }));

    // Reopening an open link closes it first; closing keeps the state it had.
    ASSERT_TRUE(app.Link()->OpenSerial(4, 9600));
    EXPECT_TRUE(app.Link()->IsOpen());
    app.Link()->CloseLink();
    EXPECT_FALSE(app.Link()->IsOpen());
    EXPECT_EQ(app.Link()->LinkState(), LinkStates::Connected);
    ASSERT_TRUE(app.Session().ReopenLink());

    // The device goes: the session closes the link, marks it failed and lost, with the reason;
    // no message box waits for a click, the screens say it.
    messages.Shown.clear();
    pty.Unplug();
    ASSERT_TRUE(RunUntil([&] { return app.Link()->LinkState() == LinkStates::Failed; }));
    EXPECT_EQ(std::make_tuple(app.Link()->IsOpen(), app.Session().PollTimer()->isActive(), app.Session().Health(),
                              app.Session().LostReason().isEmpty(), messages.Shown.size(), app.Session().RetryTimer()->isActive()),
              std::make_tuple(false, false, LinkHealth::Lost, false, 0, true));

    // The adapter comes back behind the same COM name: the next attempt opens it and asks for
    // every state, inputs then outputs.
    TPtyEndpoint back;
    QByteArray asked;
    QObject::connect(&back, &TPtyEndpoint::received, [&](const QByteArray &bytes) { asked += bytes; });
    ASSERT_TRUE(back.Open(folder.path() + QStringLiteral("/Ports/COM4"), error));
    app.Session().RetryLink();
    EXPECT_EQ(app.Session().Health(), LinkHealth::Up);
    ASSERT_TRUE(RunUntil([&] { return asked.count('\x03') >= 2; }));
    EXPECT_TRUE(asked.startsWith("\x02" "B5030001640A")) << asked.toStdString();
    EXPECT_TRUE(asked.contains("\x03\x02" "B5030001640B")) << asked.toStdString();
}

// A log-in without answer loses the link; each failed attempt doubles the pause, up to 30 s; the
// answer at last brings the link up, asks for every state and ends the attempts.
TEST_F(ModelEndToEndTest, ALostLinkTriesAgainWithGrowingPauses)
{
    MakeLists();
    UdpPeer peer;
    app.Settings().Host = "127.0.0.1";
    app.Settings().UdpPort = peer.Port();
    app.Settings().Password = "";
    ASSERT_TRUE(app.Session().OpenUdpLink(peer.Port(), "127.0.0.1", ""));
    EXPECT_EQ(app.Session().Health(), LinkHealth::Opening);
    EXPECT_EQ(peer.Receive(), "LOGIN");
    app.Session().WatchdogExpired();
    EXPECT_EQ(app.Session().Health(), LinkHealth::Lost);
    EXPECT_EQ(app.Session().LostReason(), QStringLiteral("No answer to the log-in"));
    std::vector<int> pauses{app.Session().RetryPause()};
    for (int attempt = 0; attempt < 6; ++attempt) {
        app.Session().RetryLink();
        EXPECT_EQ(peer.Receive(), "LOGIN");
        app.Session().WatchdogExpired();
        pauses.push_back(app.Session().RetryPause());
    }
    EXPECT_EQ(pauses, (std::vector<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000}));
    EXPECT_EQ(app.Session().Health(), LinkHealth::Lost);

    const quint32 epoch = app.Session().Epoch();
    app.Session().RetryLink();
    EXPECT_EQ(peer.Receive(), "LOGIN");
    peer.Send("INFO:Session opened:INFO\r\n");
    ASSERT_TRUE(RunUntil([&] { return app.Session().Health() == LinkHealth::Up; }));
    EXPECT_TRUE(app.Session().Epoch() > epoch && !app.Session().RetryTimer()->isActive());
    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640A"));
    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640B"));

    // Session answers when no log-in waits are ignored (a forged or late datagram closes nothing);
    // a status sent after them shows when they have been read. A state reported now is fresh.
    TVQQModuleBase *module = lists->FindModule(&app, 2);
    EXPECT_EQ(module->Trust(PartOutputs), StateTrust::Unknown);
    for (const char *answer : {"INFO:Auth failed:INFO\r\n", "INFO:Access denied. Close current session:INFO\r\n"})
        peer.Send(answer);
    peer.Send(k_outputsOfModule2);
    ASSERT_TRUE(RunUntil([&] { return module->Trust(PartOutputs) == StateTrust::Fresh; }));
    EXPECT_EQ(std::make_tuple(app.Session().State(), app.Session().Health(), app.Link()->IsOpen(), module->Trust(PartOutputs | PartInputs)),
              std::make_tuple(SessionStates::Open, LinkHealth::Up, true, StateTrust::Unknown));
    app.Session().WatchdogExpired();  // the keep-alive goes out, no answer expected: still up
    EXPECT_EQ(peer.Receive(), "\x02" "B5030001HELLO");
    EXPECT_FALSE(app.Session().AnswerTimer()->isActive());
    EXPECT_EQ(app.Session().Health(), LinkHealth::Up);
    app.Session().AnswerTimeout();    // a command without answer: in doubt, the states asked again
    EXPECT_EQ(app.Session().Health(), LinkHealth::InDoubt);
    EXPECT_EQ(module->Trust(PartOutputs), StateTrust::Fresh);
    app.Session().QuietTimeout();     // too soon after the reconnection's: put off
    app.Session().SetTimings({.ResyncSpacing = 0});
    app.Session().QuietTimeout();
    EXPECT_TRUE(peer.Receive().startsWith("\x02" "B5030001640A"));
    app.Session().AnswerTimeout();    // nothing back either: lost
    EXPECT_EQ(app.Session().Health(), LinkHealth::Lost);
    EXPECT_EQ(module->Trust(PartOutputs), StateTrust::Stale);

    app.Session().CloseLink();
    EXPECT_EQ(app.Session().Health(), LinkHealth::Closed);
    EXPECT_FALSE(app.Session().RetryTimer()->isActive());

    // The module's port closed: the "port unreachable" that answers the next frame loses the link
    // at once, with that reason, rather than after the silence.
    auto closing = std::make_unique<UdpPeer>();
    ASSERT_TRUE(app.Session().OpenUdpLink(closing->Port(), "127.0.0.1", ""));
    closing->Receive();
    closing->Send("INFO:Session opened:INFO\r\n");
    ASSERT_TRUE(RunUntil([&] { return app.Session().Health() == LinkHealth::Up; }));
    closing.reset();
    lists->FindModule(&app, 2)->SendToggle(0);
    ASSERT_TRUE(RunUntil([&] { return app.Session().Health() == LinkHealth::Lost; }));
    EXPECT_EQ(app.Session().LostReason(), QStringLiteral("The interface module's port is unreachable"));
    EXPECT_TRUE(messages.Shown.isEmpty());
}

// A damaged frame on a link that never goes quiet (a status every 50 ms): the states are asked
// for again anyway, within the bound; a frame cut short with nothing after it counts as damage too.
TEST_F(ModelEndToEndTest, DamageIsAskedForAgainOnABusyLinkAndAfterACutFrame)
{
    MakeLists();
    app.Session().SetTimings({.QuietMoment = 300, .ResyncLatest = 200, .ResyncSpacing = 0, .RefreshGap = 1});
    UdpPeer peer;
    ASSERT_TRUE(app.Session().OpenUdpLink(peer.Port(), "127.0.0.1", ""));
    peer.Receive();
    peer.Send("INFO:Session opened:INFO\r\n");
    ASSERT_TRUE(peer.Receive().startsWith("\x02" "B5030001640A"));
    ASSERT_TRUE(peer.Receive().startsWith("\x02" "B5030001640B"));

    const QByteArray damaged = QByteArray(k_outputsOfModule2).replace("3E", "3F");
    for (const QByteArray &bad : {damaged, k_outputsOfModule2.left(9)}) {
        peer.Send(bad);
        QTimer busy;
        QObject::connect(&busy, &QTimer::timeout, [&] { peer.Send("\x02" "B50000028600003D" "\x03"); });
        busy.start(bad == damaged ? 50 : 3600000);
        EXPECT_TRUE(peer.Receive(3000).startsWith("\x02" "B5030001640A")) << bad.toStdString();
        EXPECT_TRUE(peer.Receive(3000).startsWith("\x02" "B5030001640B")) << bad.toStdString();
    }
    EXPECT_GT(app.DamagedFrames(), 0u);
    EXPECT_GT(app.DroppedBytes(), 0u);
}
