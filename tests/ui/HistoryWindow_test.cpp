#include "TForm1.h"
#include "THistoryRecorder.h"
#include "THistoryWindow.h"
#include "TProjectSession.h"

#include "ProgramFolder.h"
#include "ScriptedDialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// "Display > History" shows what the session recorded, newest first, and filters it.
TEST(HistoryWindow, TheLogbookShowsTheRecordedChangesNewestFirst)
{
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    TForm1 window(folder.Path(), &dialogs);
    ASSERT_TRUE(window.OpenProject(folder.House()));
    TProjectSession &session = *window.Session();
    session.SetMode(RunMode::RunTime);
    session.SetMode(RunMode::DesignTime);
    THistoryRecorder *recorder = session.findChild<THistoryRecorder *>();
    ASSERT_NE(recorder, nullptr);
    recorder->FlushAndWait();

    QAction *show = nullptr;
    for (QAction *action : window.menuBar()->findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("History"))
            show = action;
    }
    ASSERT_NE(show, nullptr);
    show->trigger();
    THistoryWindow *history = window.findChild<THistoryWindow *>();
    ASSERT_NE(history, nullptr);
    ASSERT_TRUE(history->isVisible());
    ASSERT_GE(history->m_table->rowCount(), 3);
    EXPECT_EQ(history->m_table->item(0, 5)->text(), QStringLiteral("Design Time"));
    EXPECT_EQ(history->m_table->item(1, 5)->text(), QStringLiteral("Run Time"));

    history->m_kind->setCurrentText(QStringLiteral("project"));
    ASSERT_GE(history->m_table->rowCount(), 1);
    for (const THistoryRow &row : history->Shown())
        EXPECT_EQ(row.Kind, QStringLiteral("project"));
    history->m_kind->setCurrentIndex(0);
    QTest::keyClicks(history->m_search, QStringLiteral("run t"));
    ASSERT_GE(history->m_table->rowCount(), 1);
    for (const THistoryRow &row : history->Shown())
        EXPECT_EQ(row.Text, QStringLiteral("Run Time"));
}

} // namespace
