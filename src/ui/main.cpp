#include "TFileAccess.h"
#include "TForm1.h"
#include "TStopSignals.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    TFileAccess::ReportFileSizeLimitAsError();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Visual Quelnor 2"));
    TForm1 window(QCoreApplication::applicationDirPath());
    // Asked to stop (a shutdown, Ctrl-C): every module logged out at once, unsaved changes kept in
    // a recovered copy (nobody answers a question at a shutdown), and the program ends.
    TStopSignals stop;
    QObject::connect(&stop, &TStopSignals::stopRequested, &window, [&window] {
        QTextStream err(stderr);
        window.StopNow(err);
        QCoreApplication::quit();
    });
    // Wall-panel mode: the screens of the last project in run time, full screen, and no main
    // window; closing the last screen ends the program as closing the main window would.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--kiosk"))) {
        window.SetKiosk(true);
        QObject::connect(&app, &QApplication::lastWindowClosed, &window, [&window] { window.close(); });
        window.FirstActivation();
    } else if (!arguments.isEmpty() && !arguments.front().startsWith(QStringLiteral("--"))) {
        // "visual-quelnor PROJECT", as a file manager starts it for a double-clicked project.
        window.StartWithProject(arguments.front());
        window.show();
    } else {
        window.show();
    }
    // A stop that came while the start still waited on a box (a missing picture said at the
    // first open) ends the program here: the event loop it would quit never ran.
    if (window.Stopping())
        return 0;
    return app.exec();
}
