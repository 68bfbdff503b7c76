#include "MainWindowFixture.h"
#include "TEditorActions.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TRunTimeSwitch.h"
#include "TScreenEditor.h"
#include "TSearchListWindow.h"
#include "TSelection.h"
#include "TVQBaseControl.h"
#include "TVQQAxisControl.h"
#include "TVQQModuleBase.h"
#include "UiHelpers.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

class EditHistoryTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        original = folder.Read(folder.House());
        MainWindowTest::SetUp();
        window.Project()->SetFileName(folder.House());
        screen = window.ScreenWindows().front();
        QApplication::setActiveWindow(screen);
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
    // Nothing left to save, and a save writes the file as it was opened.
    void ExpectSavedAsOpened()
    {
        EXPECT_FALSE(window.Project()->GetModified());
        window.CommandSave();
        EXPECT_EQ(folder.Read(folder.House()), original);
    }
    void Redo() { Key(QKeySequence(Qt::CTRL | Qt::Key_Y)); }

    QByteArray original;
    TMyForm11 *screen = nullptr;
};

} // namespace

TEST_F(EditHistoryTest, AMoveIsUndoneAndRedoneWithTheKeys)
{
    TVQBaseControl *ceiling = LabelledControl(screen, QStringLiteral("Living room ceiling"));
    Drag(ceiling, QPoint(5, 5), QPoint(25, 15));
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Move"));
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
    // The keys work in the program's other windows too: the outputs list here.
    TSearchListWindow *outputs = window.OutputList();
    window.ShowSearchList(outputs);
    QApplication::setActiveWindow(outputs);
    QTest::keySequence(outputs, QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(ceiling->pos(), QPoint(190, 125));
    outputs->hide();
    window.CommandSave();
    EXPECT_EQ(folder.Read(folder.House()), original);

    // Run time: the keys undo nothing.
    Redo();
    window.RunTime()->SwitchEveryControl(RunMode::Test);
    Undo();
    EXPECT_EQ(ceiling->pos(), QPoint(210, 135));
    EXPECT_FALSE(window.Editor()->Undo()->isEnabled());
}

TEST_F(EditHistoryTest, ADeletionUndoneBringsTheControlBackBoundAndInPlace)
{
    TVQBaseControl *ceiling = LabelledControl(screen, QStringLiteral("Living room ceiling"));
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
    TVQBaseControl *back = LabelledControl(screen, QStringLiteral("Living room ceiling"));
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    EXPECT_EQ(std::make_tuple(*window.Project()->IndexOf(back), back->GetParentModule(), back->IOIndex(), back->isVisible()),
              std::make_tuple(index, module, io, true));
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
    ExpectSavedAsOpened();
}

TEST_F(EditHistoryTest, ADropIsUndoneAndADialogsChangeToo)
{
    TSearchListWindow *outputs = window.OutputList();
    window.ShowSearchList(outputs);
    const size_t count = window.Project()->Outputs().size();
    DropEntry(*outputs, QStringLiteral("Garden socket"), screen->Area(), QPoint(100, 120));
    ASSERT_EQ(window.Project()->Outputs().size(), count + 1);
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Add"));
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
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Properties"));
    Undo();
    EXPECT_TRUE(ControlLabelled(screen, QStringLiteral("Living room ceiling")));
    EXPECT_FALSE(ControlLabelled(screen, QStringLiteral("Ceiling")));
    Undo();  // the drop
    ExpectSavedAsOpened();
}

TEST(StartWithProject, TheProjectNamedOnTheCommandLineOpensInDesignTime)
{
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    {
        TForm1 window(folder.Path(), &dialogs);
        window.StartWithProject(folder.House());
        ASSERT_TRUE(window.Project()->IsOpen());
        EXPECT_EQ(std::make_tuple(window.Project()->FileName(), window.RunTime()->Mode(), window.windowTitle(), window.isWindowModified(), dialogs.Messages),
                  std::make_tuple(folder.House(), RunMode::DesignTime, QStringLiteral("Visual Quelnor 2 - house.qvp[*]"), false, QStringList()));
    }
    // A file that is no project: said as any failed open, and nothing is open.
    const QString notAProject = folder.File(QStringLiteral("Data/notes.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(notAProject, "shopping list\r\n"));
    TForm1 window(folder.Path(), &dialogs);
    window.StartWithProject(notAProject);
    EXPECT_FALSE(window.Project()->IsOpen());
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].startsWith(QStringLiteral("Unable to open the project\n") + notAProject)) << dialogs.Messages[0].toStdString();
}

TEST(TSelection, AlignedAndDistributedPositions)
{
    // Three controls of different sizes; expected corners worked out by hand.
    const std::vector<QRect> rectangles = {QRect(10, 40, 30, 20), QRect(100, 10, 50, 40), QRect(60, 90, 20, 10)};
    using A = TSelection::Alignment;
    const struct { A alignment; std::vector<QPoint> expected; } rows[] = {
        {A::Left, {{10, 40}, {10, 10}, {10, 90}}},
        {A::Right, {{120, 40}, {100, 10}, {130, 90}}},   // right edge 150
        {A::Top, {{10, 10}, {100, 10}, {60, 10}}},
        {A::Bottom, {{10, 80}, {100, 60}, {60, 90}}},    // bottom edge 100
        {A::CentresHorizontally, {{10, 45}, {100, 35}, {60, 50}}},  // bounds 10..100 high: middle 55
        {A::CentresVertically, {{65, 40}, {55, 10}, {70, 90}}},     // bounds 10..150 wide: middle 80
    };
    for (const auto &row : rows)
        EXPECT_EQ(TSelection::Aligned(rectangles, row.alignment), row.expected) << int(row.alignment);
    // Spread: the leftmost and rightmost stay; the gaps between all three are equal:
    // span 10..150 = 140, widths 100, two gaps of 20.
    EXPECT_EQ(TSelection::Distributed(rectangles, Qt::Horizontal), (std::vector<QPoint>{{10, 40}, {100, 10}, {60, 90}}));
    const std::vector<QRect> uneven = {QRect(0, 0, 10, 10), QRect(15, 0, 10, 10), QRect(90, 0, 10, 10)};
    EXPECT_EQ(TSelection::Distributed(uneven, Qt::Horizontal), (std::vector<QPoint>{{0, 0}, {45, 0}, {90, 0}}));
    EXPECT_EQ(TSelection::Distributed(uneven, Qt::Vertical), (std::vector<QPoint>{{0, 0}, {15, 0}, {90, 0}}));
    // Two controls are not spread.
    EXPECT_EQ(TSelection::Distributed({QRect(0, 0, 5, 5), QRect(50, 0, 5, 5)}, Qt::Horizontal), (std::vector<QPoint>{{0, 0}, {50, 0}}));
    EXPECT_EQ(TSelection::Kept(QPoint(-3, 70000)), QPoint(0, 65535));
}

TEST_F(EditHistoryTest, ASelectionIsMadeMovedAlignedAndDeletedAsOneStepEach)
{
    TVQBaseControl *ceiling = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    TVQBaseControl *wall = ControlLabelled(screen, QStringLiteral("Living room wall lamps"));
    TVQBaseControl *kitchen = ControlLabelled(screen, QStringLiteral("Kitchen ceiling"));
    ASSERT_TRUE(ceiling && wall && kitchen);
    TSelection *selection = screen->Selection();

    // A click selects one, Ctrl+click adds and removes, Escape clears, Ctrl+A takes all.
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(wall, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    QTest::mouseClick(kitchen, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_EQ(selection->Selected().size(), 3u);
    QTest::mouseClick(kitchen, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    EXPECT_EQ(selection->Selected().size(), 2u);
    EXPECT_TRUE(selection->isVisible());
    Key(QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(selection->Selected().empty());
    Key(QKeySequence::SelectAll);
    EXPECT_EQ(selection->Selected().size(), screen->Area()->findChildren<TVQControl *>(Qt::FindDirectChildrenOnly).size());

    // A rubber band from the picture over a corner of the ceiling lamp selects it alone; a
    // second one with Ctrl adds the wall lamps; a click on the picture clears.
    const auto band = [this](QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) { Drag(screen->Area(), from, to, modifiers); };
    band(ceiling->geometry().topLeft() - QPoint(6, 6), ceiling->geometry().topLeft() + QPoint(4, 4), {});
    ASSERT_EQ(selection->Selected().size(), 1u);
    band(wall->geometry().bottomRight() + QPoint(6, 6), wall->geometry().bottomRight() - QPoint(4, 4), Qt::ControlModifier);
    ASSERT_EQ(selection->Selected().size(), 2u);
    EXPECT_TRUE(selection->Contains(ceiling) && selection->Contains(wall));

    // Dragging one moves both; one undo puts both back.
    const QPoint ceilingAt = ceiling->pos(), wallAt = wall->pos();
    const auto both = [&] { return std::make_pair(ceiling->pos(), wall->pos()); };
    Drag(ceiling, QPoint(5, 5), QPoint(15, 25));
    EXPECT_EQ(both(), std::make_pair(ceilingAt + QPoint(10, 20), wallAt + QPoint(10, 20)));
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Move 2 controls"));
    Undo();
    EXPECT_EQ(both(), std::make_pair(ceilingAt, wallAt));

    // The arrows nudge by one pixel, with Shift by ten; a burst of nudges is one step.
    Key(QKeySequence(Qt::Key_Right));
    Key(QKeySequence(Qt::SHIFT | Qt::Key_Down));
    EXPECT_EQ(both(), std::make_pair(ceilingAt + QPoint(1, 10), wallAt + QPoint(1, 10)));
    Undo();
    EXPECT_EQ(both(), std::make_pair(ceilingAt, wallAt));

    // Lined up on the left through the screen's menu, its "Align" entry enabled.
    selection->Select(kitchen, true);
    screen->PrepareMenu();
    QAction &left = Titled<QAction>(*screen->Menu(), QStringLiteral("Align left"));
    EXPECT_TRUE(qobject_cast<QMenu *>(left.parent())->menuAction()->isEnabled());
    left.trigger();
    const int leftmost = std::min({ceilingAt.x(), wallAt.x(), kitchen->x()});
    const int kitchenTop = kitchen->y();
    EXPECT_EQ(std::make_tuple(ceiling->x(), wall->x(), kitchen->x(), kitchen->y()), std::make_tuple(leftmost, leftmost, leftmost, kitchenTop));
    Undo();
    EXPECT_EQ(wall->pos(), wallAt);

    // Delete: one question, the three gone; one undo brings all three back, bound and in
    // their places in the file.
    const size_t count = window.Project()->Outputs().size();
    dialogs.ConfirmAnswers.push_back(true);
    Key(QKeySequence::Delete);
    EXPECT_EQ(dialogs.Asked, QStringList({"Do you want to remove these 3 Objects ?"}));
    EXPECT_EQ(window.Project()->Outputs().size(), count - 3);
    EXPECT_FALSE(ControlLabelled(screen, QStringLiteral("Kitchen ceiling")));
    Undo();
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    for (const char *label : {"Living room ceiling", "Living room wall lamps", "Kitchen ceiling"}) {
        TVQBaseControl *back = ControlLabelled(screen, QString::fromLatin1(label));
        ASSERT_TRUE(back) << label;
        EXPECT_TRUE(back->GetParentModule()) << label;
    }
    ExpectSavedAsOpened();

    // Run time keeps no selection.
    selection->SelectAll();
    window.RunTime()->CommandTest();
    EXPECT_TRUE(selection->Selected().empty());
}

TEST_F(EditHistoryTest, CopiedControlsArePastedOnAnotherScreenBoundAndAsOneStep)
{
    TVQBaseControl *ceiling = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    TVQBaseControl *kitchen = ControlLabelled(screen, QStringLiteral("Kitchen ceiling"));
    ASSERT_TRUE(ceiling && kitchen);
    QTest::mouseClick(ceiling, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(kitchen, Qt::LeftButton, Qt::ControlModifier, QPoint(5, 5));
    Key(QKeySequence::Copy);

    // On the second screen.
    TMyForm11 *other = window.ScreenWindows().at(1);
    window.ShowScreen(other->ScreenRecord().ScreenId);
    const size_t count = window.Project()->Outputs().size();
    QApplication::setActiveWindow(other);
    QTest::keySequence(other, QKeySequence::Paste);
    ASSERT_EQ(window.Project()->Outputs().size(), count + 2);
    TVQBaseControl *copy = LabelledControl(other, QStringLiteral("Living room ceiling"));
    EXPECT_EQ(std::make_tuple(copy->pos(), copy->GetParentModule(), copy->IOIndex(), copy->GetDataControl().ScreenId),
              std::make_tuple(ceiling->pos() + QPoint(16, 16), ceiling->GetParentModule(), ceiling->IOIndex(), other->ScreenRecord().ScreenId));
    EXPECT_EQ(other->Selection()->Selected().size(), 2u);
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Paste"));
    // Pasted again, the copies fan out further.
    QTest::keySequence(other, QKeySequence::Paste);
    ASSERT_EQ(window.Project()->Outputs().size(), count + 4);

    // Two undos, one per paste, and the project is as it was opened.
    Undo();
    Undo();
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    EXPECT_FALSE(ControlLabelled(other, QStringLiteral("Living room ceiling")));
    EXPECT_FALSE(window.Project()->GetModified());

    // Duplicate on the same screen; cut takes the originals away, all undone.
    QApplication::setActiveWindow(screen);
    QTest::mouseClick(kitchen, Qt::LeftButton, {}, QPoint(5, 5));
    Key(QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(window.Project()->Outputs().size(), count + 1);
    Key(QKeySequence::Cut);
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    Undo();
    Undo();
    EXPECT_EQ(window.Project()->Outputs().size(), count);
    ExpectSavedAsOpened();
}

TEST_F(EditHistoryTest, TheGridTakesMovesAndDropsAndIsRemembered)
{
    window.Editor()->Grid().Set(true, 10);
    TVQBaseControl *ceiling = LabelledControl(screen, QStringLiteral("Living room ceiling"));
    Drag(ceiling, QPoint(5, 5), QPoint(18, 12));  // (190, 125) + (13, 7) = (203, 132)
    EXPECT_EQ(ceiling->pos(), QPoint(200, 130));
    Undo();
    EXPECT_EQ(ceiling->pos(), QPoint(190, 125));

    TSearchListWindow *outputs = window.OutputList();
    window.ShowSearchList(outputs);
    ASSERT_TRUE(DropEntry(*outputs, QStringLiteral("Garden socket"), screen->Area(), QPoint(103, 117)));
    EXPECT_EQ(LabelledControl(screen, QStringLiteral("Garden socket"))->pos(), QPoint(100, 120));

    // The setting is the program's own: another window finds it; the project file never holds it.
    {
        TForm1 other(folder.Path(), &dialogs);
        EXPECT_EQ(std::make_tuple(other.Editor()->Grid().On(), other.Editor()->Grid().Size()), std::make_tuple(true, 10));
    }
    window.Editor()->Grid().Set(false, 20);
    TForm1 third(folder.Path(), &dialogs);
    EXPECT_EQ(std::make_tuple(third.Editor()->Grid().On(), third.Editor()->Grid().Size()), std::make_tuple(false, 20));
    window.Editor()->Grid().Set(false, 10);
}

TEST_F(EditHistoryTest, ScreensAddedEditedAndDeletedAreUndone)
{
    MakeEveryControl();
    const size_t screens = window.Project()->Screens().size();
    const size_t controls = window.Project()->Outputs().size();
    TMyForm11 *second = window.ScreenWindows().at(1);
    const quint16 secondId = second->ScreenRecord().ScreenId;
    const size_t onSecond = second->Area()->findChildren<TVQBaseControl *>().size();
    ASSERT_GT(onSecond, 0u);

    // Deleted with every control on it; undone, all of it is back in its place.
    dialogs.ConfirmAnswers.push_back(true);
    window.ScreenEditor()->DeleteScreen(second);
    Settle();
    EXPECT_EQ(window.Project()->Screens().size(), screens - 1);
    EXPECT_EQ(window.Project()->Outputs().size(), controls - onSecond);
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Delete screen"));
    Undo();
    ASSERT_EQ(window.Project()->Screens().size(), screens);
    TMyForm11 *back = window.ScreenWindows().at(1);
    EXPECT_EQ(std::make_tuple(back->ScreenRecord().ScreenId, back->Area()->findChildren<TVQBaseControl *>().size(), window.Project()->Outputs().size()),
              std::make_tuple(secondId, onSecond, controls));
    for (TVQBaseControl *control : back->Area()->findChildren<TVQBaseControl *>())
        EXPECT_TRUE(control->GetParentModule()) << control->ComponentLabel().toStdString();
    EXPECT_FALSE(window.Project()->GetModified());

    // Its settings confirmed, then undone.
    dialogs.DialogHandler = [](QDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("EdName"))->setText(QStringLiteral("Upstairs"));
        return int(QDialog::Accepted);
    };
    window.ScreenEditor()->EditScreen(back);
    const auto names = [back] { return std::make_pair(QString::fromLatin1(back->ScreenRecord().Name), back->windowTitle()); };
    EXPECT_EQ(names(), std::make_pair(QStringLiteral("Upstairs"), QStringLiteral("Upstairs")));
    Undo();
    EXPECT_EQ(names(), std::make_pair(QStringLiteral("Lights and shutters"), QStringLiteral("Lights and shutters")));

    // A screen added, undone and redone.
    window.CommandAddScreen();
    EXPECT_EQ(window.Project()->Screens().size(), screens + 1);
    Undo();
    Settle();
    EXPECT_EQ(window.Project()->Screens().size(), screens);
    Redo();
    EXPECT_EQ(window.Project()->Screens().size(), screens + 1);
    Undo();
    Settle();
    ExpectSavedAsOpened();
}

TEST_F(EditHistoryTest, TheToolbarAlignsTheLastScreensSelectionAndCamerasTakeOneSize)
{
    TVQBaseControl *ceiling = ControlLabelled(screen, QStringLiteral("Living room ceiling"));
    TVQBaseControl *kitchen = ControlLabelled(screen, QStringLiteral("Kitchen ceiling"));
    ASSERT_TRUE(ceiling && kitchen);
    screen->Selection()->Select(ceiling);
    screen->Selection()->Select(kitchen, true);
    window.Editor()->SetCurrentScreen(screen);
    const QList<QAction *> tools = window.Editor()->AlignBar()->actions();
    const auto top = std::find_if(tools.begin(), tools.end(), [](QAction *tool) { return tool->toolTip() == QStringLiteral("Align top"); });
    ASSERT_NE(top, tools.end());
    const int highest = std::min(ceiling->y(), kitchen->y());
    (*top)->trigger();
    EXPECT_EQ(std::make_tuple(ceiling->y(), kitchen->y()), std::make_tuple(highest, highest));
    Undo();

    // Two camera views: the second takes the first one's size, as one step.
    screen->Action(TMyForm11::MenuEntry::AddCamera)->trigger();
    screen->Action(TMyForm11::MenuEntry::AddCamera)->trigger();
    auto *first = dynamic_cast<TVQQAxisControl *>(window.Project()->Cameras().at(window.Project()->Cameras().size() - 2));
    auto *second = dynamic_cast<TVQQAxisControl *>(window.Project()->Cameras().back());
    ASSERT_TRUE(first && second);
    TVisualAxisCamData large = first->CurrentRecord();
    large.Width = 320;
    large.Height = 240;
    first->SetRecord(large);
    screen->Selection()->Select(first);
    screen->Selection()->Select(second, true);
    screen->Selection()->SameSize();
    auto *resized = dynamic_cast<TVQQAxisControl *>(window.Project()->Cameras().back());
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->size(), QSize(320, 240));
    EXPECT_EQ(window.Editor()->Undo()->text(), QStringLiteral("Undo Same size"));
    Undo();
    EXPECT_EQ(dynamic_cast<TVQQAxisControl *>(window.Project()->Cameras().back())->size(), QSize(180, 120));
}
