#include "TFileAccess.h"
#include "MainWindowFixture.h"
#include "TScreenEditor.h"

#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TControlProperties.h"
#include "TForm17.h"
#include "TForm6.h"
#include "TShortcutProperties.h"
#include "TForm7.h"
#include "Lookups.h"
#include "TMyForm11.h"
#include "TOutlinedLabel.h"
#include "TPropertyEditor.h"
#include "TRunTimeSwitch.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TSearchListWindow.h"
#include "TVQControl.h"
#include "TVQMemoBaseControl.h"
#include "TVQJaugeControl.h"
#include "TVQRecordControl.h"
#include "UiHelpers.h"
#include "TWindowPlaces.h"
#include "TabOrder.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QDir>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QDragEnterEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QSysInfo>
#include <QTest>

#include "EventLoop.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST_F(MainWindowTest, OpeningTheDemoShowsTheStartUpScreensWithTheirControls)
{
    EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(window.ScreenWindows().size(), 3u);
    EXPECT_EQ(QList<bool>({Screen(0)->isVisible(), Screen(1)->isVisible(), Screen(2)->isVisible()}), QList<bool>({true, false, false}));
    EXPECT_EQ(std::make_tuple(Screen(0)->windowTitle(), Screen(0)->Area()->findChildren<TVQBaseControl *>().size(), Screen(0)->Area()->Picture().isNull()),
              std::make_tuple(QStringLiteral("Ground floor"), 16, false));
    TVQBaseControl *ceiling = LabelledControl(Screen(0), QStringLiteral("Living room ceiling"));
    EXPECT_EQ(std::make_tuple(ceiling->isVisible(), ceiling->pos(), ceiling->ControlMode(), window.Project()->GetModified()),
              std::make_tuple(true, QPoint(190, 125), RunMode::DesignTime, false));
}

TEST_F(MainWindowTest, DraggingAnOutputOntoAScreenCreatesItsControl)
{
    TSearchListWindow *outputs = window.OutputList();
    window.ShowSearchList(outputs);
    const size_t before = window.Project()->Outputs().size();
    EXPECT_TRUE(DropEntry(*outputs, QStringLiteral("Garden socket"), Screen(0)->Area(), QPoint(100, 120)));

    ASSERT_EQ(window.Project()->Outputs().size(), before + 1);
    const TNewVisualOutput r = window.Project()->Outputs().back()->CurrentRecord();
    EXPECT_EQ(std::tie(r.Left, r.Top, r.ModuleNumber, r.IoNumber, r.ScreenId, r.ApplicationId, r.ShowLabel, r.ShowValue, r.TransparentOn, r.Label),
              std::make_tuple(100, 120, 2, 6, 1, 1, 1, 1, 0, QByteArray("Garden socket")));
    EXPECT_EQ(TPicturePaths::FromRecord(r.OnPicture), folder.File(QStringLiteral("Default Images/KOB ON.ico")));
    EXPECT_EQ(TPicturePaths::FromRecord(r.OffPicture), folder.File(QStringLiteral("Default Images/KOB OFF.ico")));
    EXPECT_TRUE(window.Project()->GetModified());
    EXPECT_TRUE(ControlLabelled(Screen(0), QStringLiteral("Garden socket")));

    // Anything but a search list entry is refused.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Screen(0)->Area(), &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST_F(MainWindowTest, ModesSwitchEveryControlAndTheMenu)
{
    TMyForm11 *screen = Screen(0);
    using E = TMyForm11::MenuEntry;
    const auto checked = [screen](E entry) { return screen->Action(entry)->isChecked(); };
    const auto enabled = [screen](E entry) { return screen->Action(entry)->isEnabled(); };
    const E locked[] = {E::Settings, E::CreateShortcut, E::DeleteScreen, E::ShowOutputs, E::ShowInputs, E::ShowSensors, E::ShowVariable};
    const E free[] = {E::ShowScreens, E::ShowMemo, E::AddCamera, E::Close};
    QStringList captions;
    for (E entry = E::Settings; entry != E::Count; entry = E(int(entry) + 1))
        captions.append(screen->Action(entry)->text());
    EXPECT_EQ(captions, QStringList({"Settings", "Show screens", "Show outputs", "Show inputs", "Show Sensors", "Show Memo", "Show Variable", "Run Time",
                                     "Design Time", "Test", "Create shortcut", "Add Axis cam", "Create Gauge", "Delete Screen", "Close"}));
    const auto modesOfEveryControl = [this](RunMode mode) {
        for (TMyForm11 *shown : window.ScreenWindows()) {
            for (const TVQControl *control : shown->Area()->findChildren<TVQControl *>())
                if (control->ControlMode() != mode)
                    return false;
        }
        return true;
    };

    EXPECT_FALSE(screen->Action(E::CreateGauge)->isVisible());
    // No mode before the first activation: design time checked, everything enabled.
    EXPECT_EQ(window.RunTime()->Mode(), RunMode::NotSet);
    screen->PrepareMenu();
    EXPECT_TRUE(checked(E::DesignTime));
    for (E entry : locked)
        EXPECT_TRUE(enabled(entry)) << int(entry);

    window.RunTime()->CommandTest();
    screen->PrepareMenu();
    EXPECT_EQ(window.RunTime()->Mode(), RunMode::Test);
    EXPECT_TRUE(modesOfEveryControl(RunMode::Test));
    EXPECT_EQ(QList<bool>({checked(E::Test), checked(E::DesignTime), checked(E::RunTime)}), QList<bool>({true, false, false}));
    for (E entry : locked)
        EXPECT_FALSE(enabled(entry)) << int(entry);
    for (E entry : free)
        EXPECT_TRUE(enabled(entry)) << int(entry);

    // Without a link that opens, run time is refused.
    window.Project()->Applications()[0]->Settings().LinkKind = LinkKinds::None;
    window.RunTime()->CommandRunTime();
    EXPECT_EQ(dialogs.Messages, QStringList({"No communication port open"}));
    EXPECT_EQ(window.RunTime()->Mode(), RunMode::Test);

    window.ShowSearchList(window.OutputList());
    window.Project()->Applications()[0]->Settings().LinkKind = LinkKinds::Udp;  // UDP to a loopback port
    window.RunTime()->CommandRunTime();
    screen->PrepareMenu();
    EXPECT_EQ(window.RunTime()->Mode(), RunMode::RunTime);
    EXPECT_TRUE(modesOfEveryControl(RunMode::RunTime));
    EXPECT_EQ(QList<bool>({checked(E::RunTime), enabled(E::Settings), window.OutputList()->isVisible()}), QList<bool>({true, false, false}));

    window.RunTime()->CommandDesignTime();
    screen->PrepareMenu();
    EXPECT_EQ(window.RunTime()->Mode(), RunMode::DesignTime);
    EXPECT_TRUE(modesOfEveryControl(RunMode::DesignTime));
    EXPECT_TRUE(checked(E::DesignTime) && enabled(E::Settings));
}

// The application being connected is removed from the summary: the window passes over it.
TEST_F(MainWindowTest, AnApplicationRemovedWhileConnecting)
{
    window.Project()->Applications()[0]->Settings().LinkKind = LinkKinds::Udp;  // UDP to a loopback port
    window.RunTime()->CommandRunTime();
    TForm6 *connecting = window.Connecting();
    ASSERT_EQ(connecting->Step(), TForm6::Steps::Connecting);
    window.RemoveApplication(*window.Project()->Applications()[0]);
    for (int tick = 0; tick < 100 && connecting->Step() != TForm6::Steps::Finished; ++tick)
        connecting->ConnectTimerTimer();
    EXPECT_EQ(connecting->Step(), TForm6::Steps::Finished);
    EXPECT_EQ(connecting->Lines(), QStringList({"Connecting on house.qap", "->Fault"}));
}

TEST_F(MainWindowTest, TestClickOnAnOutputFlipsItsPicture)
{
    TVQBaseControl *ceiling = LabelledControl(Screen(0), QStringLiteral("Living room ceiling"));
    const TVQPicture *on = ceiling->Picture();  // the design face
    window.RunTime()->CommandTest();
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("Off"));  // the test state, not the design face
    EXPECT_NE(ceiling->Picture(), on);
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));  // output bit set: On
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("On"));
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));  // cleared: Off
    EXPECT_EQ(ceiling->CurrentStateName(), QStringLiteral("Off"));
    EXPECT_NE(ceiling->Picture(), on);
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(ceiling->Picture(), on);
    EXPECT_EQ(ceiling->pos(), QPoint(190, 125));  // test clicks never move a control
}

