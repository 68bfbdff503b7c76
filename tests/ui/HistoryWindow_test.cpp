#include "TDataFileManager.h"
#include "TForm1.h"
#include "TFrameBuilder.h"
#include "THistoryFeature.h"
#include "THistoryPlot.h"
#include "THistoryRecorder.h"
#include "THistoryWindow.h"
#include "TProjectSession.h"

#include "MainWindowFixture.h"
#include "TFileAccess.h"
#include "UiHelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using HistoryWindow = MainWindowTest;

// "Display > History" shows what the session recorded, newest first, and filters it.
TEST_F(HistoryWindow, TheLogbookShowsTheRecordedChangesNewestFirst)
{
    TProjectSession &session = *window.Session();
    session.SetMode(RunMode::RunTime);
    session.SetMode(RunMode::DesignTime);
    THistoryRecorder *recorder = session.findChild<THistoryRecorder *>();
    ASSERT_NE(recorder, nullptr);
    recorder->FlushAndWait();

    Titled<QAction>(window, QStringLiteral("History")).trigger();
    THistoryWindow *history = &Found(window.findChild<THistoryWindow *>(), "logbook");
    ASSERT_TRUE(history->isVisible());
    ASSERT_GE(history->m_table->rowCount(), 3);
    EXPECT_EQ(QStringList({history->m_table->item(0, 5)->text(), history->m_table->item(1, 5)->text()}), QStringList({"Design Time", "Run Time"}));

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

// Run time: a right click on a relay's control offers "History…", which plots its output over
// the last day as steps; a double-click in the logbook plots a row's series; the chart zooms with
// the keys and goes back with Home; the series go out as CSV.
TEST_F(HistoryWindow, ControlsAndTheLogbookOpenThePlot)
{
    TProjectSession &session = *window.Session();
    session.SetMode(RunMode::RunTime);
    TDataFileManager *application = session.Project()->Applications().front().get();
    for (const char *message : {"b50000028600 01", "b50000028600 00", "b50000028600 01"}) {
        application->AssembleBytes(TFrameBuilder::Frame(QByteArray::fromHex(message)));
        application->EndBatch();
    }
    TVQBaseControl *ceiling = ControlLabelled(window.ScreenWindows()[0], QStringLiteral("Living room ceiling"));
    ASSERT_NE(ceiling, nullptr);
    window.ScreenWindows()[0]->show();
    QTest::mousePress(ceiling, Qt::RightButton, {}, QPoint(5, 5));
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction *history = menu->findChild<QAction *>(QStringLiteral("HistoryMenu"));
    ASSERT_NE(history, nullptr);
    history->trigger();
    menu->close();
    QTest::mouseRelease(ceiling, Qt::RightButton, {}, QPoint(5, 5));  // no button left down for the next test

    THistoryPlot *plot = window.findChild<THistoryPlot *>();
    ASSERT_NE(plot, nullptr);
    ASSERT_TRUE(plot->isVisible());
    ASSERT_EQ(plot->Keys().size(), 1u);
    EXPECT_EQ(std::make_tuple(plot->Keys()[0].What, plot->Keys()[0].Channel, plot->Until() - plot->Since(), plot->LinesOf(0)),
              std::make_tuple(QStringLiteral("output"), 0, 24 * 3600 * 1000, 1));
    EXPECT_GE(plot->PointsDrawn(), 2);

    // Another series from the list of those recorded, on the same axis.
    const int power = plot->m_available->findText(QStringLiteral("Power — power"));
    ASSERT_GE(power, 0);
    plot->m_available->setCurrentIndex(power);
    QTest::mouseClick(&Titled<QPushButton>(*plot, QStringLiteral("Add")), Qt::LeftButton);
    ASSERT_EQ(plot->Keys().size(), 2u);
    EXPECT_EQ(std::make_tuple(plot->Keys()[1].Kind, plot->LinesOf(1)), std::make_tuple(QStringLiteral("power"), 1));

    const qint64 span = plot->Until() - plot->Since();
    plot->m_view->setFocus();
    QTest::keyClick(plot->m_view, Qt::Key_Plus);
    QCoreApplication::processEvents();
    EXPECT_LT(plot->Until() - plot->Since(), span);
    QTest::keyClick(plot->m_view, Qt::Key_Home);
    EXPECT_EQ(plot->Until() - plot->Since(), 24 * 3600 * 1000);
    // A drag with the middle button pans: the span stays, the times move back.
    const qint64 until = plot->Until();
    const QPoint middle = plot->m_view->viewport()->rect().center();
    QTest::mousePress(plot->m_view->viewport(), Qt::MiddleButton, {}, middle);
    QTest::mouseMove(plot->m_view->viewport(), middle + QPoint(100, 0));
    QTest::mouseRelease(plot->m_view->viewport(), Qt::MiddleButton, {}, middle + QPoint(100, 0));
    QCoreApplication::processEvents();
    EXPECT_LT(plot->Until(), until);
    EXPECT_NEAR(double(plot->Until() - plot->Since()), 24 * 3600 * 1000.0, 1000.0);

    // The logbook: a row of a dimmer's level plots that series.
    Titled<QAction>(window, QStringLiteral("History")).trigger();
    THistoryWindow *logbook = window.findChild<THistoryWindow *>();
    ASSERT_NE(logbook, nullptr);
    logbook->Refresh();
    // The newest such row: one of this test's (the folder's history may hold earlier ones).
    const std::vector<THistoryRow> &shown = logbook->Shown();
    const auto found = std::find_if(shown.begin(), shown.end(), [](const THistoryRow &r) { return r.What == QStringLiteral("output") && r.Channel == 1; });
    ASSERT_NE(found, shown.end());
    const int row = int(found - shown.begin());
    logbook->m_table->scrollToItem(logbook->m_table->item(row, 2));
    const QRect cell = logbook->m_table->visualItemRect(logbook->m_table->item(row, 2));
    QTest::mouseClick(logbook->m_table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(logbook->m_table->viewport(), Qt::LeftButton, {}, cell.center());
    // After the double-click Qt still counts the button as down: let it up, so that the next test
    // does not run with it down.
    QTest::mouseRelease(logbook->m_table->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(plot->Keys().size(), 1u);
    EXPECT_EQ(plot->Keys()[0].Channel, 1);

    // Only this application's rows; then only module 3's (which reported nothing).
    logbook->m_application->setCurrentIndex(1);
    EXPECT_FALSE(logbook->Shown().empty());
    logbook->m_module->setCurrentIndex(logbook->m_module->findData(3));
    EXPECT_TRUE(logbook->Shown().empty());
}

// The retention kept in History.ini; a folder that cannot be written says so.
TEST(HistorySettings, RetentionSettingsAreKept)
{
    QTemporaryDir folder;
    const auto days = [&folder] { const THistoryRetention kept = THistorySettings::Load(folder.path()); return std::make_tuple(kept.RawDays, kept.HourlyDays); };
    EXPECT_EQ(days(), std::make_tuple(30, 730));
    QString error;
    ASSERT_TRUE(THistorySettings::Save(folder.path(), THistoryRetention{.RawDays = 7, .HourlyDays = 365}, &error)) << error.toStdString();
    EXPECT_EQ(days(), std::make_tuple(7, 365));
    ASSERT_TRUE(TFileAccess::SaveAtomically(folder.filePath(QStringLiteral("file")), ""));
    EXPECT_FALSE(THistorySettings::Save(folder.filePath(QStringLiteral("file/settings")), THistoryRetention{}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("could not be written"))) << error.toStdString();
}

} // namespace
