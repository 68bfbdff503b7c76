#include "TInstallationSimulator.h"
#include "TSimulatorOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

} // namespace

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

    // SIGINT and SIGTERM end the event loop through a socket pair, so the pty link is removed.
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) {
        err << "Cannot set up signal handling" << Qt::endl;
        return 1;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });

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
