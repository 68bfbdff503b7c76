#pragma once

#include "TMqttBridge.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QTextStream;
class TProjectSession;
class THistoryRecorder;
class TStreamMessages;

// quelnor-bridge: opens a project without windows, holds its applications' links in run time as
// the program does, and bridges them to an MQTT broker until asked to stop; it records their
// history as the program does, with or without a broker.
class TBridgeService : public QObject
{
    Q_OBJECT

public:
    TBridgeService(QTextStream &err, const QString &programFolder, QObject *parent = nullptr);
    ~TBridgeService() override;

    // Reads the arguments; false, with the reason and the usage on the error stream, when they
    // cannot be used (exit status 2).
    bool Parse(const QStringList &arguments);
    // Opens the project and its links and starts the bridge; false (exit status 1) when the
    // project or the broker settings cannot be used.
    bool Start();
    // Links logged out, the bridge's "offline" published, the broker left.
    void Stop();

    static QString Usage();
    const TBridgeOptions &Options() const { return m_options; }
    TProjectSession &Session() { return *m_session; }
    TMqttBridge &Bridge() { return *m_bridge; }

private:
    QTextStream &m_err;
    QString m_projectPath;
    TBridgeOptions m_options;
    std::unique_ptr<TStreamMessages> m_messages;
    std::unique_ptr<TProjectSession> m_session;
    std::unique_ptr<TMqttBridge> m_bridge;
    std::unique_ptr<THistoryRecorder> m_history;
    bool m_recordHistory = true;
    QString m_historyDatabase;  // empty: one file per installation in the user's history folder
};
