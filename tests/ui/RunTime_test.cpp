#include "MainWindowFixture.h"

#include "EventLoop.h"
#include "Lookups.h"
#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "RecordingMessages.h"
#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TRunTimeSwitch.h"
#include "TForm17.h"
#include "TForm6.h"
#include "TInstallationSimulator.h"
#include "TSelectCom.h"
#include "TSettingsFile.h"
#include "TUdpSelect.h"
#include "TVQQModuleBase.h"
#include "TPtyEndpoint.h"
#include "UiHelpers.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// The password the test project stores.
const QString k_secret = QStringLiteral("secret");

// The test project turned into one of two applications of the test installation: "a.qap" over
// UDP with a password (the screens' controls belong to it) and "b.qap" over the serial COM3.
QByteArray TwoApplicationProject(const QByteArray &house, quint16 udpPort, const QByteArray &password)
{
    const qsizetype blockStart = house.indexOf("App Data\r\n");
    const qsizetype blockEnd = house.indexOf("EOF DataFile\r\n") + 14;
    const QByteArray records = house.mid(house.indexOf("Version\r\n", blockStart), blockEnd - house.indexOf("Version\r\n", blockStart));
    const QByteArray udp = QByteArray::number(udpPort, 16).rightJustified(4, ' ');
    const QByteArray pw = password.isEmpty() ? QByteArray("(null)") : password;
    return "Version prj\r\n*[04]*****\r\nProjectList\r\n*[01]*****\r\n"
           "C:\\Quelnor\\Data\\a.qap| 1\r\nC:\\Quelnor\\Data\\b.qap| 2\r\nEOF ProjectFile\r\n"
           "App Data\r\n*[01]*\r\n 3 0 1 " + QByteArray(password.isEmpty() ? "0" : "1") + udp + "127.0.0.1|" + pw + "|C:\\Quelnor\\Data\\a.qap|\r\n"
           + records +
           "App Data\r\n*[01]*\r\n 1 3 2 0   0(null)|(null)|C:\\Quelnor\\Data\\b.qap|\r\n" + records + house.mid(blockEnd);
}

class RunTimeTest : public UnopenedWindowTest
{
protected:
    // The simulator started on the test installation (on a free UDP port unless `port`), logging.
    bool StartSimulator(TSimulatorOptions options, quint16 port = 0)
    {
        options.ExportPath = folder.File(QStringLiteral("Data/house.qap"));
        options.UdpPort = port;
        options.ProgramFolder = QStringLiteral(QUELNOR_PROGRAM_DIR);
        options.TickMilliseconds = 3600000;
        options.Log = true;
        simulator = std::make_unique<TInstallationSimulator>(options, log);
        QString error;
        const bool started = simulator->Start(error);
        if (!started)
            ADD_FAILURE() << error.toStdString();
        return started;
    }
    // The simulator started and the two-application project opened on it; without `serialToo`
    // the serial application is left without a link.
    bool Start(TSimulatorOptions options, bool serialToo = true)
    {
        if (!StartSimulator(options))
            return false;
        const QString path = folder.File(QStringLiteral("Data/two.qvp"));
        TFileAccess::SaveAtomically(path, TwoApplicationProject(folder.Read(folder.House()), simulator->UdpPort(), password));
        if (!window.OpenProject(path))
            return false;
        if (!serialToo)
            App(1).Settings().LinkKind = LinkKinds::None;
        return true;
    }
    // Whether the connection window of `w` finished its procedure.
    static bool Finished(TForm1 &w) { return RunUntil([&] { return w.Connecting()->Step() == TForm6::Steps::Finished; }, 10000); }
    // Run time entered, the connection window ticking every `tick` ms (its own pace for 0).
    bool EnterRunTime(int tick = 0)
    {
        if (tick)
            window.Connecting()->ConnectTimer()->setInterval(tick);
        window.RunTime()->CommandRunTime();
        return Finished(window);
    }
    TDataFileManager &App(int index) { return *window.Project()->Applications().at(size_t(index)); }

