#include "TSessionFeatures.h"

#include "TBridgeFeature.h"
#include "THistoryRecorder.h"
#include "TProjectSession.h"
#include "TUserFolders.h"

#include <cstdio>

void AttachSessionFeatures(TProjectSession &session, const QString &programFolder, QWidget *window, QMenu *parameterMenu,
                           const std::function<void(const QString &)> &say)
{
    (new TBridgeFeature(session, TUserFolders::SettingsFolder(programFolder), window, say))->AddTo(parameterMenu);
    new THistoryRecorder(session, TUserFolders::HistoryFolder(), [say](const QString &line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
        say(line);
    }, &session);
}
