#pragma once

#include "TSimulatorOptions.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>

#include <array>
#include <memory>
#include <functional>

class QTextStream;
class QTimer;
class QUdpSocket;
class TCameraServer;
class TFrameAssembler;
class TPtyEndpoint;
class TSimulatedInstallation;
class UserMessages;

// A virtual interface module: keeps the state of every module of an installation, answers the
// program's commands with the status frames a real installation sends, and lets temperatures
// and 0-10 V inputs move. Reached over UDP (with the log-in session) and, optionally, a pty.
class TInstallationSimulator : public QObject
{
    Q_OBJECT

public:
    // `log` receives the --log lines and the simulator's own notices.
    TInstallationSimulator(const TSimulatorOptions &options, QTextStream &log, QObject *parent = nullptr);
    ~TInstallationSimulator() override;

    // Loads the export, binds the UDP socket and creates the pty. False and `error` otherwise.
    bool Start(QString &error);

    quint16 UdpPort() const;
    QString SlavePath() const;
    // The test camera, when asked for; null otherwise.
    TCameraServer *Camera() const { return m_camera; }
    bool HasSession() const { return m_hasSession; }

    // State as the installation holds it, for tests and --log.
    quint8 Inputs(quint16 module) const;
    quint8 Outputs(quint16 module) const;
    std::array<quint8, 8> Levels(quint16 module) const;
    std::array<quint8, 5> Temperature(quint16 module) const;
    quint8 VariableValue(quint16 number) const;

    // One step of time: temperatures drift, 0-10 V inputs move, garbage goes out when asked.
    void Tick();

signals:
    // The time given by --exit-after is over.
    void exitRequested();

private:
    enum class Endpoint { Udp, Serial };

    void ReadUdp();
    void HandleDatagram(const QByteArray &data, const QHostAddress &from, quint16 port);
    void HandleFrame(QByteArrayView text, Endpoint from);
    void HandleCommand(const QByteArray &m, Endpoint from);
    void Send(const QByteArrayList &messages, Endpoint to);
    void SendMessage(const QByteArray &message, Endpoint to);
    void SendRaw(const QByteArray &bytes, Endpoint to);
    void SendToAll(const std::function<void(Endpoint)> &send);
    void SendGarbage(Endpoint to);
    void DropSession();
    // The faults a real module shows (TSimulatorFaults.cpp): a restart, frames cut short.
    void Reboot();
    void CutShort(QByteArray &frame);
    void OpenSession(const QHostAddress &client, quint16 port);

    void Log(const QString &line);

    TSimulatorOptions m_options;
    QTextStream &m_log;
    std::unique_ptr<UserMessages> m_messages;
    std::unique_ptr<TSimulatedInstallation> m_installation;
    QByteArray m_loginText;
    QUdpSocket *m_udp = nullptr;
    TPtyEndpoint *m_pty = nullptr;
    TCameraServer *m_camera = nullptr;
    std::unique_ptr<TFrameAssembler> m_udpAssembler;
    std::unique_ptr<TFrameAssembler> m_serialAssembler;
    QTimer *m_tickTimer = nullptr;
    QTimer *m_dropTimer = nullptr;
    quint16 m_boundPort = 0;
    bool m_hasSession = false;
    QHostAddress m_client;
    quint16 m_clientPort = 0;
    QRandomGenerator m_random{20261206};
};