    // Run time entered on the UDP application alone, with short health waits, and the ceiling
    // lamp's control shown fresh and off; a failure throws.
    TVQBaseControl *ConnectWithShortWaits()
    {
        App(1).Settings().LinkKind = LinkKinds::None;
        App(0).Session().SetTimings({.AnswerWait = 200, .QuietMoment = 20, .ResyncSpacing = 100, .RetryFirst = 20, .RetryLongest = 160, .RefreshGap = 10});
        App(0).Session().SetWatchdogIntervals(300, 60000);
        if (!EnterRunTime(10))
            throw std::runtime_error("the connection did not finish");
        TVQBaseControl *ceiling = LabelledControl(window.ScreenWindows()[0], QStringLiteral("Living room ceiling"));
        if (!RunUntil([&] { return ceiling->Trust() == StateTrust::Fresh; }))
            throw std::runtime_error("the ceiling lamp's state did not come");
        return ceiling;
    }
    // The controls of every screen that do not show a fresh state.
    int UntrustedControls()
    {
        int count = 0;
        for (TMyForm11 *screen : window.ScreenWindows()) {
            for (const TVQControl *control : screen->Area()->findChildren<TVQControl *>())
                count += control->Trust() != StateTrust::Fresh;
        }
        return count;
    }
    // A second main window started with the project as the last file, as the program starts; its
    // serial application has no link here. None when the project did not open with both.
    std::unique_ptr<TForm1> StartOnLastFile(bool openLastFile, bool kiosk)
    {
        TSettings settings;
        settings.OpenLastFile = openLastFile;
        TSettingsFile::Write(folder.Path(), settings, folder.File(QStringLiteral("Data/two.qvp")));
        auto started = std::make_unique<TForm1>(folder.Path(), &dialogs);
        started->SetKiosk(kiosk);
        started->FirstActivation();
        if (started->Project()->Applications().size() != 2u) {
            ADD_FAILURE() << "the last project opened with " << started->Project()->Applications().size() << " applications";
            return nullptr;
        }
        started->Project()->Applications()[1]->Settings().LinkKind = LinkKinds::None;
        return started;
    }
    // The project summary's line on the first application's link.
    QString SummaryLinkLine()
    {
        const QTreeWidget *tree = window.Summary()->findChild<QTreeWidget *>();
        for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it) {
            const QString text = (*it)->text(0);
            if (text.contains(QStringLiteral(": IP ")))
                return text;
        }
        return {};
    }
    int Logged(const QString &text)
    {
        log.flush();
        return int(logText.count(text));
    }

    QString logText;
    QTextStream log{&logText};
    std::unique_ptr<TInstallationSimulator> simulator;
    QByteArray password = "secret";
};

} // namespace

TEST_F(RunTimeTest, TwoApplicationsConnectRefreshAndSwitchAnOutput)
{
    ASSERT_TRUE(Start({.Password = k_secret, .SerialPath = folder.File(QStringLiteral("Ports/COM3"))}));
    App(0).Session().SetWatchdogIntervals(1000, 100);  // the keep-alive every 100 ms once the session is open
    App(0).Link()->SetLogoutWait(20);

    window.RunTime()->CommandRunTime();
    EXPECT_TRUE(window.Connecting()->isVisible());
    // Centred on the desktop, not over the screens' controls at its corner.
    const QRect desktop = window.Connecting()->screen()->availableGeometry();
    EXPECT_LE((window.Connecting()->frameGeometry().center() - desktop.center()).manhattanLength(), 2);
    ASSERT_TRUE(Finished(window));
    EXPECT_EQ(window.Connecting()->Lines(), QStringList({"Connecting on a.qap", "->Succes", "Connecting on b.qap", "->Succes",
                                                         "refresh inputs on a.qap", "refresh ouputs on a.qap",
                                                         "refresh inputs on b.qap", "refresh ouputs on b.qap"}));
    EXPECT_FALSE(window.Connecting()->isVisible());
    EXPECT_EQ(window.RunTime()->Mode(), RunMode::RunTime);
    EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join(QLatin1Char('|')).toStdString();

    // The refresh showed the outputs off; a click sends the toggle, and the control shows "On"
    // only once the status frame has come back.
    TVQBaseControl *ceiling = LabelledControl(window.ScreenWindows()[0], QStringLiteral("Living room ceiling"));
    ASSERT_TRUE(RunUntil([&] { return ceiling->CurrentStateName() == QStringLiteral("Off"); }));
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("Off"));
    ASSERT_TRUE(RunUntil([&] { return ceiling->CurrentStateName() == QStringLiteral("On"); }));
    EXPECT_EQ(simulator->Outputs(2) & 1, 1);

    // The keep-alive goes out at its interval.
    ASSERT_TRUE(RunUntil([&] { return Logged(QStringLiteral("recv keep-alive")) >= 2; }, 5000));

    // Design time logs out without waiting for it and closes every link.
    window.RunTime()->CommandDesignTime();
    EXPECT_EQ(std::make_tuple(App(0).Link()->IsLoggingOut(), App(1).Link()->IsOpen(), window.RunTime()->Mode()), std::make_tuple(true, false, RunMode::DesignTime));
    ASSERT_TRUE(RunUntil([&] { return !simulator->HasSession() && App(0).Link()->LinkState() == LinkStates::Idle; }));
    EXPECT_EQ(Logged(QStringLiteral("recv LOGOUT")), 1);
    const int keepAlives = Logged(QStringLiteral("recv keep-alive"));
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(Logged(QStringLiteral("recv keep-alive")), keepAlives);  // the watchdog stopped
}

