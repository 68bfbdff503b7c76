#include "TSessionFeatures.h"

#include "TBridgeFeature.h"
#include "THistoryRecorder.h"
#include "THistoryWindow.h"
#include "TProjectSession.h"
#include "TUserFolders.h"

#include <QAction>
#include <QMenu>

#include <cstdio>

void AttachSessionFeatures(TProjectSession &session, const QString &programFolder, QWidget *window, QMenu *parameterMenu,
                           QMenu *displayMenu, const std::function<void(const QString &)> &say)
{
    (new TBridgeFeature(session, TUserFolders::SettingsFolder(programFolder), window, say))->AddTo(parameterMenu);
    new THistoryRecorder(session, TUserFolders::HistoryFolder(), [say](const QString &line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
        say(line);
    }, &session);
    auto *history = new THistoryWindow(session, TUserFolders::HistoryFolder(), window);
    QObject::connect(displayMenu->addAction(QStringLiteral("History")), &QAction::triggered, history, [history] {
        history->show();
        history->raise();
        history->activateWindow();
    });
}
