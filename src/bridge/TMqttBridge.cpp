#include "TMqttBridge.h"

#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TVQQModuleBase.h"

#include <QRandomGenerator>
#include <QTimer>

TMqttBridge::TMqttBridge(TProjectSession &session, std::function<void(const QString &)> log, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_log(std::move(log))
    , m_client(new TMqttClient(this))
    , m_discoveryTimer(new QTimer(this))
    , m_birthTimer(new QTimer(this))
    , m_flushTimer(new QTimer(this))
{
    m_discoveryTimer->setInterval(50);
    connect(m_discoveryTimer, &QTimer::timeout, this, &TMqttBridge::SendDiscovery);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(50);
    connect(m_flushTimer, &QTimer::timeout, this, &TMqttBridge::Flush);
    m_birthTimer->setSingleShot(true);
    connect(m_birthTimer, &QTimer::timeout, this, &TMqttBridge::RepublishAll);
    connect(m_client, &TMqttClient::connected, this, &TMqttBridge::Connected);
    connect(m_client, &TMqttClient::disconnected, this, [this](const QString &reason) {
        m_discoveryTimer->stop();
        m_log(QStringLiteral("MQTT broker %1:%2 not reached (%3); trying again in %4 s")
                  .arg(m_options.Broker.Host)
                  .arg(m_options.Broker.Port)
                  .arg(reason)
                  .arg(m_client->RetryPause() / 1000.0));
    });
    connect(m_client, &TMqttClient::messageReceived, this, &TMqttBridge::MessageReceived);
}

TMqttBridge::~TMqttBridge()
{
    Stop();
}

bool TMqttBridge::Start(const TBridgeOptions &options, QString &error)
{
    Stop();
    m_options = options;
    m_topics.Base = options.BaseTopic;
    m_topics.DiscoveryPrefix = options.DiscoveryPrefix;
    m_topics.ProgramVersion = QStringLiteral(QUELNOR_VERSION);
    const auto &applications = m_session.Project()->Applications();
    const QByteArray bridgeId = applications.empty() ? QByteArray("none") : TBridgeInstallation::IdOf(*applications.front());
    m_topics.BridgeStatus = m_topics.Base + "/bridge/" + bridgeId;
    for (const auto &application : applications)
        m_installations.push_back(std::make_unique<TBridgeInstallation>(*application, *m_session.Lists(), m_topics));

    TMqttSettings broker = options.Broker;
    broker.WillTopic = m_topics.BridgeStatus;
    broker.WillPayload = "offline";
    if (broker.ClientId.isEmpty())
        broker.ClientId = QStringLiteral("quelnor-bridge-") + QString::fromLatin1(bridgeId);
    if (!m_client->Start(broker, error)) {
        m_installations.clear();
        return false;
    }
    m_running = true;

    TProjectSession *session = &m_session;
    m_connections = {
        connect(session, &TProjectSession::stateChanged, this, &TMqttBridge::StateChanged),
        connect(session, &TProjectSession::variableChanged, this, &TMqttBridge::VariableChanged),
        connect(session, &TProjectSession::healthChanged, this,
                [this](TDataFileManager *application, LinkHealth) { UpdateApplication(application); }),
        connect(session, &TProjectSession::powerChanged, this,
                [this](quint32) {
                    for (const auto &installation : m_installations)
                        MarkDirty(*installation, installation->Entities().back());
                }),
        connect(session, &TProjectSession::modeChanged, this, [this](RunMode) {
            if (Publishing()) {
                RepublishAll();
                return;
            }
            // Design time and test mode: nothing shown is a reported state any more.
            for (const auto &installation : m_installations)
                PublishStatus(*installation);
        }),
        connect(session, &TProjectSession::applicationAdded, this, [this](TDataFileManager *a) { Rebuild(a, false); }),
        connect(session, &TProjectSession::applicationUpdated, this, [this](TDataFileManager *a) { Rebuild(a, false); }),
        connect(session, &TProjectSession::applicationRemoved, this, [this](TDataFileManager *a) { Rebuild(a, true); }),
        connect(session, &TProjectSession::aboutToClose, this, [this] {
            for (const auto &installation : m_installations)
                Put(installation->StatusTopic(), "offline");
            m_dirty.clear();
            m_installations.clear();
            m_discovery.clear();
        }),
    };
    return true;
}

void TMqttBridge::Stop()
{
    if (!m_running)
        return;
    for (const QMetaObject::Connection &connection : m_connections)
        disconnect(connection);
    m_connections.clear();
    for (const auto &installation : m_installations)
        Put(installation->StatusTopic(), "offline");
    Put(m_topics.BridgeStatus, "offline");
    m_client->Stop();
    m_running = false;
    m_discoveryTimer->stop();
    m_birthTimer->stop();
    m_discovery.clear();
    m_published.clear();
    m_dirty.clear();
    m_flushTimer->stop();
    m_installations.clear();
}

bool TMqttBridge::Publishing() const
{
    return m_running && m_session.Mode() == RunMode::RunTime;
}

void TMqttBridge::Put(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    if (retain) {
        const auto known = m_published.constFind(topic);
        if (known != m_published.constEnd() && *known == payload)
            return;
    }
    if (m_client->Publish(topic, payload, retain) && retain)
        m_published.insert(topic, payload);
}

void TMqttBridge::Connected()
{
    m_log(QStringLiteral("MQTT broker %1:%2 connected").arg(m_options.Broker.Host).arg(m_options.Broker.Port));
    // Whatever the broker kept may be older than what is known now: everything is sent again.
    m_published.clear();
    m_client->Subscribe(m_topics.DiscoveryPrefix + "/status");
    for (const auto &installation : m_installations) {
        m_client->Subscribe(m_topics.Base + '/' + installation->Id() + "/+/+/set");
        m_client->Subscribe(m_topics.Base + '/' + installation->Id() + "/+/+/+/set");
    }
    RepublishAll();
}

void TMqttBridge::RepublishAll()
{
    if (!m_client->IsConnected())
        return;
    m_published.clear();
    m_discovery.clear();
    Put(m_topics.BridgeStatus, "online");
    for (const auto &installation : m_installations) {
        for (const TBridgeEntity &entity : installation->Entities()) {
            entity.ShownFresh = -1;
            // A push button's last state is kept: republishing is no press.
            if (entity.Kind != EntityKind::Event)
                entity.Shown = -1;
        }
        PublishInstallation(*installation);
    }
}

void TMqttBridge::PublishInstallation(TBridgeInstallation &installation)
{
    if (m_options.Discovery) {
        for (const TBridgeEntity &entity : installation.Entities())
            m_discovery.push_back({entity.ConfigTopic(m_topics), installation.Config(entity)});
        if (!m_discoveryTimer->isActive())
            m_discoveryTimer->start();
        SendDiscovery();
    }
    PublishStatus(installation);
    for (const TBridgeEntity &entity : installation.Entities())
        UpdateEntity(installation, entity);
}

void TMqttBridge::SendDiscovery()
{
    for (int sent = 0; sent < m_options.DiscoveryPerTick && !m_discovery.empty(); ++sent) {
        const TBridgeMessage message = std::move(m_discovery.front());
        m_discovery.pop_front();
        Put(message.Topic, message.Payload);
    }
    if (m_discovery.empty())
        m_discoveryTimer->stop();
}

void TMqttBridge::PublishStatus(TBridgeInstallation &installation)
{
    const LinkHealth health = installation.Application().Session().Health();
    const bool up = Publishing() && (health == LinkHealth::Up || health == LinkHealth::InDoubt);
    Put(installation.StatusTopic(), up ? "online" : "offline");
}

void TMqttBridge::UpdateEntity(TBridgeInstallation &installation, const TBridgeEntity &entity)
{
    if (!Publishing())
        return;
    const bool fresh = installation.Fresh(entity);
    if ((entity.Module || entity.Variable) && entity.ShownFresh != qint8(fresh)) {
        Put(entity.AvailabilityTopic, fresh ? "online" : "offline");
        entity.ShownFresh = qint8(fresh);
    }
    if (!fresh)
        return;
    // Most reports change nothing an entity shows: no text is made for those.
    const qint64 signature = installation.Signature(entity);
    const qint64 shown = entity.Shown;
    if (signature == shown)
        return;
    entity.Shown = signature;
    if (entity.Kind == EntityKind::Event) {
        // A push button publishes what happened, once, when its reported state changes.
        if (shown >= 0)
            Put(entity.StateTopics.front(), signature ? R"({"event_type":"press"})" : R"({"event_type":"release"})", false);
        return;
    }
    // The entity's signature already tells a change: no look-up in what was published.
    for (const TBridgeMessage &message : installation.States(entity))
        m_client->Publish(message.Topic, message.Payload, true);
}

void TMqttBridge::MarkDirty(TBridgeInstallation &installation, const TBridgeEntity &entity)
{
    if (!Publishing())
        return;
    // A push button's press and release are each published, in order, at once.
    if (entity.Kind == EntityKind::Event) {
        UpdateEntity(installation, entity);
        return;
    }
    if (m_dirty.empty())
        m_dirtySince.start();
    // Published once the link has been quiet a moment, and no later than half a second after
    // the first change however busy it stays.
    if (m_dirtySince.elapsed() < 500)
        m_flushTimer->start();
    if (entity.Dirty)
        return;
    entity.Dirty = true;
    m_dirty.push_back({&installation, &entity});
}

void TMqttBridge::Flush()
{
    // What changed during a burst of frames is published once the burst is handled, the latest
    // state of each entity once: the screens have the thread first.
    std::vector<std::pair<TBridgeInstallation *, const TBridgeEntity *>> dirty;
    dirty.swap(m_dirty);
    for (const auto &[installation, entity] : dirty) {
        entity->Dirty = false;
        UpdateEntity(*installation, *entity);
    }
}

void TMqttBridge::UpdateApplication(TDataFileManager *application)
{
    TBridgeInstallation *installation = InstallationOf(application);
    if (!installation)
        return;
    PublishStatus(*installation);
    // The link's epoch decides every state's trust: each entity's availability follows.
    for (const TBridgeEntity &entity : installation->Entities())
        MarkDirty(*installation, entity);
}

void TMqttBridge::StateChanged(TDataFileManager *application, TVQQModuleBase *module, quint8 parts)
{
    TBridgeInstallation *installation = Publishing() ? InstallationOf(application) : nullptr;
    if (!installation)
        return;
    // A report changes one or two channels of a module: only their entities wait for the flush.
    const StateTrust trust = module->Trust(parts);
    for (const int index : installation->EntitiesOf(module)) {
        const TBridgeEntity &entity = installation->Entities()[size_t(index)];
        if (!(entity.Parts() & parts) || entity.Dirty)
            continue;
        if (trust == StateTrust::Fresh && entity.ShownFresh == 1 && installation->Signature(entity) == entity.Shown)
            continue;
        MarkDirty(*installation, entity);
    }
}

void TMqttBridge::VariableChanged(TDataFileManager *application, TVQQVariableBaseItem *variable)
{
    TBridgeInstallation *installation = Publishing() ? InstallationOf(application) : nullptr;
    if (!installation)
        return;
    for (const int index : installation->EntitiesOf(variable))
        MarkDirty(*installation, installation->Entities()[size_t(index)]);
}

TBridgeInstallation *TMqttBridge::InstallationOf(const TDataFileManager *application) const
{
    for (const auto &installation : m_installations) {
        if (&installation->Application() == application)
            return installation.get();
    }
    return nullptr;
}

void TMqttBridge::Rebuild(TDataFileManager *application, bool removed)
{
    auto found = std::find_if(m_installations.begin(), m_installations.end(),
                              [application](const auto &i) { return &i->Application() == application; });
    std::unique_ptr<TBridgeInstallation> old;
    if (found != m_installations.end()) {
        const TBridgeInstallation *gone = found->get();
        std::erase_if(m_dirty, [gone](const auto &d) { return d.first == gone; });
        old = std::move(*found);
        m_installations.erase(found);
    }
    QHash<QByteArray, bool> keep;
    if (!removed) {
        auto fresh = std::make_unique<TBridgeInstallation>(*application, *m_session.Lists(), m_topics);
        for (const TBridgeEntity &entity : fresh->Entities())
            keep.insert(entity.ConfigTopic(m_topics), true);
        m_installations.push_back(std::move(fresh));
    }
    // Entities of modules that are gone are removed from the home-automation system.
    if (old)
        RemoveEntities(*old, keep);
    if (removed) {
        if (old)
            Put(old->StatusTopic(), "offline");
        return;
    }
    TBridgeInstallation &installation = *m_installations.back();
    if (m_client->IsConnected()) {
        m_client->Subscribe(m_topics.Base + '/' + installation.Id() + "/+/+/set");
        m_client->Subscribe(m_topics.Base + '/' + installation.Id() + "/+/+/+/set");
        PublishInstallation(installation);
    }
}

void TMqttBridge::RemoveEntities(const TBridgeInstallation &installation, const QHash<QByteArray, bool> &keep)
{
    for (const TBridgeEntity &entity : installation.Entities()) {
        const QByteArray config = entity.ConfigTopic(m_topics);
        if (keep.contains(config))
            continue;
        if (m_options.Discovery)
            Put(config, QByteArray());
        // Their retained states go too (the model objects may be gone: the topics were kept).
        for (const QByteArray &topic : entity.StateTopics) {
            if (entity.Kind != EntityKind::Event)
                m_client->Publish(topic, QByteArray(), true);
        }
        if (entity.Module || entity.Variable)
            Put(entity.AvailabilityTopic, QByteArray());
    }
}

void TMqttBridge::MessageReceived(const QByteArray &topic, const QByteArray &payload)
{
    if (topic == m_topics.DiscoveryPrefix + "/status") {
        // The home-automation system restarted: everything again, after a short random delay so
        // that many bridges do not answer at once.
        if (payload == "online" && !m_birthTimer->isActive())
            m_birthTimer->start(200 + int(QRandomGenerator::global()->bounded(1800)));
        return;
    }
    for (const auto &installation : m_installations) {
        if (topic.startsWith(m_topics.Base + '/' + installation->Id() + '/')) {
            Command(*installation, topic, payload);
            return;
        }
    }
    Ignore(topic, QStringLiteral("no installation of this project"));
}