TEST_F(RunTimeTest, WrongPasswordShowsInTheUdpDialog)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    // No link kind stored: run time sets the link up with the user, here with a wrong password.
    App(0).Settings().LinkKind = LinkKinds::None;
    App(1).Settings().LinkKind = LinkKinds::None;
    App(1).Current();
    QString panel;
    int dialogsRun = 0;
    dialogs.DialogHandler = [&](QDialog &dialog) {
        ++dialogsRun;
        auto *udp = qobject_cast<TUdpSelect *>(&dialog);
        if (!udp || dialogsRun > 1)
            return int(QDialog::Rejected);
        udp->show();
        EXPECT_EQ(Child<QLineEdit>(*udp, "Port").text(), QString::number(simulator->UdpPort()));  // pre-filled from the settings
        Child<QLineEdit>(*udp, "Password").setText(QStringLiteral("wrong"));
        udp->Connect();
        RunUntil([&] { return Child<QFrame>(*udp, "Panel").isVisible(); });
        panel = Child<QLabel>(*udp, "PanelText").text();
        EXPECT_EQ(Child<QTimer>(*udp, "PanelTimer").interval(), 5000);
        Child<QTimer>(*udp, "PanelTimer").setInterval(10);
        Child<QTimer>(*udp, "PanelTimer").start();
        EXPECT_TRUE(RunUntil([&] { return !Child<QFrame>(*udp, "Panel").isVisible(); }));
        return int(QDialog::Rejected);
    };
    window.RunTime()->CommandRunTime();
    EXPECT_EQ(std::make_tuple(panel, App(0).Link()->LinkState()), std::make_tuple(QStringLiteral("Authorisation failed\nwrong password"), LinkStates::Failed));
    EXPECT_EQ(dialogs.Messages, QStringList({"No communication port open"}));
    EXPECT_NE(window.RunTime()->Mode(), RunMode::RunTime);
}

// A refused log-in during the connection procedure says so; the answer it left never passes for
// the next log-in's, which succeeds; closing logs out once.
TEST_F(RunTimeTest, ARefusalSaysSoAndALaterRightLogInSucceeds)
{
    password = "wrong";
    ASSERT_TRUE(Start({.Password = k_secret}, false));
    App(0).Link()->SetLogoutWait(20);
    ASSERT_TRUE(EnterRunTime());
    EXPECT_EQ(window.Connecting()->Lines().mid(0, 2),
              QStringList({"Connecting on a.qap", "->Fault Authorisation failed, wrong password"}));

    window.RunTime()->CommandDesignTime();
    App(0).Settings().Password = "secret";
    ASSERT_TRUE(EnterRunTime());
    EXPECT_EQ(window.Connecting()->Lines().mid(0, 2), QStringList({"Connecting on a.qap", "->Succes"}));
    EXPECT_EQ(App(0).Session().State(), SessionStates::Open);

    // Design time, then the window closed: one LOGOUT.
    window.RunTime()->CommandDesignTime();
    window.close();
    ASSERT_TRUE(RunUntil([&] { return App(0).Link()->LinkState() == LinkStates::Idle; }));
    RunUntil([] { return false; }, 100);
    EXPECT_EQ(Logged(QStringLiteral("recv LOGOUT")), 1) << logText.toStdString();
}

// "Open last file" set: the first activation opens the project, connects it and enters run time;
// with the last file gone the connection window still comes and run time is entered. Wall-panel
// mode: the last project (even without "open last file") in run time, a screen full screen, the
// main window hidden, the screen menu without design time, test and editing.
TEST_F(RunTimeTest, StartUpConnectsTheLastProjectInAWindowOrOnAWallPanel)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    const QString path = folder.File(QStringLiteral("Data/two.qvp"));
    QByteArray project = folder.Read(path);
    {
        const std::unique_ptr<TForm1> window2 = StartOnLastFile(true, false);
        ASSERT_TRUE(window2);
        TForm1 &started = *window2;
        EXPECT_TRUE(started.Connecting()->isVisible());
        ASSERT_TRUE(Finished(started));
        EXPECT_EQ(started.Connecting()->Lines().mid(0, 2), QStringList({"Connecting on a.qap", "->Succes"}));
        EXPECT_TRUE(started.Connecting()->Lines().contains(QStringLiteral("refresh ouputs on a.qap")));
        EXPECT_EQ(started.RunTime()->Mode(), RunMode::RunTime);
        // The refresh's states are shown: the ceiling lamp, "On" as drawn at first, is off.
        TVQBaseControl *ceiling = LabelledControl(started.ScreenWindows()[0], QStringLiteral("Living room ceiling"));
        EXPECT_TRUE(RunUntil([&] { return ceiling->CurrentStateName() == QStringLiteral("Off"); }));
    }

    // The first screen made smaller than the display: 400 x 300.
    ASSERT_TRUE(project.contains(" 1 0 0 0 0 0 1 0 320 258  28  1e   0   1Ground floor|"));
    project.replace(" 1 0 0 0 0 0 1 0 320 258  28  1e   0   1Ground floor|", " 1 0 0 0 0 0 1 0 190 12c  28  1e   0   1Ground floor|");
    ASSERT_TRUE(TFileAccess::SaveAtomically(path, project));
    const std::unique_ptr<TForm1> window2 = StartOnLastFile(false, true);
    ASSERT_TRUE(window2);
    TForm1 &panel = *window2;
    ASSERT_TRUE(Finished(panel));
    EXPECT_EQ(panel.RunTime()->Mode(), RunMode::RunTime);
    EXPECT_FALSE(panel.isVisible());
    TMyForm11 *screen = nullptr;
    for (TMyForm11 *window : panel.ScreenWindows()) {
        if (window->isVisible())
            screen = window;
    }
    ASSERT_TRUE(screen);
    EXPECT_TRUE(screen->windowState() & Qt::WindowFullScreen);
    // The picture in the middle of the display, the picture's own colour around it.
    EXPECT_EQ(screen->Area()->size(), QSize(400, 300));
    EXPECT_LE((screen->Area()->geometry().center() - screen->rect().center()).manhattanLength(), 2);
    EXPECT_EQ(screen->palette().color(QPalette::Window), screen->Area()->Picture().toImage().pixelColor(0, 0));
    screen->PrepareMenu();
    QStringList shown;
    for (QAction *action : screen->Menu()->actions()) {
        if (action->isVisible() && !action->isSeparator())
            shown.append(action->text());
    }
    EXPECT_EQ(shown, QStringList({"Show screens", "Run Time"}));
    TVQBaseControl *ceiling = LabelledControl(screen, QStringLiteral("Living room ceiling"));
    EXPECT_TRUE(RunUntil([&] { return ceiling->Trust() == StateTrust::Fresh; }));

    TSettings settings;
    settings.OpenLastFile = true;
    TSettingsFile::Write(folder.Path(), settings, folder.File(QStringLiteral("Data/gone.qvp")));
    TForm1 empty(folder.Path(), &dialogs);
    empty.FirstActivation();
    EXPECT_EQ(empty.Connecting()->Step(), TForm6::Steps::Finished);
    EXPECT_EQ(empty.RunTime()->Mode(), RunMode::RunTime);
    EXPECT_FALSE(empty.Project()->IsOpen());
}

