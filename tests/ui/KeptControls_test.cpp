// A screen not shown holds its controls as records: made when it shows, kept again when it closes,
// and never a byte of the file or a state on the screen different for it.
#include "EventLoop.h"
#include "MainWindowFixture.h"
#include "TEditHistory.h"
#include "TEditorActions.h"
#include "TProjectManager.h"
#include "TRunTimeSwitch.h"
#include "TScreenEditor.h"
#include "TVQBaseControl.h"
#include "UiHelpers.h"

#include <QAction>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class KeptControlsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        original = folder.Read(folder.House());
        MainWindowTest::SetUp();
        second = Screen(1);  // "Lights and shutters", not shown at the open
    }

    // The labels of the outputs on the screen, in the order they stack.
    static QStringList Labels(TMyForm11 *screen)
    {
        QStringList labels;
        for (TVQBaseControl *control : screen->Area()->findChildren<TVQBaseControl *>(Qt::FindDirectChildrenOnly))
            labels.append(control->ComponentLabel());
        return labels;
    }
    // How many of the project's controls on the screen are made controls, and how many in all.
    std::pair<int, int> MadeOf(quint16 screenId) const
    {
        int made = 0, all = 0;
        window.Project()->ForEachItem([&](TProjectItemBase &item) {
            if (item.ItemScreenId() != screenId)
                return;
            ++all;
            made += dynamic_cast<QWidget *>(&item) != nullptr;
        });
        return {made, all};
    }
    void Close(TMyForm11 *screen)
    {
        screen->close();
        ASSERT_TRUE(RunUntil([screen] { return screen->Area()->findChildren<TVQControl *>().isEmpty(); }));
    }
    // The project saved under its own name is the file it was opened from.
    void ExpectSavedAsOpened()
    {
        window.Project()->SetFileName(folder.House());
        window.CommandSave();
        EXPECT_EQ(folder.Read(folder.House()), original);
    }

    QByteArray original;
    TMyForm11 *second = nullptr;
};

} // namespace

TEST_F(KeptControlsTest, AScreenMakesItsControlsWhenShownAndKeepsThemAsRecordsWhenClosed)
{
    const size_t outputs = window.Project()->Outputs().size();
    const quint16 id = second->ScreenRecord().ScreenId;
    // Not shown yet: its 14 outputs, 2 shortcuts... are listed, none made.
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(MadeOf(id).first, 0);
    EXPECT_GT(MadeOf(id).second, 14);
    EXPECT_TRUE(Labels(second).isEmpty());
    EXPECT_FALSE(window.Project()->GetModified());

    second->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second));
    EXPECT_EQ(MadeOf(id).first, MadeOf(id).second);
    EXPECT_EQ(window.Project()->Outputs().size(), outputs);
    // In the file's order, where the file puts them.
    const QStringList inFileOrder{"Garden socket", "Terrace lights", "Kitchen shutter", "Dining shutter", "Terrace awning",
                                  "Office shutter", "Dining dimmer", "Kitchen spots", "Heater office", "Attic light",
                                  "Living scene 1", "Living scene 1 LED", "Entrance leave", "Panel kitchen 4"};
    EXPECT_EQ(Labels(second), inFileOrder);
    EXPECT_EQ(LabelledControl(second, QStringLiteral("Panel kitchen 4"))->pos(), QPoint(0x1b8, 0xaa));
    EXPECT_FALSE(window.Project()->GetModified());

    Close(second);
    EXPECT_EQ(MadeOf(id).first, 0);
    EXPECT_EQ(window.Project()->Outputs().size(), outputs);
    EXPECT_FALSE(window.Project()->GetModified());
    // Shown again, the same controls in the same order.
    second->show();
    EXPECT_EQ(Labels(second), inFileOrder);
    Close(second);
    ExpectSavedAsOpened();
}

