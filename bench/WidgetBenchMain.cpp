// The main of the benchmarks that need widgets: an application on the offscreen platform.
#include "TemporaryUserFolders.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
    // Offscreen unless a platform is named (xvfb-run … with QT_QPA_PLATFORM=xcb: a real X server).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    UseTemporaryUserFolders();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