TEST_F(RunTimeTest, SilentModuleIsPassedOver)
{
    password.clear();
    ASSERT_TRUE(Start({.Silent = true}, false));
    App(0).Session().SetWatchdogIntervals(200, 60000);
    // Nothing on a silent link may end the program: the main window and a screen stay, and the
    // program is never told its last window closed.
    window.show();
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    ASSERT_TRUE(EnterRunTime(10));
    App(0).Session().RetryLink();  // an attempt to reopen, unanswered too
    App(0).Session().WatchdogExpired();
    RunUntil([] { return false; }, 100);
    EXPECT_EQ(std::make_tuple(lastClosed.count(), window.isVisible(), window.Connecting()->isVisible()), std::make_tuple(0, true, false));
    EXPECT_EQ(window.Connecting()->Lines(), QStringList({"Connecting on a.qap", "->Fault connection Timeout",
                                                         "Connecting on b.qap", "->Fault"}));
    EXPECT_FALSE(App(0).Link()->IsOpen());  // closed by the watchdog, to be tried again
    EXPECT_EQ(App(0).Session().Health(), LinkHealth::Lost);
}

TEST_F(RunTimeTest, SerialDialog)
{
    ASSERT_TRUE(Start({}));
    TPtyEndpoint pty;
    QString error;
    ASSERT_TRUE(pty.Open(folder.File(QStringLiteral("Ports/COM7")), error)) << error.toStdString();
    TSelectCom dialog(App(1), folder.Path(), &dialogs);
    dialog.Fill(0);
    EXPECT_EQ(std::make_tuple(Child<QComboBox>(dialog, "Ports").count(), Child<QComboBox>(dialog, "Ports").currentIndex()), std::make_tuple(99, -1));
    EXPECT_FALSE(dialog.Ok());  // nothing selected: refused
    EXPECT_FALSE(App(1).Link()->IsOpen());

    Child<QComboBox>(dialog, "Ports").setCurrentIndex(7);  // COM 8: no device
    EXPECT_EQ(Child<QLabel>(dialog, "Device").text(), QStringLiteral("COM 8 opens /dev/ttyS7"));
    EXPECT_FALSE(dialog.Ok());
    EXPECT_EQ(dialogs.Messages, QStringList({"Unable to open serial Port "}));

    Child<QComboBox>(dialog, "Ports").setCurrentIndex(6);  // COM 7: the pty
    // A long path is cut in the middle on its one line; the whole path is in the tooltip.
    const QLabel &device = Child<QLabel>(dialog, "Device");
    EXPECT_EQ(device.toolTip(), QStringLiteral("COM 7 opens ") + folder.File(QStringLiteral("Ports/COM7")));
    EXPECT_TRUE(device.text().startsWith(QStringLiteral("COM 7 opens /")) && device.text().endsWith(QStringLiteral("COM7")));
    EXPECT_FALSE(device.wordWrap());
    EXPECT_TRUE(dialog.Ok());
    EXPECT_EQ(std::make_tuple(App(1).Link()->IsOpen(), App(1).Link()->LinkState()), std::make_tuple(true, LinkStates::Connected));
}