TEST_F(MainWindowTest, SaveQuestionPaths)
{
    const QString other = folder.File(QStringLiteral("Data/other.qvp"));
    QFile::copy(folder.House(), other);
    const QByteArray original = folder.Read(folder.House());

    // Cancel: nothing else happens, the project stays as it was.
    window.CommandAddScreen();
    TProjectManager *project = window.Project();
    dialogs.SaveAnswers = {TDialogs::Cancel};
    window.CommandOpen();
    EXPECT_EQ(window.Project(), project);
    EXPECT_TRUE(window.Project()->GetModified());
    EXPECT_EQ(dialogs.Asked, QStringList({"save?"}));

    // No: the other project opens, nothing was saved.
    dialogs.Asked.clear();
    dialogs.SaveAnswers = {TDialogs::No};
    dialogs.OpenNames = {other};
    window.CommandOpen();
    EXPECT_EQ(window.Project()->FileName(), other);
    EXPECT_EQ(window.ScreenWindows().size(), 3u);
    EXPECT_EQ(folder.Read(folder.House()), original);

    // Yes on a project that has its file: saved there without a name asked, then the other opens.
    window.CommandAddScreen();
    dialogs.SaveAnswers = {TDialogs::Yes};
    dialogs.OpenNames = {folder.House()};
    window.CommandOpen();
    EXPECT_TRUE(dialogs.SaveNames.empty() && dialogs.Messages.isEmpty()) << dialogs.Messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(folder.Read(other).contains("Screen #4|"));
    EXPECT_EQ(std::make_tuple(window.Project()->FileName(), window.Settings().RecentFiles.first()), std::make_tuple(folder.House(), folder.House()));

    // Yes on a new project asks for a name; Cancel there abandons the open like Cancel above.
    TForm1 fresh(folder.Path(), &dialogs);
    dialogs.OpenNames = {folder.File(QStringLiteral("Data/house.qap"))};
    fresh.CommandNewApplication();
    fresh.CommandAddScreen();
    ASSERT_TRUE(fresh.Project()->GetModified());
    dialogs.SaveAnswers = {TDialogs::Yes};
    dialogs.SaveNames = {QString()};
    dialogs.OpenNames = {other};
    fresh.CommandOpen();
    EXPECT_TRUE(fresh.Project()->Applications().size() == 1 && fresh.Project()->FileName().isEmpty());
    EXPECT_TRUE(fresh.Project()->GetModified());
    EXPECT_EQ(dialogs.OpenNames.size(), 1u);  // the open dialog never came

    // Yes with a name: saved there.
    dialogs.SaveAnswers = {TDialogs::Yes};
    dialogs.SaveNames = {folder.File(QStringLiteral("Data/saved"))};
    fresh.CommandOpen();
    EXPECT_TRUE(folder.Read(folder.File(QStringLiteral("Data/saved.qvp"))).contains("Screen #1|"));
    EXPECT_EQ(fresh.Project()->FileName(), other);
}

// A save that fails, on close or before an open: the reason is shown, the command abandoned, the
// program stays with its changes.
TEST_F(UnopenedWindowTest, AFailedSaveKeepsTheWork)
{
    const QString readOnly = folder.File(QStringLiteral("Data/locked.qvp"));
    QFile::copy(folder.House(), readOnly);
    ASSERT_TRUE(window.OpenProject(readOnly));
    window.Project()->SetFileName(readOnly);
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const QByteArray before = folder.Read(readOnly);
    window.CommandAddScreen();
    window.show();

    dialogs.SaveAnswers = {TDialogs::Yes};
    EXPECT_FALSE(window.close());
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].startsWith(QStringLiteral("unableTo Save Project\n"))) << dialogs.Messages[0].toStdString();
    EXPECT_EQ(std::make_tuple(window.isVisible(), window.Project()->GetModified(), folder.Read(readOnly)), std::make_tuple(true, true, before));

    dialogs.SaveAnswers = {TDialogs::Yes};
    dialogs.OpenNames = {folder.House()};
    window.CommandOpen();
    EXPECT_EQ(window.Project()->FileName(), readOnly);
    EXPECT_EQ(dialogs.OpenNames.size(), 1u);  // never asked
    EXPECT_EQ(dialogs.Messages.size(), 2);

    // No: the program closes, the file as it was.
    dialogs.SaveAnswers = {TDialogs::No};
    EXPECT_TRUE(window.close());
    EXPECT_EQ(folder.Read(readOnly), before);
}

// A move changes only the control's position in the saved file; a move of any kind of control
// counts, and stops at the screen's left and top edges; a confirmed dialog counts too.
TEST_F(MainWindowTest, EveryMoveCountsAndStaysOnTheScreen)
{
    const QByteArray original = folder.Read(folder.House());
    window.Project()->SetFileName(folder.House());
    TVQBaseControl *ceiling = LabelledControl(Screen(0), QStringLiteral("Living room ceiling"));
    Drag(ceiling, QPoint(5, 5), QPoint(25, 15));
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    EXPECT_TRUE(window.Project()->GetModified());

    window.CommandSave();
    EXPECT_TRUE(dialogs.Messages.isEmpty());
    // Left 190 (" be") and top 125 ("  7d") became 210 ("  d2") and 135 ("  87").
    const QByteArray before = "   0  be  7d   0   0   2   0   1   1       0C:\\Quelnor\\Default Images\\KOB ON.ico|C:\\Quelnor\\Default Images\\KOB OFF.ico|Living room ceiling|";
    const QByteArray after = "   0  d2  87   0   0   2   0   1   1       0C:\\Quelnor\\Default Images\\KOB ON.ico|C:\\Quelnor\\Default Images\\KOB OFF.ico|Living room ceiling|";
    ASSERT_TRUE(original.contains(before));
    QByteArray expected = original;
    expected.replace(before, after);
    EXPECT_EQ(folder.Read(folder.House()), expected);
    EXPECT_FALSE(window.Project()->GetModified());

    QStringList kinds;
    for (TMyForm11 *screen : window.ScreenWindows()) {
        for (TVQControl *control : screen->Area()->findChildren<TVQControl *>()) {
            const QString kind = QString::fromLatin1(control->metaObject()->className());
            if (kinds.contains(kind) && kind != QStringLiteral("TVQControl"))
                continue;
            kinds.append(kind);
            window.Project()->ClearModified();
            ASSERT_FALSE(window.Project()->GetModified());
            const QPoint before = control->pos();
            Drag(control, QPoint(2, 2), QPoint(-3000, -3000));
            EXPECT_TRUE(window.Project()->GetModified()) << kind.toStdString();
            EXPECT_EQ(control->pos(), QPoint(0, 0)) << kind.toStdString() << " from " << before.x() << "," << before.y();
        }
    }
    EXPECT_GE(kinds.size(), 8) << kinds.join(QLatin1Char(' ')).toStdString();  // outputs of every face, memos, variables, shortcut, gauge, camera

    // The saved record holds the edge, not a wrapped 16-bit value.
    TVQBaseControl *hall = LabelledControl(Screen(0), QStringLiteral("Hall"));
    Drag(hall, QPoint(2, 2), QPoint(-600, 2));
    EXPECT_EQ(hall->CurrentRecord().Left, 0);
    EXPECT_GT(hall->CurrentRecord().Top, 0);

    // A memo's dialog confirmed.
    const QList<TVQMemoBaseControl *> memos = Screen(0)->Area()->findChildren<TVQMemoBaseControl *>();
    ASSERT_FALSE(memos.isEmpty());
    window.Project()->ClearModified();
    dialogs.DialogHandler = [](QDialog &) { return int(QDialog::Accepted); };
    memos.front()->DisplayProperties();
    EXPECT_TRUE(window.Project()->GetModified());
}

