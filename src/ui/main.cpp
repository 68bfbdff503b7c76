#include "TFileAccess.h"
#include "TForm1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    TFileAccess::ReportFileSizeLimitAsError();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Visual Quelnor 2"));
    TForm1 window(QCoreApplication::applicationDirPath());
    // Wall-panel mode: the screens of the last project in run time, full screen, and no main
    // window; closing the last screen ends the program as closing the main window would.
    if (QCoreApplication::arguments().contains(QStringLiteral("--kiosk"))) {
        window.SetKiosk(true);
        QObject::connect(&app, &QApplication::lastWindowClosed, &window, [&window] { window.close(); });
        window.FirstActivation();
    } else {
        window.show();
    }
    return app.exec();
}
