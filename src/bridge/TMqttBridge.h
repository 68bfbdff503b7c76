#pragma once

#include "TBridgeEntities.h"
#include "TMqttClient.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QTimer;
class TDataFileManager;
class TProjectSession;
class TVQQModuleBase;
class TVQQVariableBaseItem;
enum class LinkHealth : quint8;
enum class RunMode : quint8;

// What the bridge publishes and accepts, besides where the broker is.
struct TBridgeOptions
{
    TMqttSettings Broker;
    QByteArray BaseTopic = "quelnor";
    QByteArray DiscoveryPrefix = "homeassistant";
    bool Discovery = true;
    bool Commands = false;     // off: a command is refused (published on the error topic), never sent
    int DiscoveryPerTick = 200;  // discovery configs sent every 50 ms, so that a broker is not flooded
};

// The open project's installations on MQTT: discovery configs for the home-automation system,
// retained states from the modules' reports, availability following the bridge, each link and
// each state's trust, and (when allowed) commands from the entities' "set" topics, one bus frame
// each. Everything it publishes comes from the project session's announcements; it publishes
// only while the session is in run time.
class TMqttBridge : public QObject
{
    Q_OBJECT

public:
    // `log` takes one line per refused or ignored message and per broker connection change.
    TMqttBridge(TProjectSession &session, std::function<void(const QString &)> log, QObject *parent = nullptr);
    ~TMqttBridge() override;

    // Builds the entities of the open project and connects to the broker; false with `error`
    // when the broker settings cannot be used.
    bool Start(const TBridgeOptions &options, QString &error);
    // Every application and the bridge published unavailable, then the broker left.
    void Stop();
    bool IsRunning() const { return m_running; }
    TMqttClient &Client() { return *m_client; }
    // Messages ignored (malformed, unknown topic, out of range) and commands refused so far.
    quint64 Ignored() const { return m_ignored; }
    quint64 Refused() const { return m_refused; }
    // Discovery configs still waiting to be sent.
    size_t DiscoveryQueued() const { return m_discovery.size(); }
    const TBridgeTopics &Topics() const { return m_topics; }
    const std::vector<std::unique_ptr<TBridgeInstallation>> &Installations() const { return m_installations; }

private:
    bool Publishing() const;
    void Put(const QByteArray &topic, const QByteArray &payload, bool retain = true);
    void Connected();
    void RepublishAll();
    void PublishInstallation(TBridgeInstallation &installation);
    void UpdateEntity(TBridgeInstallation &installation, const TBridgeEntity &entity);
    // The entity's state or trust may have changed: published at the next flush.
    void MarkDirty(TBridgeInstallation &installation, const TBridgeEntity &entity);
    void Flush();
    void UpdateApplication(TDataFileManager *application);
    void PublishStatus(TBridgeInstallation &installation);
    void SendDiscovery();
    void Rebuild(TDataFileManager *application, bool removed);
    void RemoveEntities(const TBridgeInstallation &installation, const QHash<QByteArray, bool> &keep);
    TBridgeInstallation *InstallationOf(const TDataFileManager *application) const;

    void StateChanged(TDataFileManager *application, TVQQModuleBase *module, quint8 parts);
    void VariableChanged(TDataFileManager *application, TVQQVariableBaseItem *variable);
    void MessageReceived(const QByteArray &topic, const QByteArray &payload);

    // Commands (TBridgeCommands.cpp).
    void Command(TBridgeInstallation &installation, const QByteArray &topic, const QByteArray &payload);
    bool Execute(const TBridgeInstallation &installation, const TBridgeEntity &entity, const QByteArray &leaf, const QByteArray &payload, QString &refusal);
    void Refuse(TBridgeInstallation &installation, const QByteArray &topic, const QByteArray &payload, const QString &reason);
    void Ignore(const QByteArray &topic, const QString &why);

    TProjectSession &m_session;
    std::function<void(const QString &)> m_log;
    TMqttClient *m_client = nullptr;
    QTimer *m_discoveryTimer = nullptr;
    QTimer *m_birthTimer = nullptr;
    QTimer *m_flushTimer = nullptr;
    QElapsedTimer m_dirtySince;
    std::vector<std::pair<TBridgeInstallation *, const TBridgeEntity *>> m_dirty;
    TBridgeOptions m_options;
    TBridgeTopics m_topics;
    bool m_running = false;
    std::vector<std::unique_ptr<TBridgeInstallation>> m_installations;
    QHash<QByteArray, QByteArray> m_published;  // what the broker holds from us, by topic
    std::deque<TBridgeMessage> m_discovery;
    quint64 m_ignored = 0;
    quint64 m_refused = 0;
    std::vector<QMetaObject::Connection> m_connections;
};