// Positions outside 0 to 65535 and screens smaller than 100 x 100 or larger than 8K are refused
// with the range; nothing changes.
TEST_F(MainWindowTest, DialogsStateTheRangeTheyAllow)
{
    TVQBaseControl *hall = LabelledControl(Screen(0), QStringLiteral("Hall"));
    const struct { const char *field; QStringList typed; QStringList said; } rows[] = {
        {"EdLeft", {"-28", "65536"}, {"Left must be from 0 to 65535; '-28' is not.", "Left must be from 0 to 65535; '65536' is not."}},
        {"EdWidth", {"0"}, {"Width must be from 100 to 7680; '0' is not."}},
        {"EdHeight", {"65535"}, {"Height must be from 100 to 4320; '65535' is not."}},
    };
    for (const auto &row : rows) {
        dialogs.Messages.clear();
        qsizetype runs = 0;
        dialogs.DialogHandler = [&](QDialog &dialog) {
            if (runs == row.typed.size())
                return int(QDialog::Rejected);
            Child<QLineEdit>(dialog, row.field).setText(row.typed[runs++]);
            return int(QDialog::Accepted);
        };
        if (row.field == std::string("EdLeft"))
            hall->DisplayProperties();
        else
            window.ScreenEditor()->EditScreen(Screen(0));
        EXPECT_EQ(dialogs.Messages, row.said) << row.field;
    }
    EXPECT_EQ(Screen(0)->ScreenRecord().Width, 800);
    EXPECT_EQ(Screen(0)->ScreenRecord().Height, 600);
    EXPECT_FALSE(window.Project()->GetModified());
}

