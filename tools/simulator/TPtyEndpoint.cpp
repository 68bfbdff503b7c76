#include "TPtyEndpoint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

TPtyEndpoint::TPtyEndpoint(QObject *parent)
    : QObject(parent)
{
}

TPtyEndpoint::~TPtyEndpoint()
{
    if (!m_linkPath.isEmpty() && QFileInfo(m_linkPath).isSymLink())
        QFile::remove(m_linkPath);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool TPtyEndpoint::Open(const QString &linkPath, QString &error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = QStringLiteral("Cannot create a pty: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);

    // Raw mode on the slave: no echo of what the simulator sends, no line editing.
    m_slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_slave >= 0) {
        termios tio{};
        if (tcgetattr(m_slave, &tio) == 0) {
            cfmakeraw(&tio);
            tcsetattr(m_slave, TCSANOW, &tio);
        }
    }

    const QFileInfo link(linkPath);
    QDir().mkpath(link.absolutePath());
    if (link.exists() || link.isSymLink())
        QFile::remove(linkPath);
    if (!QFile::link(m_slavePath, linkPath)) {
        error = QStringLiteral("Cannot link the pty at ") + linkPath;
        return false;
    }
    m_linkPath = linkPath;

    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TPtyEndpoint::ReadAvailable);
    return true;
}

void TPtyEndpoint::ReadAvailable()
{
    QByteArray bytes;
    char buffer[1024];
    ssize_t n;
    while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, n);
    if (!bytes.isEmpty())
        emit received(bytes);
}

void TPtyEndpoint::Write(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    // A full pty buffer (nobody reading) drops what does not fit, as a serial line would.
    [[maybe_unused]] const ssize_t written = ::write(m_master, bytes.constData(), size_t(bytes.size()));
}

void TPtyEndpoint::Unplug()
{
    delete m_notifier;
    m_notifier = nullptr;
    for (int *fd : {&m_slave, &m_master}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}