// A host or password the project file could not keep: a message, and no log-in starts.
TEST(UdpDialog, RefusesTextsThatCannotBeStored)
{
    RecordingMessages messages;
    TDataFileManager app(nullptr, "a", &messages);
    TUdpSelect dialog(app);
    // Both port dialogs at the client areas their Part gives, the message panel inside.
    EXPECT_EQ(dialog.size(), QSize(201, 157));
    EXPECT_EQ(Child<QFrame>(dialog, "Panel").geometry(), QRect(8, 8, 185, 141));
    TSelectCom serial(app, QStringLiteral(QUELNOR_PROGRAM_DIR), &messages);
    EXPECT_EQ(serial.size(), QSize(227, 78));
    for (const char *password : {"pa|ss", "new\nline"}) {
        messages.Shown.clear();
        Child<QLineEdit>(dialog, "Host").setText(QStringLiteral("127.0.0.1"));
        Child<QLineEdit>(dialog, "Password").setText(QString::fromLatin1(password));
        dialog.Connect();
        ASSERT_EQ(messages.Shown.size(), 1) << password;
        // Refused without showing the password the field hides.
        EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("The password cannot hold"))) << password;
        EXPECT_FALSE(messages.Shown[0].contains(QString::fromLatin1(password))) << password;
        EXPECT_EQ(app.Session().State(), SessionStates::Closed);
    }
    Child<QLineEdit>(dialog, "Port").setText(QStringLiteral("70000"));
    Child<QLineEdit>(dialog, "Password").setText(QStringLiteral("fine"));
    messages.Shown.clear();
    dialog.Connect();
    EXPECT_EQ(messages.Shown, QStringList({"Port must be from 0 to 65535; '70000' is not."}));
}

// Before the refresh nothing claims a state; after it every control of the screens is fresh.
TEST_F(RunTimeTest, StatesAreUnknownUntilReported)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    TVQBaseControl *ceiling = LabelledControl(window.ScreenWindows()[0], QStringLiteral("Living room ceiling"));
    window.RunTime()->SwitchEveryControl(RunMode::RunTime);
    EXPECT_EQ(ceiling->Trust(), StateTrust::Unknown);
    EXPECT_GT(UntrustedControls(), 5);
    window.RunTime()->SwitchEveryControl(RunMode::DesignTime);
    EXPECT_EQ(ceiling->Trust(), StateTrust::Fresh);  // design time keeps its faces

    ConnectWithShortWaits();
    EXPECT_TRUE(RunUntil([&] { return UntrustedControls() == 0; })) << UntrustedControls();
}

// The module drops the session: the next click gets no status back, the states asked for again
// get none either, and the link counts as lost: controls stale, clicks refused, the banner shown.
// Then, with no user action, the link logs in again, asks for every state and is fresh.
TEST_F(RunTimeTest, ADroppedSessionIsSeenAndHealsByItself)
{
    ASSERT_TRUE(Start({.Password = k_secret, .DropSessionAfter = 1}));
    TVQBaseControl *ceiling = ConnectWithShortWaits();
    TMyForm11 *screen = window.ScreenWindows()[0];
    EXPECT_FALSE(screen->LinkBanner()->isVisibleTo(screen));
    ASSERT_TRUE(RunUntil([&] { return !simulator->HasSession(); }, 3000));

    const int logIns = Logged(QStringLiteral("recv log-in"));
    // The log-in token stands for the password: the simulator's log shows it masked.
    EXPECT_EQ(Logged(QStringLiteral("recv log-in LOGIN:******** from")), logIns);
    // Stop the healing before it starts, to look at the lost state.
    App(0).Session().SetTimings([&] { TLinkTimings t = App(0).Session().Timings(); t.RetryFirst = 60000; return t; }());
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Lost; }, 3000));
    // The toggle, then the two refresh requests asked again, all ignored without a session.
    EXPECT_EQ(Logged(QStringLiteral("without a session")), 3) << logText.toStdString();
    EXPECT_EQ(std::make_tuple(ceiling->Trust(), ceiling->CurrentStateName()), std::make_tuple(StateTrust::Stale, QStringLiteral("Off")));  // the last state stays
    ASSERT_TRUE(screen->LinkBanner()->isVisibleTo(screen));
    EXPECT_TRUE(screen->LinkBanner()->text().startsWith(QString::fromUtf8("Connection to a.qap lost — reconnecting… (since ")));
    EXPECT_TRUE(screen->LinkBanner()->text().contains(App(0).Session().LostAt().toString(QStringLiteral("HH:mm:ss")) +
                                                      QStringLiteral("): No answer from the interface module")))
        << screen->LinkBanner()->text().toStdString();
    const int written = Logged(QStringLiteral("ignored:"));
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));  // refused: nothing goes out
    EXPECT_TRUE(screen->LinkBanner()->text().endsWith(QStringLiteral("\nNot sent: the connection to a.qap is lost")));
    EXPECT_TRUE(QToolTip::isVisible());  // next to the pointer, still there once the button is up
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Not sent: the connection to a.qap is lost"));
    RunUntil([] { return false; }, 50);
    EXPECT_EQ(Logged(QStringLiteral("ignored:")), written);
    EXPECT_EQ(Logged(QStringLiteral("recv log-in")), logIns);
    // A screen first shown now: its banner as wide as it, one line a text, no click taken.
    window.ShowScreen(2);
    TMyForm11 *second = window.ScreenWindows()[1];
    EXPECT_TRUE(second->LinkBanner()->isVisibleTo(second));  // with its controls, at once
    ASSERT_TRUE(RunUntil([&] { return second->isVisible() && second->LinkBanner()->isVisibleTo(second); }));
    for (TMyForm11 *shown : {screen, second}) {
        const QLabel *banner = shown->LinkBanner();
        EXPECT_EQ(banner->width(), shown->Area()->width());
        EXPECT_FALSE(banner->wordWrap());
        EXPECT_TRUE(banner->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    // The pause over, the link logs in again and refreshes; the banner goes.
    App(0).Session().RetryLink();
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Up; }, 3000));
    EXPECT_EQ(Logged(QStringLiteral("recv log-in")), logIns + 1);
    EXPECT_FALSE(screen->LinkBanner()->isVisibleTo(screen));
    EXPECT_TRUE(RunUntil([&] { return ceiling->Trust() == StateTrust::Fresh && UntrustedControls() == 0; }));
    EXPECT_EQ(Logged(QStringLiteral("recv refresh outputs")), 2);  // the connection's, then the reconnection's
}