// A screen of 65535 x 65535 from a file: shown at most as large as a display, with a message
// naming it; its record stays as read, so the file saves unchanged.
TEST_F(UnopenedWindowTest, AScreenLargerThanADisplayIsBounded)
{
    QByteArray content = folder.Read(folder.House());
    const QByteArray record = " 1 0 0 0 0 0 1 0 320 258  28  1e   0   1Ground floor|";
    ASSERT_TRUE(content.contains(record));
    content.replace(record, " 1 0 0 0 0 0 1 0ffffffff  28  1e   0   1Ground floor|");
    const QString path = folder.File(QStringLiteral("Data/huge.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(path, content));
    ASSERT_TRUE(window.OpenProject(path));
    EXPECT_EQ(dialogs.Messages, QStringList({"The screen \"Ground floor\" is larger than a display can show (65535 x 65535): it is shown at most 7680 x 4320."}));
    EXPECT_TRUE(Screen(0)->width() <= 7680 && Screen(0)->height() <= 4320) << Screen(0)->width() << "x" << Screen(0)->height();
    EXPECT_EQ(Screen(0)->ScreenRecord().Width, 65535);
    window.Project()->SetFileName(path);
    window.CommandSave();
    EXPECT_EQ(folder.Read(path), content);
}

// Texts and paths that would break a record are refused where they are typed or chosen, and
// nothing changes.
TEST_F(MainWindowTest, TextsAndPathsThatCannotBeStoredAreRefused)
{
    TVQBaseControl *hall = LabelledControl(Screen(0), QStringLiteral("Hall"));
    const QString picture = hall->GetStateImageFilename(0);
    int runs = 0;
    dialogs.DialogHandler = [&runs](QDialog &dialog) {
        static_cast<TControlProperties &>(dialog).SetPicture(0, QStringLiteral("/pictures/on|off.ico"));
        return ++runs < 2 ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    hall->DisplayProperties();
    EXPECT_EQ(dialogs.Messages, QStringList({"A text cannot hold \"|\" or a line break:\n/pictures/on|off.ico"}));
    EXPECT_EQ(hall->GetStateImageFilename(0), picture);
    EXPECT_FALSE(window.Project()->GetModified());

    // An export, and a project name the settings file would keep.
    dialogs.Messages.clear();
    const size_t applications = window.Project()->Applications().size();
    dialogs.OpenNames = {folder.File(QStringLiteral("Data/a|b.qap"))};
    window.CommandNewApplication();
    EXPECT_EQ(window.Project()->Applications().size(), applications);
    dialogs.SaveNames = {folder.File(QString::fromUtf8("Data/\u6771\u4eac"))};
    window.CommandSaveAs();
    EXPECT_FALSE(QFileInfo::exists(folder.File(QString::fromUtf8("Data/\u6771\u4eac.qvp"))));
    ASSERT_EQ(dialogs.Messages.size(), 2);
    EXPECT_TRUE(dialogs.Messages[0].startsWith(QStringLiteral("This file name cannot be kept in a project file:\n")));
    EXPECT_TRUE(dialogs.Messages[1].startsWith(QStringLiteral("The text holds a character the project file cannot keep:\n")));
}

// "Delete Screen" and a control's "Delete" ask first; No keeps the screen or the control.
TEST_F(MainWindowTest, DeletionsAskFirst)
{
    const size_t outputs = window.Project()->Outputs().size();
    dialogs.ConfirmAnswers = {false};
    window.ScreenEditor()->DeleteScreen(Screen(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.ScreenWindows().size(), 3u);
    EXPECT_EQ(window.Project()->Outputs().size(), outputs);
    EXPECT_EQ(dialogs.Asked.back(), QStringLiteral("Do you want to remove this screen and every object on it ?"));
    dialogs.ConfirmAnswers = {true};
    window.ScreenEditor()->DeleteScreen(Screen(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.ScreenWindows().size(), 2u);
    const size_t left = window.Project()->Outputs().size();
    EXPECT_LT(left, outputs);
    EXPECT_TRUE(window.Project()->GetModified());

    window.FirstActivation();
    TVQBaseControl &hall = Found(ControlLabelled(Screen(0), QStringLiteral("Hall")), "Hall");
    dialogs.Asked.clear();
    dialogs.ConfirmAnswers = {false};
    hall.DisplayDelete();
    EXPECT_EQ(window.Project()->Outputs().size(), left);
    dialogs.ConfirmAnswers = {true};
    hall.DisplayDelete();
    EXPECT_EQ(window.Project()->Outputs().size(), left - 1);
    EXPECT_EQ(dialogs.Asked, QStringList({"Do you to remove this Object ?", "Do you to remove this Object ?"}));
}

TEST_F(UnopenedWindowTest, SavingANewProjectAsksForSaveAs)
{
    window.CommandSave();
    EXPECT_EQ(dialogs.Messages, QStringList({"unableTo Save Project"}));

    dialogs.OpenNames = {folder.File(QStringLiteral("Data/house.qap"))};
    window.CommandNewApplication();
    ASSERT_EQ(window.Project()->Applications().size(), 1u);
    EXPECT_EQ(std::make_tuple(window.Project()->Applications()[0]->Settings().ApplicationId, window.Lists()->Modules().size()), std::make_tuple(1, 24u));
    // A new project is unsaved work: "*" in the title.
    EXPECT_TRUE(window.isWindowModified() && window.windowTitle().contains(QStringLiteral("[*]")));
    window.UpdateMenus();
    EXPECT_FALSE(Titled<QAction>(*window.FileMenu(), QStringLiteral("Save")).isEnabled());
    EXPECT_TRUE(Titled<QAction>(*window.FileMenu(), QStringLiteral("Save As")).isEnabled());
    EXPECT_FALSE(Titled<QAction>(*window.ProjectMenu(), QStringLiteral("Create new Project")).isEnabled());

    dialogs.SaveNames = {folder.File(QStringLiteral("Data/new"))};
    window.CommandSaveAs();
    EXPECT_EQ(window.Project()->FileName(), folder.File(QStringLiteral("Data/new.qvp")));
    window.UpdateMenus();
    EXPECT_TRUE(Titled<QAction>(*window.FileMenu(), QStringLiteral("Save")).isEnabled());
    dialogs.Messages.clear();
    window.CommandSave();
    EXPECT_TRUE(dialogs.Messages.isEmpty());

    // Its file deleted by someone else: the reason, and the way out.
    const QString saved = folder.File(QStringLiteral("Data/new.qvp"));
    QFile::remove(saved);
    window.CommandSave();
    EXPECT_EQ(dialogs.Messages, QStringList({"unableTo Save Project\nThe project's file is gone (deleted or moved): " + saved
                                             + "\nSave it with \"Save As\"."}));
}

TEST_F(MainWindowTest, ScreenSettingsDialog)
{
    TMyForm11 *screen = Screen(1);
    int runs = 0;
    dialogs.DialogHandler = [&](QDialog &dialog) {
        auto &settings = static_cast<TForm7 &>(dialog);
        ++runs;
        if (runs == 1) {
            EXPECT_EQ(settings.windowTitle(), QStringLiteral("Lights and shutters"));
            EXPECT_EQ(Child<QLineEdit>(settings, "EdWidth").text(), QStringLiteral("800"));
            Child<QLineEdit>(settings, "EdName").setText(QStringLiteral("Lights | shutters"));  // refused: "|"
            return int(QDialog::Accepted);
        }
        if (runs == 2) {
            Child<QLineEdit>(settings, "EdName").setText(QStringLiteral("Lights"));
            Child<QLineEdit>(settings, "EdWidth").setText(QStringLiteral("wide"));              // refused: not a number
            return int(QDialog::Accepted);
        }
        if (runs == 3) {
            Child<QLineEdit>(settings, "EdWidth").setText(QStringLiteral("640"));
            auto &type = Child<QComboBox>(settings, "CbType");
            type.setCurrentIndex(type.findData(1));
            return int(QDialog::Accepted);
        }
        return int(QDialog::Rejected);
    };
    window.ScreenEditor()->EditScreen(screen);
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(dialogs.Messages.size(), 2);
    EXPECT_EQ(dialogs.Messages[1], QStringLiteral("'wide' is not a valid integer value"));
    const TNewVisualScreen &edited = screen->ScreenRecord();
    EXPECT_EQ(std::tie(edited.Name, edited.Width, edited.WindowState), std::make_tuple(QByteArray("Lights"), 640, 1));
    EXPECT_TRUE(screen->windowTitle() == QStringLiteral("Lights") && window.Project()->GetModified());
    EXPECT_TRUE(window.Project()->Compose().contains(" 1 1 0 0 0 0 0 0 280 258  50  3c   0   2Lights|"));
}

// A file that is not a project, of an unknown version, cut short or damaged: the reason in a
// message, nothing in the recent files, an empty unopened project.
TEST_F(UnopenedWindowTest, AFailedOpenLeavesAnEmptyUnopenedProject)
{
    const QByteArray house = folder.Read(folder.House());
    QByteArray unknownVersion = house;
    unknownVersion.replace("\r\n*[04]*", "\r\n*[09]*");
    QByteArray damagedList = house;
    damagedList.replace("ProjectList\r\n*[01]*****", "ProjectList\r\n*[02]*****");
    QByteArray cutShort = house.left(house.indexOf("EOF Visual IO"));
    struct Row { const char *name; QByteArray content; const char *reason; };
    const Row rows[] = {
        {"notes.qvp", "shopping list\r\nmilk\r\n", "The file is not a project file."},
        {"future.qvp", unknownVersion, "The file is of format version 9, which this program does not read."},
        {"damaged.qvp", damagedList, "The file's list of applications is missing or damaged."},
        {"cut.qvp", cutShort, "The file's screens and controls are cut short or damaged."},
        {"missing.qvp", QByteArray(), "The file cannot be read."},
        {"pipe.qvp", QByteArray(), "This is not a file but a pipe, a device or a folder."},
    };
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.File(QStringLiteral("Data/pipe.qvp"))).constData(), 0600), 0);
    for (const Row &row : rows) {
        ASSERT_TRUE(window.OpenProject(folder.House()));
        const QString path = folder.File(QStringLiteral("Data/") + QString::fromLatin1(row.name));
        if (!row.content.isEmpty())
            TFileAccess::SaveAtomically(path, row.content);
        dialogs.Messages.clear();
        dialogs.OpenNames = {path};
        window.CommandOpen();
        EXPECT_EQ(dialogs.Messages, QStringList({"Unable to open the project\n" + path + "\n" + row.reason})) << row.name;
        EXPECT_EQ(std::make_tuple(window.Settings().RecentFiles.contains(path), window.Project()->IsOpen(), window.Project()->FileName(),
                                  window.Project()->Applications().size(), window.ScreenWindows().size(), window.Lists()->Modules().size()),
                  std::make_tuple(false, false, QString(), 0u, 0u, 0u)) << row.name;
    }
}

TEST_F(MainWindowTest, ProjectSummaryUpdateAndRemoval)
{
    window.Project()->SetFileName(folder.House());
    window.CommandProjectSummary();
    QTreeWidget *tree = window.Summary()->Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *app = tree->topLevelItem(0);
    ASSERT_EQ(app->childCount(), 2);
    EXPECT_EQ(QStringList({app->text(0), app->child(0)->text(0), app->child(1)->text(0)}),
              QStringList({"house.qap", "Interface module :QNET04 Ethernet interface", "Not connected : IP 127.0.0.1 Port :17481"}));
    // Node pictures: the application, the Ethernet interface, a link not connected; all differ.
    const auto image = [](const QIcon &icon) { return icon.pixmap(16, 16).toImage(); };
    EXPECT_EQ(image(app->icon(0)), image(TForm17::NodePicture(0)));
    EXPECT_EQ(image(app->child(0)->icon(0)), image(TForm17::NodePicture(2)));
    EXPECT_EQ(image(app->child(1)->icon(0)), image(TForm17::NodePicture(5)));
    for (int a = 0; a < 6; ++a) {
        for (int b = a + 1; b < 6; ++b)
            EXPECT_NE(image(TForm17::NodePicture(a)), image(TForm17::NodePicture(b))) << a << " " << b;
    }

    // An update from an export without the relay module 2 and with memo 0 undefined: their
    // controls go, the report says so.
    QByteArray changed = ProgramFolder::WithoutLineOf(folder.Read(folder.File(QStringLiteral("Data/house.qap"))), "Relays ground floor");
    changed.replace(" 1 0   0   0 0 0 0 0   0   0   4   0Evening", " 0 0   0   0 0 0 0 0   0   0   4   0Evening");
    // The interface module moves to the end of the list: it is looked up again.
    const qsizetype qnet = changed.indexOf("QNET04 Ethernet");
    const qsizetype lineStart = changed.lastIndexOf('\n', qnet) + 1;
    const QByteArray interfaceLine = changed.mid(lineStart, changed.indexOf('\n', qnet) + 1 - lineStart);
    changed.remove(lineStart, interfaceLine.size());
    changed.insert(changed.indexOf("\nInputs\r\n") + 1, interfaceLine);
    const QString newExport = folder.File(QStringLiteral("Data/house2.qap"));
    TFileAccess::SaveAtomically(newExport, changed);
    const size_t outputsBefore = window.Project()->Outputs().size();
    const size_t memosBefore = window.Project()->Memos().size();
    dialogs.OpenNames = {newExport};
    QStringList report;
    dialogs.DialogHandler = [&report](QDialog &dialog) {
        if (auto *view = qobject_cast<TUpdateView *>(&dialog))
            report = view->Text()->toPlainText().split(QLatin1Char('\n'));
        return int(QDialog::Accepted);
    };
    // A file that cannot be read, or is no export: a message, no viewer, no backup, no change.
    const QString notes = folder.File(QStringLiteral("Data/notes.qap"));
    TFileAccess::SaveAtomically(notes, "shopping list\r\n");
    for (const QString &wrong : {notes, folder.File(QStringLiteral("Data/missing.qap"))}) {
        dialogs.Messages.clear();
        dialogs.OpenNames = {wrong};
        window.Summary()->UpdateFile(tree->topLevelItem(0));
        EXPECT_EQ(dialogs.Messages.size(), 1) << wrong.toStdString();
        EXPECT_TRUE(report.isEmpty());
        EXPECT_FALSE(QDir(folder.File(QStringLiteral("Data/Backup File"))).exists()
                     && !QDir(folder.File(QStringLiteral("Data/Backup File"))).entryList(QDir::Files).isEmpty());
        EXPECT_EQ(window.Project()->Outputs().size(), outputsBefore);
        EXPECT_EQ(window.Project()->Applications()[0]->Name(), "C:\\Quelnor\\Data\\house.qap");
    }
    EXPECT_EQ(dialogs.Messages, QStringList({"Unable to read the export:\n" + folder.File(QStringLiteral("Data/missing.qap"))}));

    window.ShowSearchList(window.OutputList());
    dialogs.OpenNames = {newExport};
    window.Summary()->UpdateFile(tree->topLevelItem(0));
    // The title and a shown search list follow the update.
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_GT(window.OutputList()->Items()->count(), 0);
    EXPECT_EQ(report, QStringList({"Module away", "------------------", "Relays ground floor [1192961]", "",
                                   "Memo Not Found", "---------------------", "Evening", ""}));
    EXPECT_EQ(window.Project()->Outputs().size(), outputsBefore - 8);  // the test project places 8 relays
    EXPECT_EQ(window.Project()->Memos().size(), memosBefore - 1);
    EXPECT_EQ(window.Project()->Applications()[0]->Name(), newExport.toUtf8());
    TDataFileManager *updated = window.Project()->Applications()[0].get();
    quint16 interfaceNumber = 0;
    EXPECT_EQ(updated->Link()->InterfaceIndex(), updated->FindInterfaceModule(interfaceNumber));
    EXPECT_GT(updated->Link()->InterfaceIndex(), 0);
    EXPECT_FALSE(QDir(folder.File(QStringLiteral("Data/Backup File"))).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(window.Project()->GetModified());

    // Removal: cancelled, then confirmed; the controls of the application go with it.
    dialogs.ConfirmAnswers = {false, true};
    window.Summary()->DeleteFile(tree->topLevelItem(0));
    EXPECT_EQ(window.Project()->Applications().size(), 1u);
    window.Summary()->DeleteFile(tree->topLevelItem(0));
    EXPECT_EQ(std::make_tuple(window.Project()->Applications().size(), window.Project()->Outputs().size(), window.Project()->Memos().size(),
                              window.Lists()->Modules().size(), tree->topLevelItemCount()),
              std::make_tuple(0u, 0u, 0u, 0u, 0));

    // Left open, the summary follows the project: another one opened, or none.
    dialogs.SaveAnswers = {TDialogs::No};
    ASSERT_TRUE(window.OpenProject(folder.Demo()));
    EXPECT_TRUE(RunUntil([&] { return tree->topLevelItemCount() == 1 && tree->topLevelItem(0)->text(0) == QStringLiteral("demo.qap"); }));
    window.CloseProject();
    EXPECT_TRUE(RunUntil([&] { return tree->topLevelItemCount() == 0; }));
}

TEST_F(MainWindowTest, PropertyDialogsEditTheirControl)
{
    TVQBaseControl *hall = LabelledControl(Screen(0), QStringLiteral("Hall"));
    int runs = 0;
    dialogs.DialogHandler = [&](QDialog &dialog) {
        auto &properties = static_cast<TControlProperties &>(dialog);
        ++runs;
        if (runs == 1) {
            EXPECT_EQ(properties.windowTitle(), QStringLiteral("Form11 - Properties"));
            EXPECT_EQ(Child<QLineEdit>(properties, "EdLabel").text(), QStringLiteral("Hall"));
            EXPECT_EQ(Child<QLineEdit>(properties, "EdLeft").text(), QStringLiteral("560"));
            Child<QLineEdit>(properties, "EdLeft").setText(QStringLiteral("abc"));  // refused, the dialog comes back
            return int(QDialog::Accepted);
        }
        Child<QLineEdit>(properties, "EdLabel").setText(QStringLiteral("Entrance hall"));
        Child<QLineEdit>(properties, "EdLeft").setText(QStringLiteral("300"));
        Child<QCheckBox>(properties, "CbShowValue").setChecked(false);
        return int(QDialog::Accepted);
    };
    hall->DisplayProperties();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(dialogs.Messages, QStringList({"'abc' is not a valid integer value"}));
    const TNewVisualOutput r = hall->GetDataControl();
    EXPECT_EQ(std::tie(r.Label, r.Left, r.ShowValue), std::make_tuple(QByteArray("Entrance hall"), 300, 0));
    EXPECT_TRUE(hall->IsChanged());

    // The dimmer's "Type" maps its entries to display types; Cancel changes nothing.
    TVQBaseControl *dimmer = LabelledControl(Screen(0), QStringLiteral("Living room dimmer"));
    dialogs.DialogHandler = [](QDialog &dialog) {
        auto &properties = static_cast<TControlProperties &>(dialog);
        EXPECT_EQ(properties.windowTitle(), QStringLiteral("PropertiesDimmer"));
        EXPECT_EQ(Child<QComboBox>(properties, "CbType").currentIndex(), 1);  // display type 3
        Child<QComboBox>(properties, "CbType").setCurrentIndex(2);  // "dmmer view"
        return int(QDialog::Accepted);
    };
    dimmer->DisplayProperties();
    EXPECT_EQ(dimmer->DisplayType(), 2);
    dialogs.DialogHandler = [](QDialog &dialog) {
        Child<QLineEdit>(dialog, "EdLabel").setText(QStringLiteral("never"));
        return int(QDialog::Rejected);
    };
    dimmer->DisplayProperties();
    EXPECT_EQ(dimmer->ComponentLabel(), QStringLiteral("Living room dimmer"));

    // The sensor's "Type" swaps the picture for the panel's preview as soon as it changes, and
    // the picture's buttons work for "Icon view" only.
    TVQBaseControl *sensor = LabelledControl(Screen(0), QStringLiteral("Living room temperature"));
    dialogs.DialogHandler = [](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("PropertiesSensor"));
        auto &type = Child<QComboBox>(dialog, "CbType");
        const auto faces = [&dialog] {
            return std::array<bool, 4>{Child<QLabel>(dialog, "Preview0").isVisibleTo(&dialog),
                                       Child<QLabel>(dialog, "PanelPreview").isVisibleTo(&dialog),
                                       Child<QPushButton>(dialog, "Change0").isEnabled(),
                                       Child<QCheckBox>(dialog, "CbTransparent0").isEnabled()};
        };
        type.setCurrentIndex(0);
        EXPECT_EQ(faces(), (std::array<bool, 4>{true, false, true, true}));
        type.setCurrentIndex(1);
        EXPECT_EQ(faces(), (std::array<bool, 4>{false, true, false, false}));
        type.setCurrentIndex(0);
        EXPECT_EQ(faces(), (std::array<bool, 4>{true, false, true, true}));
        return int(QDialog::Rejected);
    };
    sensor->DisplayProperties();
}

TEST_F(MainWindowTest, GaugesFollowTheSwitchedPower)
{
    MakeEveryControl();
    ASSERT_EQ(window.Project()->Gauges().size(), 1u);
    auto *gauge = dynamic_cast<TVQJaugeControl *>(window.Project()->Gauges().front());
    ASSERT_TRUE(gauge);
    window.Lists()->SetPower(600, true, 1200);
    EXPECT_EQ(gauge->Power(), 600);
    EXPECT_EQ(gauge->Angle(), 45);
    window.Lists()->SetPower(70000, false, 0);  // held to 16 bits
    EXPECT_EQ(gauge->Power(), 65535);
}

// A shortcut's dialog chooses its target screen; a click shows it, outside design time.
TEST_F(MainWindowTest, ShortcutPropertiesChooseTheTargetScreen)
{
    window.ScreenEditor()->CreateShortcut(Screen(2));
    auto *shortcut = dynamic_cast<TVQRecordControl<TVisualShortCut> *>(window.Project()->Shortcuts().back());
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(shortcut->CurrentRecord().TargetScreenId, TVisualShortCut::NoTarget);
    dialogs.DialogHandler = [](QDialog &dialog) {
        auto &properties = static_cast<TShortcutProperties &>(dialog);
        EXPECT_EQ(Child<QComboBox>(properties, "CbTarget").currentText(), QStringLiteral("(none)"));
        Child<QComboBox>(properties, "CbTarget").setCurrentIndex(Child<QComboBox>(properties, "CbTarget").findText(QStringLiteral("Lights and shutters")));
        Child<QLineEdit>(properties, "EdText").setText(QStringLiteral("To the lights"));
        Child<QCheckBox>(properties, "CbShowLabel").setChecked(true);
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(window.Properties()->Edit(shortcut));
    const TVisualShortCut r = shortcut->CurrentRecord();
    EXPECT_EQ(std::tie(r.TargetScreenId, r.Label, r.ShowLabel), std::make_tuple(2, QByteArray("To the lights"), 1));
    // A click shows the target screen in test and run time, never in design time.
    QTest::mouseClick(shortcut, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(Screen(1)->isVisible());
    window.RunTime()->CommandTest();
    QTest::mouseClick(shortcut, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Screen(1)->isVisible());
    window.ShowScreen(65535);  // no target: nothing
}

// The screen list: a click on an entry shows that screen, even a hidden one; its menu's
// "Properties" opens the settings of the selected screen.
TEST_F(MainWindowTest, TheScreenListShowsAScreenAndItsProperties)
{
    window.ShowScreenList();
    QListWidget *list = window.ScreenList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_FALSE(Screen(1)->isVisible());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_TRUE(Screen(1)->isVisible());

    QString edited;
    dialogs.DialogHandler = [&edited](QDialog &dialog) {
        edited = Child<QLineEdit>(dialog, "EdName").text();
        return int(QDialog::Rejected);
    };
    list->setCurrentRow(2);
    QAction *properties = window.ScreenListMenu()->actions().value(0);
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->text(), QStringLiteral("Properties"));
    properties->trigger();
    EXPECT_EQ(edited, Screen(2)->ScreenRecord().Name);
}

// The demo reads cleanly: on every one of its screens, no two controls (with their labels) overlap.
TEST_F(UnopenedWindowTest, TheDemoScreensHaveNoOverlappingControls)
{
    ASSERT_TRUE(window.OpenProject(folder.Demo()));
    for (TMyForm11 *screen : window.ScreenWindows()) {
        screen->show();
        const QList<TVQControl *> controls = screen->Area()->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly);
        EXPECT_GT(controls.size(), 1);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()))
                    << screen->windowTitle().toStdString() << ": " << controls[i]->objectName().toStdString()
                    << QDebug::toString(controls[i]->geometry()).toStdString() << " and "
                    << QDebug::toString(controls[j]->geometry()).toStdString();
            }
        }
    }
}

