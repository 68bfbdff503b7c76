#include "TBridgeService.h"
#include "TFileAccess.h"
#include "TStopSignals.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    TFileAccess::ReportFileSizeLimitAsError();
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    TBridgeService service(err, QCoreApplication::applicationDirPath());
    if (!service.Parse(app.arguments().mid(1)))
        return 2;
    if (!service.Start())
        return 1;
    // SIGTERM (systemd's stop) and SIGINT: the links log out and "offline" is published first.
    TStopSignals stop;
    QObject::connect(&stop, &TStopSignals::stopRequested, &app, [&] {
        service.Stop();
        err << "quelnor-bridge: stopped" << Qt::endl;
        app.quit();
    });
    return app.exec();
}
