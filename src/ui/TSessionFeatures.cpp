#include "TSessionFeatures.h"

#include "TBridgeFeature.h"
#include "THistoryFeature.h"
#include "TProjectSession.h"
#include "TUserFolders.h"

#include <QAction>
#include <QMenu>

#include <cstdio>

void AttachSessionFeatures(TProjectSession &session, const QString &programFolder, QWidget *window, QMenu *parameterMenu,
                           QMenu *displayMenu, const std::function<void(const QString &)> &say)
{
    (new TBridgeFeature(session, TUserFolders::SettingsFolder(programFolder), window, say))->AddTo(parameterMenu);
    auto *history = new THistoryFeature(session, TUserFolders::SettingsFolder(programFolder), TUserFolders::HistoryFolder(), window,
                                        [say](const QString &line) {
                                            std::fprintf(stderr, "%s\n", qPrintable(line));
                                            say(line);
                                        });
    history->AddTo(parameterMenu, displayMenu);
}