// The module's program stops: its port answers "unreachable" to the next click and the link is
// lost; every attempt while it is away fails with a longer pause; started again on the same port,
// it is logged in again without user action and the screen is fresh.
TEST_F(RunTimeTest, AStoppedAndRestartedModuleIsSeenAndHealsByItself)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    TVQBaseControl *ceiling = ConnectWithShortWaits();
    const quint16 port = simulator->UdpPort();
    window.CommandProjectSummary();
    EXPECT_TRUE(SummaryLinkLine().startsWith(QStringLiteral("Connected on"))) << SummaryLinkLine().toStdString();
    simulator.reset();

    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Lost; }, 3000));
    EXPECT_EQ(std::make_tuple(ceiling->Trust(), window.ScreenWindows()[0]->LinkBanner()->isVisibleTo(window.ScreenWindows()[0]), App(0).Link()->IsOpen()),
              std::make_tuple(StateTrust::Stale, true, false));
    EXPECT_TRUE(SummaryLinkLine().startsWith(QStringLiteral("Not connected"))) << SummaryLinkLine().toStdString();
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().RetryPause() == 160; }, 5000));  // 20, 40, 80, 160

    ASSERT_TRUE(StartSimulator({.Password = k_secret}, port));
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Up; }, 5000));
    EXPECT_TRUE(RunUntil([&] { return UntrustedControls() == 0; }));
    EXPECT_FALSE(window.ScreenWindows()[0]->LinkBanner()->isVisibleTo(window.ScreenWindows()[0]));
    EXPECT_TRUE(SummaryLinkLine().startsWith(QStringLiteral("Connected on"))) << SummaryLinkLine().toStdString();
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(RunUntil([&] { return ceiling->CurrentStateName() == QStringLiteral("On"); }));

    // Design time stops every attempt.
    simulator.reset();
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Lost; }, 3000));
    window.RunTime()->CommandDesignTime();
    EXPECT_EQ(App(0).Session().Health(), LinkHealth::Closed);
    EXPECT_FALSE(App(0).Session().RetryTimer()->isActive());
}

// The module restarts while nothing happens: its port closed a moment, the session forgotten.
// The keep-alive after a silent interval gets nothing back, so the states are asked for, get
// nothing either, and the link is lost, logs in again and is fresh, with no click. Then the
// module's program stops: the next keep-alive gets "port unreachable" back, and the link is lost
// then, even when the link's poll reads before the socket says so (a peek for a datagram takes
// the kernel's pending error with it).
TEST_F(RunTimeTest, AModuleRestartedOrStoppedWhileIdleIsSeenByTheKeepAlive)
{
    ASSERT_TRUE(Start({.Password = k_secret, .RebootAfter = 1, .RebootPause = 100}));
    ConnectWithShortWaits();
    const int logIns = Logged(QStringLiteral("recv log-in"));
    ASSERT_TRUE(RunUntil([&] { return Logged(QStringLiteral("restarted")) == 1; }, 5000));
    App(0).Session().WatchdogExpired();  // after an interval that heard the refresh: nothing awaited
    App(0).Session().WatchdogExpired();  // after a silent one
    EXPECT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Lost; }, 3000));
    EXPECT_TRUE(RunUntil([&] { return Logged(QStringLiteral("recv log-in")) == logIns + 1 && UntrustedControls() == 0; }, 5000));
    EXPECT_EQ(App(0).Session().Health(), LinkHealth::Up);

    TLinkTimings timings = App(0).Session().Timings();
    timings.AnswerWait = 600000;  // no answer awaited in this test's time: only the port can say it
    App(0).Session().SetTimings(timings);
    const quint16 port = simulator->UdpPort();
    simulator.reset();
    for (const bool pollFirst : {true, false}) {
        App(0).Session().WatchdogExpired();
        if (pollFirst)
            App(0).Session().PollLink();
        EXPECT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Lost; }, 2000)) << pollFirst;
        EXPECT_EQ(App(0).Session().LostReason(), QStringLiteral("The interface module's port is unreachable")) << pollFirst;
        if (pollFirst) {
            ASSERT_TRUE(StartSimulator({.Password = k_secret}, port));
            ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Up; }, 5000));
            simulator.reset();
        }
    }
}

