#pragma once

#include "ProgramFolder.h"
#include "QtPrinters.h"
#include "ScriptedDialogs.h"
#include "TForm1.h"
#include "TMyForm11.h"

#include <gtest/gtest.h>

// The user's data folder (where the history is kept) of the test's own, so that no test sees
// another one's history.
class TemporaryDataHome
{
public:
    TemporaryDataHome() : m_saved(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path())); }
    ~TemporaryDataHome() { qputenv("XDG_DATA_HOME", m_saved); }

private:
    QTemporaryDir m_home;
    QByteArray m_saved;
};

// A main window in a program folder of its own, its dialogs scripted.
class UnopenedWindowTest : public ::testing::Test
{
protected:
    TMyForm11 *Screen(int index) { return window.ScreenWindows().at(size_t(index)); }

    TemporaryDataHome dataHome;
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