// The controls of a hidden screen are measured when it is shown, after whatever changed their
// size meanwhile (the mode here): each has the size it would be measured at now.
TEST_F(MainWindowTest, HiddenScreensReadTheirBackgroundAndSizeTheirControlsWhenShown)
{
    window.RunTime()->CommandTest();
    // Only the screen shown at start-up reads its background, once it is painted.
    ASSERT_TRUE(RunUntil([this] { return Screen(0)->Area()->HoldsPicture(); }));
    EXPECT_FALSE(Screen(1)->Area()->HoldsPicture());
    EXPECT_FALSE(Screen(2)->Area()->HoldsPicture());

    // The second and third screens use the same file: one decoded copy for both.
    window.ShowScreen(2);
    window.ShowScreen(3);
    ASSERT_TRUE(RunUntil([this] { return Screen(1)->Area()->HoldsPicture() && Screen(2)->Area()->HoldsPicture(); }));
    // Their controls have the size they measure once shown.
    for (int index : {1, 2}) {
        const QList<TVQControl *> controls = Screen(index)->Area()->findChildren<TVQControl *>();
        ASSERT_GT(controls.size(), 3);
        for (TVQControl *control : controls) {
            const QSize shown = control->size();
            control->CheckSize();
            EXPECT_EQ(shown, control->size()) << control->metaObject()->className() << " " << index;
        }
    }
    EXPECT_EQ(Screen(1)->Area()->Picture().cacheKey(), Screen(2)->Area()->Picture().cacheKey());
    EXPECT_EQ(Screen(1)->Area()->Picture().size(), QSize(800, 600));

    // Hidden, a screen keeps neither its picture nor its window; shown again, it is whole again.
    const QRect geometry = Screen(1)->geometry();
    const size_t controls = Screen(1)->Area()->findChildren<TVQControl *>().size();
    Screen(1)->hide();
    EXPECT_FALSE(Screen(1)->Area()->HoldsPicture());
    EXPECT_TRUE(Screen(2)->Area()->HoldsPicture());
    ASSERT_TRUE(RunUntil([this] { return Screen(1)->windowHandle() == nullptr; }));
    window.ShowScreen(2);
    ASSERT_TRUE(RunUntil([this] { return Screen(1)->Area()->HoldsPicture(); }));
    EXPECT_EQ(std::make_tuple(Screen(1)->isVisible(), Screen(1)->geometry(), Screen(1)->windowTitle(),
                              Screen(1)->Area()->findChildren<TVQControl *>().size(), Screen(1)->Area()->Picture().isNull()),
              std::make_tuple(true, geometry, QStringLiteral("Lights and shutters"), controls, false));
    // Its face is painted again: the background shows where no control stands.
    const QImage face = Screen(1)->grab().toImage();
    EXPECT_EQ(face.pixelColor(face.width() - 2, face.height() - 2), Screen(1)->Area()->Picture().toImage().pixelColor(face.width() - 2, face.height() - 2));

    // Closed as its close box closes it, a screen keeps no window buffer either.
    ASSERT_NE(Screen(2)->backingStore(), nullptr);
    Screen(2)->close();
    EXPECT_TRUE(RunUntil([this] { return Screen(2)->backingStore() == nullptr; }));

    // A project closed keeps none of its labels' pictures.
    Screen(0)->grab();
    EXPECT_GT(TOutlinedLabel::KeptBytes(), 0);
    window.CloseProject();
    EXPECT_EQ(TOutlinedLabel::KeptBytes(), 0);
}