// In test (as in run time) a control made when its screen shows takes the state that came meanwhile.
TEST_F(KeptControlsTest, AControlMadeAgainShowsTheStateItsModuleHas)
{
    window.RunTime()->CommandTest();
    second->show();
    TVQBaseControl *socket = LabelledControl(second, QStringLiteral("Garden socket"));
    EXPECT_EQ(socket->CurrentStateName(), QStringLiteral("Off"));
    QTest::mouseClick(socket, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(socket->CurrentStateName(), QStringLiteral("On"));
    Close(second);

    second->show();
    socket = LabelledControl(second, QStringLiteral("Garden socket"));
    EXPECT_EQ(socket->ControlMode(), RunMode::Test);
    EXPECT_EQ(socket->CurrentStateName(), QStringLiteral("On"));
    EXPECT_EQ(LabelledControl(second, QStringLiteral("Terrace lights"))->CurrentStateName(), QStringLiteral("Off"));
}

// A move on a screen closed since is saved, and undone on the closed screen.
TEST_F(KeptControlsTest, AnEditOnAClosedScreenIsSavedAndUndone)
{
    second->show();
    TVQBaseControl *socket = LabelledControl(second, QStringLiteral("Garden socket"));
    Drag(socket, QPoint(5, 5), QPoint(25, 15));
    EXPECT_EQ(socket->pos(), QPoint(0x28 + 20, 0x3c + 10));
    Close(second);
    EXPECT_TRUE(window.Project()->GetModified());
    const TNewVisualOutput moved = [this] {
        for (auto *output : window.Project()->Outputs()) {
            if (output->CurrentRecord().Label == "Garden socket")
                return output->CurrentRecord();
        }
        return TNewVisualOutput{};
    }();
    EXPECT_EQ(std::make_pair(moved.Left, moved.Top), std::make_pair(quint16(0x28 + 20), quint16(0x3c + 10)));

    window.Editor()->Undo()->trigger();
    EXPECT_FALSE(window.Project()->GetModified());
    EXPECT_FALSE(second->isVisible());
    ExpectSavedAsOpened();
    window.Editor()->Redo()->trigger();
    second->show();
    EXPECT_EQ(LabelledControl(second, QStringLiteral("Garden socket"))->pos(), QPoint(0x28 + 20, 0x3c + 10));
}

// Removing the application takes the records of screens never shown with it; undone, they are back.
TEST_F(KeptControlsTest, AnApplicationRemovedTakesTheKeptRecordsAndUndoBringsThemBack)
{
    const quint16 id = second->ScreenRecord().ScreenId;
    const auto before = MadeOf(id);
    window.History()->RemoveApplication(*window.Project()->Applications()[0]);
    const int left = MadeOf(id).second;  // its shortcut, which shows no state
    EXPECT_LT(left, before.second);
    EXPECT_EQ(window.Project()->Outputs().size(), 0u);

    // Made again through the screen, which from then on holds made controls.
    window.Editor()->Undo()->trigger();
    EXPECT_EQ(MadeOf(id).second, before.second);
    window.Editor()->Redo()->trigger();
    EXPECT_EQ(MadeOf(id).second, left);
    window.Editor()->Undo()->trigger();
    second->show();
    EXPECT_EQ(MadeOf(id), std::make_pair(before.second, before.second));
    EXPECT_TRUE(LabelledControl(second, QStringLiteral("Garden socket"))->GetParentModule());
    Close(second);
    ExpectSavedAsOpened();
}

// A screen never shown, deleted with its records and undone: all of it back, saved as it was read.
TEST_F(KeptControlsTest, AScreenNeverShownIsDeletedAndBroughtBackWhole)
{
    const quint16 id = second->ScreenRecord().ScreenId;
    const auto before = MadeOf(id);
    const size_t outputs = window.Project()->Outputs().size();
    dialogs.ConfirmAnswers.push_back(true);
    window.ScreenEditor()->DeleteScreen(second);
    QCoreApplication::processEvents();
    EXPECT_EQ(MadeOf(id).second, 0);
    EXPECT_EQ(window.Project()->Outputs().size(), outputs - 14);

    window.Editor()->Undo()->trigger();
    TMyForm11 *back = Screen(1);
    EXPECT_EQ(MadeOf(id).second, before.second);
    EXPECT_EQ(window.Project()->Outputs().size(), outputs);
    back->show();
    EXPECT_EQ(LabelledControl(back, QStringLiteral("Panel kitchen 4"))->pos(), QPoint(0x1b8, 0xaa));
    Close(back);
    ExpectSavedAsOpened();
}
