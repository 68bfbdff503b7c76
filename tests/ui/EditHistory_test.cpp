#include "EventLoop.h"
#include "ProgramFolder.h"
#include "ScriptedDialogs.h"
#include "TEditHistory.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TProjectManager.h"
#include "TRunTimeSwitch.h"
#include "TSearchListWindow.h"
#include "TVQBaseControl.h"
#include "TVQQModuleBase.h"
#include "UiHelpers.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

class EditHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        original = folder.Read(folder.House());
        ASSERT_TRUE(window.OpenProject(folder.House()));
        window.Project()->SetFileName(folder.House());
        screen = window.ScreenWindows().front();
        QApplication::setActiveWindow(screen);
    }

    // A drag with the mouse, from a point of the control to another.
    static void Drag(QWidget *control, QPoint from, QPoint to)
    {
        QTest::mousePress(control, Qt::LeftButton, {}, from);
        QTest::mouseMove(control, to);
        QTest::mouseRelease(control, Qt::LeftButton, {}, to);
    }
    // A key sequence typed on the screen, and the controls it discarded gone.
    void Key(QKeySequence keys)
    {
        QApplication::setActiveWindow(screen);
        QTest::keySequence(screen, keys);
        Settle();
    }
    static void Settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void Undo() { Key(QKeySequence(Qt::CTRL | Qt::Key_Z)); }
    void Redo() { Key(QKeySequence(Qt::CTRL | Qt::Key_Y)); }

    ProgramFolder folder;
    ScriptedDialogs dialogs;
    TForm1 window{folder.Path(), &dialogs};
    QByteArray original;
    TMyForm11 *screen = nullptr;
};

} // namespace

TEST_F(EditHistoryTest, AMoveIsUndoneAndRedoneWithTheKeys)
{
    TVQBaseControl *ceiling = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    ASSERT_TRUE(ceiling);
    Drag(ceiling, QPoint(5, 5), QPoint(25, 15));
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    EXPECT_EQ(window.UndoAction()->text(), QStringLiteral("Undo Move"));
    EXPECT_TRUE(window.isWindowModified());

    Undo();
    EXPECT_EQ(ceiling->pos(), QPoint(190, 125));
    // Back where it was saved: nothing to save, no marker, and the file is written unchanged.
    EXPECT_FALSE(window.Project()->GetModified());
    EXPECT_FALSE(window.isWindowModified());
    Redo();
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    EXPECT_TRUE(window.Project()->GetModified());
    // Ctrl+Shift+Z redoes too.
    Undo();
    Key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    Undo();
    window.CommandSave();
    EXPECT_EQ(folder.Read(folder.House()), original);

    // Run time: the keys undo nothing.
    Redo();
    window.RunTime()->SwitchEveryControl(RunMode::Test);
    Undo();
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    EXPECT_FALSE(window.UndoAction()->isEnabled());
}

TEST_F(EditHistoryTest, ADeletionUndoneBringsTheControlBackBoundAndInPlace)
{
    TVQBaseControl *ceiling = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    ASSERT_TRUE(ceiling);
    TVQQModuleBase *module = ceiling->GetParentModule();
    const quint16 io = ceiling->IOIndex();
    const size_t index = *window.Project()->IndexOf(ceiling);
    const size_t count = window.Project()->Outputs().size();
    dialogs.ConfirmAnswers.push_back(true);
    ceiling->DisplayDelete();
    Settle();
    EXPECT_FALSE(ControlLabelled(screen, QStringLiteral("Living room ceiling")));
    EXPECT_EQ(window.Project()->Outputs().size(), count - 1);
    EXPECT_EQ(dialogs.Asked.size(), 1);

    Undo();
    TVQBaseControl *back = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    ASSERT_TRUE(back);
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    EXPECT_EQ(*window.Project()->IndexOf(back), index);
    EXPECT_EQ(back->GetParentModule(), module);
    EXPECT_EQ(back->IOIndex(), io);
    EXPECT_TRUE(back->isVisible());
    // Bound: a click in test mode goes through its module and comes back as its state.
    window.RunTime()->CommandTest();
    QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(5, 5));  // output bit set: On
    EXPECT_EQ(back->CurrentStateName(), QStringLiteral("On"));
    QTest::mouseClick(back, Qt::LeftButton, {}, QPoint(5, 5));  // cleared: Off
    EXPECT_EQ(back->CurrentStateName(), QStringLiteral("Off"));
    window.RunTime()->CommandDesignTime();

    // Redone, it goes again; undone, back; the saved file is the opened one.
    Redo();
    EXPECT_FALSE(ControlLabelled(screen, QStringLiteral("Living room ceiling")));
    EXPECT_EQ(window.Project()->Outputs().size(), count - 1);
    Undo();
    EXPECT_FALSE(window.Project()->GetModified());
    window.CommandSave();
    EXPECT_EQ(folder.Read(folder.House()), original);
}

