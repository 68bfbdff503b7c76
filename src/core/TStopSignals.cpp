#include "TStopSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write: a byte on a socket pair wakes the event loop.
int g_pair[2] = {-1, -1};

void OnSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pair[1], &c, 1);
}

} // namespace

TStopSignals::TStopSignals(QObject *parent)
    : QObject(parent)
{
    if (g_pair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pair) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pair[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char c = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_pair[0], &c, 1);
        emit stopRequested();
    });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

TStopSignals::~TStopSignals()
{
    if (!m_notifier)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    ::close(g_pair[0]);
    ::close(g_pair[1]);
    g_pair[0] = g_pair[1] = -1;
}