// A refused password is not mended by trying again: the banner says why the link is lost.
TEST_F(RunTimeTest, TheBannerSaysWhyTheLinkIsLost)
{
    TSimulatorOptions options{.Password = k_secret};
    options.RefusePassword = true;
    ASSERT_TRUE(Start(options, false));
    window.Connecting()->ConnectTimer()->setInterval(5);
    window.RunTime()->CommandRunTime();
    ASSERT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Lost; }, 5000));
    TMyForm11 *screen = window.ScreenWindows()[0];
    ASSERT_TRUE(RunUntil([&] { return screen->LinkBanner()->isVisibleTo(screen); }));
    const QString since = App(0).Session().LostAt().toString(QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(screen->LinkBanner()->text(),
              QString::fromUtf8("Connection to a.qap lost — reconnecting… (since %1): Authorisation failed, wrong password").arg(since));

    // The module back, used by another connection now: the banner follows the new reason.
    const quint16 port = simulator->UdpPort();
    simulator.reset();
    options.RefusePassword = false;
    options.DenyAccess = true;
    ASSERT_TRUE(StartSimulator(options, port));
    App(0).Session().RetryLink();
    EXPECT_TRUE(RunUntil([&] { return screen->LinkBanner()->text().endsWith(QStringLiteral("Access denied, module used by another connection")); }, 3000))
        << screen->LinkBanner()->text().toStdString();
    EXPECT_TRUE(screen->LinkBanner()->text().contains(since));
}

// A noisy link (three frames in ten damaged, or cut before their ETX): refresh answers dropped as
// bad are asked for again until every state has come, and a click's status lost is asked for
// again until the control shows what the module holds.
TEST_F(RunTimeTest, StatesLostToANoisyLinkAreAskedForAgain)
{
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "cut" : "damaged");
        const int refreshes = Logged(QStringLiteral("recv refresh outputs"));
        ASSERT_TRUE(Start({.Password = k_secret, .CorruptPercent = cut ? 0 : 30, .CutPercent = cut ? 30 : 0}));
        TVQBaseControl *ceiling = ConnectWithShortWaits();
        EXPECT_TRUE(RunUntil([&] { return UntrustedControls() == 0; }, 5000)) << UntrustedControls();
        EXPECT_GT(cut ? App(0).DroppedBytes() : App(0).DroppedFrames(), 0u);
        EXPECT_GT(Logged(QStringLiteral("recv refresh outputs")) - refreshes, 1);
        for (int click = 0; click < 4; ++click) {
            QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
            const QString held = simulator->Outputs(2) & 1 ? QStringLiteral("On") : QStringLiteral("Off");
            EXPECT_TRUE(RunUntil([&] { return ceiling->CurrentStateName() == held && ceiling->Trust() == StateTrust::Fresh; }, 5000))
                << click << " " << ceiling->CurrentStateName().toStdString();
        }
        window.RunTime()->CommandDesignTime();
        window.CloseProject();
    }
}

// The log-in answered after the connection window gave up on it: the session still opens, asks
// for every state, and the screen is fresh.
TEST_F(RunTimeTest, ALogInAnsweredLateStillRefreshes)
{
    ASSERT_TRUE(Start({.Password = k_secret, .LoginDelay = 500}, false));
    App(0).Session().SetWatchdogIntervals(1000, 60000);
    ASSERT_TRUE(EnterRunTime(5));  // the connection window gives up after 41 ticks, about 0.2 s
    EXPECT_TRUE(window.Connecting()->Lines().contains(QStringLiteral("->Fault connection Timeout")));
    EXPECT_TRUE(RunUntil([&] { return App(0).Session().Health() == LinkHealth::Up && UntrustedControls() == 0; }, 5000))
        << UntrustedControls();
    EXPECT_EQ(Logged(QStringLiteral("recv refresh outputs")), 1);
}