TEST_F(EditHistoryTest, ADropIsUndoneAndADialogsChangeToo)
{
    TSearchListWindow *outputs = window.OutputList();
    window.ShowSearchList(outputs);
    const QList<QListWidgetItem *> found = outputs->Items()->findItems(QStringLiteral("Garden socket"), Qt::MatchStartsWith);
    ASSERT_EQ(found.size(), 1);
    std::unique_ptr<QMimeData> mime(outputs->MimeDataFor(outputs->Items()->row(found[0])));
    const size_t count = window.Project()->Outputs().size();
    QDragEnterEvent enter(QPoint(100, 120), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(screen->Area(), &enter);
    QDropEvent drop(QPointF(100, 120), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(screen->Area(), &drop);
    ASSERT_EQ(window.Project()->Outputs().size(), count + 1);
    EXPECT_EQ(window.UndoAction()->text(), QStringLiteral("Undo Add"));
    Undo();
    EXPECT_FALSE(ControlLabelled(screen, QStringLiteral("Garden socket")));
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    EXPECT_FALSE(window.Project()->GetModified());
    Redo();
    ASSERT_TRUE(ControlLabelled(screen, QStringLiteral("Garden socket")));
    EXPECT_EQ(ControlLabelled(screen, QStringLiteral("Garden socket"))->pos(), QPoint(100, 120));

    // A property dialog confirmed: undone, the control has its label again.
    TVQBaseControl *ceiling = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    dialogs.DialogHandler = [](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("EdLabel"))->setText(QStringLiteral("Ceiling"));
        return int(QDialog::Accepted);
    };
    ceiling->DisplayProperties();
    EXPECT_TRUE(ControlLabelled(screen, QStringLiteral("Ceiling")));
    EXPECT_EQ(window.UndoAction()->text(), QStringLiteral("Undo Properties"));
    Undo();
    EXPECT_TRUE(ControlLabelled(screen, QStringLiteral("Living room ceiling")));
    EXPECT_FALSE(ControlLabelled(screen, QStringLiteral("Ceiling")));
    Undo();  // the drop
    EXPECT_FALSE(window.Project()->GetModified());
    window.CommandSave();
    EXPECT_EQ(folder.Read(folder.House()), original);
}

TEST(StartWithProject, TheProjectNamedOnTheCommandLineOpensInDesignTime)
{
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    {
        TForm1 window(folder.Path(), &dialogs);
        window.StartWithProject(folder.House());
        ASSERT_TRUE(window.Project()->IsOpen());
        EXPECT_EQ(window.Project()->FileName(), folder.House());
        EXPECT_EQ(window.RunTime()->Mode(), RunMode::DesignTime);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Visual Quelnor 2 - house.qvp[*]"));
        EXPECT_FALSE(window.isWindowModified());
        EXPECT_TRUE(dialogs.Messages.isEmpty());
    }
    // A file that is no project: said as any failed open, and nothing is open.
    const QString notAProject = folder.File(QStringLiteral("Data/notes.qvp"));
    QFile file(notAProject);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("shopping list\r\n");
    file.close();
    TForm1 window(folder.Path(), &dialogs);
    window.StartWithProject(notAProject);
    EXPECT_FALSE(window.Project()->IsOpen());
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].startsWith(QStringLiteral("Unable to open the project\n") + notAProject)) << dialogs.Messages[0].toStdString();
}