TEST_F(UnopenedWindowTest, ABackgroundThatIsNoPictureIsSaidAtOpen)
{
    // The first screen's background replaced by a file that only has the picture's name.
    QByteArray project = folder.Read(folder.House());
    project.replace("C:\\Quelnor\\Imported Pictures\\Screen\\floor plan.jpg", "C:\\Quelnor\\Data\\plan.jpg");
    ASSERT_TRUE(TFileAccess::SaveAtomically(folder.House(), project));
    ASSERT_TRUE(TFileAccess::SaveAtomically(folder.File(QStringLiteral("Data/plan.jpg")), "this is a shopping list, not a floor plan"));

    ASSERT_TRUE(window.OpenProject(folder.House()));
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].startsWith(QStringLiteral("Picture cannot be read:\n")) && dialogs.Messages[0].endsWith(QStringLiteral("plan.jpg\n reset to default Image")))
        << dialogs.Messages[0].toStdString();
    EXPECT_TRUE(Screen(0)->ScreenRecord().Picture.endsWith("Default Images/wall_800x600.bmp"));
    ASSERT_TRUE(RunUntil([this] { return Screen(0)->Area()->HoldsPicture(); }));
    EXPECT_EQ(Screen(0)->Area()->Picture().size(), QSize(800, 600));
}

