#include "TStopSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <csignal>

// SIGTERM and SIGINT reach the event loop as a request to stop instead of ending the process;
// once the object goes, the signals are the system's again.
TEST(TStopSignals, TermAndIntBecomeARequestToStop)
{
    TStopSignals stop;
    ASSERT_TRUE(stop.IsActive());
    int requests = 0;
    QObject::connect(&stop, &TStopSignals::stopRequested, &stop, [&requests] { ++requests; });
    for (int signal : {SIGTERM, SIGINT}) {
        const int before = requests;
        std::raise(signal);
        QElapsedTimer timer;
        timer.start();
        while (requests == before && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(requests, before + 1) << signal;
    }
}
