#pragma once

#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "ScriptedDialogs.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TWindowBinder.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

// A main window in a program folder of its own, its dialogs scripted.
class UnopenedWindowTest : public ::testing::Test
{
protected:
    TMyForm11 *Screen(int index) { return window.ScreenWindows().at(size_t(index)); }
    // The controls of every screen made, shown or not.
    void MakeEveryControl()
    {
        for (TMyForm11 *screen : window.ScreenWindows())
            window.Binder()->MakeControls(*screen);
    }

    TemporaryHome home;  // no test sees another one's settings or history
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    TForm1 window{folder.Path(), &dialogs};
};

// The same with the test project open.
class MainWindowTest : public UnopenedWindowTest
{
protected:
    void SetUp() override { ASSERT_TRUE(window.OpenProject(folder.House())); }
};