// The application's data block is not found: its controls are left out, said in one message with
// how many and why; the project counts as modified, and a save asks before it removes them.
TEST_F(UnopenedWindowTest, ControlsLeftOutAtOpenAreSaidAndNotSavedAwayUnasked)
{
    QByteArray project = folder.Read(folder.House());
    project.replace("C:\\Quelnor\\Data\\house.qap| 1", "C:\\Quelnor\\Data\\other.qap| 1");
    ASSERT_TRUE(TFileAccess::SaveAtomically(folder.House(), project));
    ASSERT_TRUE(window.OpenProject(folder.House()));
    window.Project()->SetFileName(folder.House());
    ASSERT_EQ(dialogs.Messages.size(), 1) << dialogs.Messages.join(QLatin1Char('|')).toStdString();
    const int dropped = window.Project()->DroppedAtOpen();
    EXPECT_GT(dropped, 30);
    EXPECT_EQ(dialogs.Messages[0], QStringLiteral("%1 of the project's %2 controls could not be placed and were left out: what they "
                                                  "show (a module, a memo, a variable) or their screen is not in the project.\n"
                                                  "No installation data was found for: other.qap.\n"
                                                  "The file still holds them; saving the project would remove them.")
                                       .arg(dropped)
                                       .arg(dropped + window.Project()->PlacedAtOpen()));
    EXPECT_TRUE(window.Project()->GetModified());

    dialogs.ConfirmAnswers = {false};
    window.CommandSave();
    EXPECT_TRUE(dialogs.Asked.last().startsWith(QStringLiteral("%1 controls of this project were left out").arg(dropped)));
    EXPECT_EQ(folder.Read(folder.House()), project);
    dialogs.ConfirmAnswers = {true};
    window.CommandSave();
    EXPECT_NE(folder.Read(folder.House()), project);
    EXPECT_FALSE(window.Project()->GetModified());
}

// The project's file changed by another program while it is open: a save asks (Cancel keeps the
// other program's file, "Save As…" saves elsewhere, "Overwrite" saves over it).
TEST_F(MainWindowTest, ASaveOverAFileChangedByAnotherProgramAsksFirst)
{
    window.Project()->SetFileName(folder.House());
    QByteArray theirs = folder.Read(folder.House());
    theirs.replace("Ground floor|", "Ground floor, theirs|");
    ASSERT_TRUE(TFileAccess::SaveAtomically(folder.House(), theirs));
    window.CommandAddScreen();

    window.CommandSave();  // no answer: Cancel
    EXPECT_TRUE(dialogs.Asked.last().startsWith(QStringLiteral("The file has been changed by another program since it was opened:\n")));
    EXPECT_EQ(folder.Read(folder.House()), theirs);
    EXPECT_TRUE(window.Project()->GetModified());

    const QString mine = folder.File(QStringLiteral("Data/mine"));
    dialogs.ChoiceAnswers = {1};
    dialogs.SaveNames = {mine};
    window.CommandSave();
    EXPECT_EQ(folder.Read(folder.House()), theirs);
    EXPECT_TRUE(folder.Read(mine + QStringLiteral(".qvp")).contains("Screen #4|"));
    EXPECT_EQ(window.Project()->FileName(), mine + QStringLiteral(".qvp"));

    ASSERT_TRUE(TFileAccess::SaveAtomically(mine + QStringLiteral(".qvp"), theirs));
    window.CommandAddScreen();
    dialogs.ChoiceAnswers = {0};
    window.CommandSave();
    EXPECT_TRUE(folder.Read(mine + QStringLiteral(".qvp")).contains("Screen #5|"));
    EXPECT_EQ(dialogs.Asked.filter(QStringLiteral("changed by another program")).size(), 3);
}

// Two programs on one project: the second is told and opens it read only (or not at all); it
// cannot save over the first one's work. A mark left by a program that died is taken over.
TEST_F(MainWindowTest, ASecondProgramOnAProjectOpensItReadOnly)
{
    window.Project()->SetFileName(folder.House());
    TForm1 second(folder.Path(), &dialogs);
    dialogs.ConfirmAnswers = {false};
    EXPECT_FALSE(second.OpenProject(folder.House()));
    EXPECT_TRUE(dialogs.Asked.last().startsWith(QStringLiteral("This project is open in another Visual Quelnor (process ")));
    dialogs.ConfirmAnswers = {true};
    ASSERT_TRUE(second.OpenProject(folder.House()));
    second.Project()->SetFileName(folder.House());
    second.CommandAddScreen();
    second.CommandSave();
    EXPECT_EQ(dialogs.Messages.last(), QStringLiteral("unableTo Save Project\nThis project is open read only, as another Visual "
                                                      "Quelnor has it open: use \"Save As\" to keep the changes in another file."));
    window.CommandAddScreen();
    window.CommandSave();
    EXPECT_TRUE(folder.Read(folder.House()).contains("Screen #4|"));

    // The first program gone without a word (its mark names a process that is no more).
    window.CloseProject();
    const QString mark = folder.File(QStringLiteral("Data/.house.qvp.lock"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(mark, "999999999\nvisual-quelnor\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
    const qsizetype asked = dialogs.Asked.size();
    TForm1 third(folder.Path(), &dialogs);
    ASSERT_TRUE(third.OpenProject(folder.House()));
    EXPECT_EQ(dialogs.Asked.size(), asked);
    EXPECT_FALSE(third.Session()->ReadOnly());
}

// Removing an application says how many controls go with it, and Undo brings the application,
// its model objects and every control back, bound; the project is then as it was.
TEST_F(MainWindowTest, RemovingAnApplicationCanBeUndone)
{
    window.Project()->SetFileName(folder.House());
    window.show();
    const QByteArray before = window.Project()->Compose();
    const int controls = int(Screen(0)->Area()->findChildren<TVQControl *>().size());
    window.CommandProjectSummary();
    dialogs.ConfirmAnswers = {true};
    window.Summary()->DeleteFile(window.Summary()->Tree()->topLevelItem(0));
    EXPECT_TRUE(dialogs.Asked.last().startsWith(QStringLiteral("Do you to remove this Application ?\n51 control(s) on the screens show it")))
        << dialogs.Asked.last().toStdString();
    EXPECT_TRUE(window.Project()->Applications().empty());
    EXPECT_TRUE(window.Lists()->Modules().empty());
    QCoreApplication::processEvents();
    EXPECT_LT(Screen(0)->Area()->findChildren<TVQControl *>().size(), controls);

    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(window.Project()->Applications().size(), 1u);
    EXPECT_FALSE(window.Lists()->Modules().empty());
    EXPECT_EQ(std::make_tuple(window.Project()->Compose(), int(Screen(0)->Area()->findChildren<TVQControl *>().size())), std::make_tuple(before, controls));
    TVQBaseControl *ceiling = LabelledControl(Screen(0), QStringLiteral("Living room ceiling"));
    EXPECT_EQ(ceiling->GetParentModule(), window.Lists()->FindModule(window.Project()->Applications()[0].get(), 2));
    EXPECT_FALSE(window.Project()->GetModified());

    QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(window.Project()->Applications().empty());
}

// A dialog comes centred on the window the user works in, not on the main window; a message comes
// above the dialog that caused it (the serial dialog stays on top: a box under it would look like
// a frozen dialog).
TEST(QtDialogs, DialogsAndMessagesComeOverWhatTheUserWorksIn)
{
    QWidget main;
    main.setGeometry(10, 10, 200, 100);
    main.show();
    QWidget screen;
    screen.setGeometry(300, 200, 400, 300);
    screen.show();
    screen.activateWindow();
    ASSERT_TRUE(RunUntil([&] { return QApplication::activeWindow() == &screen; }));
    TQtDialogs dialogs(&main);
    QDialog properties(&main);
    properties.resize(120, 80);
    QPoint centre;
    QWidget *over = nullptr;
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        if (properties.isVisible()) {
            centre = properties.frameGeometry().center();
            properties.reject();
        }
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            over = box->parentWidget();
            EXPECT_EQ(box->icon(), QMessageBox::Warning);  // what went wrong, not news
            box->accept();
        }
    });
    answering.start(10);
    dialogs.Exec(properties);
    EXPECT_LE((centre - screen.frameGeometry().center()).manhattanLength(), 4) << centre.x() << "," << centre.y();

    QDialog serial(&main, Qt::Dialog | Qt::WindowStaysOnTopHint);
    serial.setModal(true);
    serial.show();
    ASSERT_TRUE(RunUntil([&] { return QApplication::activeModalWidget() == &serial; }));
    dialogs.ShowMessage(QStringLiteral("Unable to open serial Port "));
    EXPECT_EQ(over, &serial);
}

