#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

// A pseudo-terminal for serial-link tests: the program opens the slave through a COM link in
// a program folder's "Ports"; the test reads and writes the master side.
class TestPty
{
public:
    TestPty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0) {
            m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~TestPty()
    {
        if (m_master >= 0)
            close(m_master);
    }
    TestPty(const TestPty &) = delete;
    TestPty &operator=(const TestPty &) = delete;

    bool IsValid() const { return !m_slavePath.isEmpty(); }
    // The device goes away, as an unplugged adapter would.
    void CloseMaster()
    {
        if (m_master >= 0)
            close(m_master);
        m_master = -1;
    }
    int MasterFd() const { return m_master; }
    const QString &SlavePath() const { return m_slavePath; }

    // Links "<folder>/Ports/COMn" to the slave.
    bool LinkAsCom(const QString &programFolder, int comNumber) const
    {
        const QString ports = programFolder + QStringLiteral("/Ports");
        if (!QDir().mkpath(ports))
            return false;
        return QFile::link(m_slavePath, ports + QStringLiteral("/COM%1").arg(comNumber));
    }

    void Write(const QByteArray &bytes) const
    {
        [[maybe_unused]] const ssize_t written = write(m_master, bytes.constData(), size_t(bytes.size()));
    }

    // What the slave side sent since the last read; never blocks.
    QByteArray Read() const
    {
        QByteArray all;
        char buffer[512];
        ssize_t n;
        while ((n = read(m_master, buffer, sizeof buffer)) > 0)
            all.append(buffer, n);
        return all;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};
