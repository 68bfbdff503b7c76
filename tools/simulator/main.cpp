#include "TInstallationSimulator.h"
#include "TSimulatorOptions.h"
#include "TStopSignals.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString error;
    auto options = TSimulatorOptions::Parse(app.arguments().mid(1), error);
    if (!options) {
        err << error << "\n" << TSimulatorOptions::Usage() << Qt::flush;
        return 2;
    }
    options->ProgramFolder = QCoreApplication::applicationDirPath();

    // SIGINT and SIGTERM end the event loop, so the pty link is removed.
    TStopSignals stop;
    if (!stop.IsActive()) {
        err << "Cannot set up signal handling" << Qt::endl;
        return 1;
    }
    QObject::connect(&stop, &TStopSignals::stopRequested, &app, [] { QCoreApplication::quit(); });

    TInstallationSimulator simulator(*options, out);
    QObject::connect(&simulator, &TInstallationSimulator::exitRequested, &app, [] { QCoreApplication::quit(); });
    if (!simulator.Start(error)) {
        err << error << Qt::endl;
        return 1;
    }
    const int status = app.exec();
    out << "quelnor-sim stopped" << Qt::endl;
    return status;
}