// The messages of one open come in one box: the first five, and every one in its details.
TEST(QtDialogs, TheMessagesOfAnOpenComeInOneBox)
{
    QWidget main;
    main.show();
    TQtDialogs dialogs(&main);
    QStringList boxes;
    QString details;
    QTimer answering;  // answers every box that comes, while the test runs
    QObject::connect(&answering, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes.append(box->text());
            details = box->detailedText();
            box->accept();
        }
    });
    answering.start(10);
    dialogs.BeginGathering();
    for (int i = 1; i <= 7; ++i)
        dialogs.ShowMessage(QStringLiteral("Picture cannot be read:\n/p%1.jpg\n reset to default Image").arg(i));
    EXPECT_TRUE(boxes.isEmpty());
    dialogs.EndGathering();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Picture cannot be read:\n/p1.jpg\n reset to default Image\n\n")));
    EXPECT_TRUE(boxes[0].endsWith(QStringLiteral("/p5.jpg\n reset to default Image\n\n… and 2 more (\"Show Details…\")."))) << boxes[0].toStdString();
    EXPECT_EQ(details.count(QStringLiteral("Picture cannot be read")), 7);
}

// The program's windows come back where they were left, and always whole inside the screen.
TEST(WindowPlaces, WindowsComeBackWhereTheyWereAndInsideTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    {
        QWidget list;
        TWindowPlaces::Follow(&list, QStringLiteral("test-list"));
        list.setGeometry(area.left() + 40, area.bottom() - 100, 200, 400);  // half below the bottom
        list.show();
        EXPECT_TRUE(area.contains(list.frameGeometry())) << QDebug::toString(list.frameGeometry()).toStdString();
        list.setGeometry(area.left() + 60, area.top() + 50, 220, 300);
        list.hide();
    }
    QWidget again;
    TWindowPlaces::Follow(&again, QStringLiteral("test-list"));
    again.show();
    EXPECT_EQ(again.geometry(), QRect(area.left() + 60, area.top() + 50, 220, 300));
}

// The menus answer the keyboard: Alt+F opens File, F10 goes to the menu bar.
TEST_F(UnopenedWindowTest, AltAndTheUnderlinedLetterOpenAMenu)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(RunUntil([&] { return window.isActiveWindow(); }));
    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(RunUntil([&] { return window.FileMenu()->isVisible(); }, 2000));
    window.FileMenu()->hide();
    // F10: the menu bar, its first menu marked.
    QTest::keyClick(&window, Qt::Key_F10);
    EXPECT_EQ(window.menuBar()->activeAction(), window.FileMenu()->menuAction());
}

// In the property dialogs and the screen settings, Enter confirms and Escape cancels, whatever
// button a picture chooser has; Tab goes through a property dialog in reading order: "Display
// text", then the text itself.
TEST_F(MainWindowTest, TheKeyboardWorksTheDialogs)
{
    TVQBaseControl *hall = LabelledControl(Screen(0), QStringLiteral("Hall"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QStringList results;
        dialogs.DialogHandler = [&](QDialog &dialog) {
            dialog.show();
            for (const QPushButton *button : dialog.findChildren<QPushButton *>()) {
                if (button->text() != QStringLiteral("OK")) {
                    EXPECT_FALSE(button->autoDefault() || button->isDefault()) << button->text().toStdString();
                }
            }
            if (::testing::Test::HasFailure())
                return int(QDialog::Rejected);  // Enter would open a file chooser and wait
            QTest::keyClick(&dialog, key);
            results.append(dialog.result() == QDialog::Accepted ? QStringLiteral("accepted") : QStringLiteral("rejected"));
            return dialog.result();
        };
        hall->DisplayProperties();
        window.ScreenEditor()->EditScreen(Screen(0));
        const QString expected = key == Qt::Key_Return ? QStringLiteral("accepted") : QStringLiteral("rejected");
        EXPECT_EQ(results, QStringList({expected, expected}));
    }

    QStringList order;
    dialogs.DialogHandler = [&](QDialog &dialog) {
        SetReadingTabOrder(&dialog);
        dialog.show();
        dialog.activateWindow();
        RunUntil([&] { return dialog.isActiveWindow(); }, 2000);
        Child<QCheckBox>(dialog, "CbShowLabel").setFocus();
        for (int i = 0; i < 4; ++i) {
            order.append(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return int(QDialog::Rejected);
    };
    hall->DisplayProperties();
    EXPECT_EQ(order, QStringList({"CbShowLabel", "EdLabel", "CbShowValue", "EdLeft"}));

    // The label box holds a real installation's label whole.
    TVQBaseControl *sensor = LabelledControl(Screen(0), QStringLiteral("Living room temperature"));
    dialogs.DialogHandler = [](QDialog &dialog) {
        dialog.show();
        const auto &label = Child<QLineEdit>(dialog, "EdLabel");
        EXPECT_GT(label.width(), label.fontMetrics().horizontalAdvance(QStringLiteral("Living room temperature")) + 8);
        return int(QDialog::Rejected);
    };
    sensor->DisplayProperties();

    // The shortcut dialog's picture stands whole above "OK" and "Cancel".
    window.ScreenEditor()->CreateShortcut(Screen(0));
    dialogs.DialogHandler = [](QDialog &dialog) {
        dialog.show();
        const auto &preview = Child<QLabel>(dialog, "Preview");
        const QRect picture(preview.mapTo(&dialog, QPoint()), preview.pixmap().deviceIndependentSize().toSize());
        for (const QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (button->text() == QStringLiteral("OK")) {
                EXPECT_LT(picture.bottom(), button->mapTo(&dialog, QPoint()).y()) << picture.bottom();
            }
        }
        EXPECT_GE(preview.height(), picture.height());
        return int(QDialog::Rejected);
    };
    window.Properties()->Edit(dynamic_cast<TVQControl *>(window.Project()->Shortcuts().back()));
}