// Started with its serial device absent: the link counts as lost (banner, attempts); once the
// device is there, the next attempt opens it and asks for every state.
TEST_F(RunTimeTest, AnAbsentSerialDeviceIsALostLinkThatOpensLater)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    App(1).Session().SetTimings({.RetryFirst = 60000});
    ASSERT_TRUE(EnterRunTime(10));
    EXPECT_TRUE(window.Connecting()->Lines().contains(QStringLiteral("->Fault")));
    EXPECT_EQ(std::make_tuple(App(1).Session().Health(), App(1).Session().RetryTimer()->isActive()), std::make_tuple(LinkHealth::Lost, true));
    EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join(QLatin1Char('|')).toStdString();

    TPtyEndpoint pty;
    QByteArray asked;
    QObject::connect(&pty, &TPtyEndpoint::received, [&](const QByteArray &bytes) { asked += bytes; });
    QString error;
    ASSERT_TRUE(pty.Open(folder.File(QStringLiteral("Ports/COM3")), error)) << error.toStdString();
    App(1).Session().RetryLink();
    EXPECT_EQ(App(1).Session().Health(), LinkHealth::Up);
    EXPECT_TRUE(RunUntil([&] { return asked.count('\x03') >= 2; }));
    EXPECT_TRUE(asked.startsWith("\x02" "B5030001640A")) << asked.toStdString();
}

// Test mode's clicks never show in run time, whichever way test mode is left, and a report that
// came during the test is what run time shows afterwards.
TEST_F(RunTimeTest, LeavingTestModeShowsWhatTheModulesReported)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    TVQBaseControl *ceiling = ConnectWithShortWaits();
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(RunUntil([&] { return ceiling->CurrentStateName() == QStringLiteral("On"); }));

    // Test, a click (Off), design time, run time: "On" as reported, until the refresh says again.
    window.RunTime()->CommandTest();
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("Off"));
    window.RunTime()->CommandDesignTime();
    window.RunTime()->CommandRunTime();
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("On"));
    EXPECT_NE(ceiling->Trust(), StateTrust::Fresh);  // not reported since the link reopened
    ASSERT_TRUE(Finished(window) && RunUntil([&] { return UntrustedControls() == 0; }));
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("On"));
    EXPECT_EQ(simulator->Outputs(2) & 1, 1);  // the test's click never went out

    // During a test the relay is switched off from elsewhere: its report is kept for afterwards.
    window.RunTime()->CommandTest();
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(ceiling->CurrentStateName(), QStringLiteral("Off"));
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(ceiling->CurrentStateName(), QStringLiteral("On"));
    ceiling->GetParentModule()->SendToggle(0);
    ASSERT_TRUE(RunUntil([&] { return (simulator->Outputs(2) & 1) == 0 && ceiling->CurrentStateName() == QStringLiteral("Off"); }));
    window.RunTime()->CommandRunTime();
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("Off"));
}

// Stopped from outside with unsaved changes: the module hears the log-out at once, the changes go
// to a recovered copy next to the project (never over it), the program ends without a question;
// the next start offers the copy, and saving puts it where it belongs.
TEST_F(RunTimeTest, AStopKeepsUnsavedChangesAndLogsOut)
{
    ASSERT_TRUE(Start({.Password = k_secret}));
    const QString path = folder.File(QStringLiteral("Data/two.qvp"));
    window.Project()->SetFileName(path);
    const QByteArray saved = folder.Read(path);
    ConnectWithShortWaits();
    window.CommandAddScreen();
    window.show();
    QString errText;
    QTextStream err(&errText);
    window.StopNow(err);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(dialogs.Asked.filter(QStringLiteral("save?")).isEmpty());
    EXPECT_TRUE(RunUntil([&] { return Logged(QStringLiteral("recv LOGOUT")) == 1; }));
    const QString copy = folder.File(QStringLiteral("Data/two.recovered.qvp"));
    EXPECT_EQ(folder.Read(path), saved);
    EXPECT_TRUE(folder.Read(copy).contains("Screen #4|"));
    EXPECT_TRUE(errText.contains(copy)) << errText.toStdString();

    TForm1 next(folder.Path(), &dialogs);
    dialogs.ConfirmAnswers = {true};
    ASSERT_TRUE(next.OpenProject(path));
    EXPECT_TRUE(dialogs.Asked.last().contains(copy)) << dialogs.Asked.last().toStdString();
    EXPECT_EQ(std::make_tuple(next.ScreenWindows().size(), next.Project()->FileName(), next.Project()->GetModified()), std::make_tuple(4u, path, true));
    next.CommandSave();
    EXPECT_TRUE(folder.Read(path).contains("Screen #4|"));
    EXPECT_FALSE(QFileInfo::exists(copy));
}

// A stored password with Windows-1252 characters (the bytes 0x80 and 0x92): shown as typed, and
// the log-in with it opens the session, in the program and with the simulator given the same text.
TEST_F(RunTimeTest, AWindows1252PasswordIsShownAndSentAsStored)
{
    TSimulatorOptions options;
    options.Password = QString::fromUtf8("\u20acuro\u2019s");
    password = "\x80uro\x92s";
    ASSERT_TRUE(Start(options));
    TUdpSelect dialog(App(0), &window);
    dialog.Prefill();
    EXPECT_EQ(Child<QLineEdit>(dialog, "Password").text(), options.Password);
    dialog.Connect();
    EXPECT_TRUE(RunUntil([&] { return App(0).Session().State() == SessionStates::Open; }));
    EXPECT_EQ(App(0).Settings().Password, password);
}
