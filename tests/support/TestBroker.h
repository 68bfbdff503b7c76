#pragma once

#include "EventLoop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A Mosquitto broker of the test's own, on a free loopback port, with a config written for it
// (anonymous unless the test's lines say otherwise); stopped with the test.
class TestBroker
{
public:
    ~TestBroker() { Stop(); }

    // `config`: lines added after the listener; `{dir}` stands for the broker's folder.
    bool Start(const QString &config = QStringLiteral("allow_anonymous true\n"), quint16 port = 0)
    {
        if (port == 0) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            port = probe.serverPort();
        }
        m_port = port;
        QFile file(m_dir.filePath(QStringLiteral("mosquitto.conf")));
        file.open(QIODevice::WriteOnly);
        // As root the broker would become the "mosquitto" user and lose the test's own files.
        file.write(QStringLiteral("listener %1 127.0.0.1\npersistence false\nuser root\nlog_dest stderr\n%2")
                       .arg(port)
                       .arg(QString(config).replace(QStringLiteral("{dir}"), m_dir.path()))
                       .toUtf8());
        file.close();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStringLiteral("mosquitto"), {QStringLiteral("-c"), file.fileName()});
        if (!m_process.waitForStarted(5000))
            return false;
        // Ready when it accepts a connection.
        return RunUntil([&] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            return socket.waitForConnected(100);
        }, 10000);
    }

    void Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    // Runs a command in the broker's folder (openssl, mosquitto_passwd); true when it succeeded.
    bool Run(const QString &program, const QStringList &arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(m_dir.path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool done = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (!done)
            ADD_FAILURE() << program.toStdString() << ": " << process.readAll().toStdString();
        return done;
    }

    quint16 Port() const { return m_port; }
    QString File(const QString &name) const { return m_dir.filePath(name); }
    QByteArray Output() { return m_process.readAll(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
