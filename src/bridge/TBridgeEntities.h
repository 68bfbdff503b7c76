#pragma once

#include "TChannelStates.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

class TDataFileManager;
class TProgramLists;
class TVQQMemoBaseItem;
class TVQQModuleBase;
class TVQQVariableBaseItem;

// What an entity of the home-automation system stands for, and so its component and topics.
enum class EntityKind : quint8 {
    Switch,         // an on/off output the bus can only toggle
    Light,          // a dimmer channel: on/off and brightness 0-100
    Cover,          // a shutter: its "up" and "down" channels
    BinarySensor,   // an on/off input
    Event,          // a push button: press and release
    Temperature,    // the measured temperature of a thermostat
    Climate,        // the thermostat: set point and mode
    Analogue,       // a 0-10 V input, in percent of its range
    Scene,          // a memo
    BoolVariable,   // a boolean variable of the master
    ValueVariable,  // a value variable: 0 to its maximum
    Power,          // the application's switched power total
};

// The names the bridge publishes under, set once per bridge.
struct TBridgeTopics
{
    QByteArray Base = "quelnor";
    QByteArray DiscoveryPrefix = "homeassistant";
    QByteArray BridgeStatus;   // the bridge's own availability topic (and last will)
    QString ProgramVersion;
};

// One entity: where its state comes from and where it is published.
struct TBridgeEntity
{
    EntityKind Kind = EntityKind::Switch;
    QByteArray ObjectId;   // "<installation>_<module serial>_<channel>", never from a name
    QByteArray Topic;      // "<base>/<installation>/<module serial>/<channel>": state and commands below
    TVQQModuleBase *Module = nullptr;
    quint16 Channel = 0;
    TVQQMemoBaseItem *Memo = nullptr;
    TVQQVariableBaseItem *Variable = nullptr;

    QByteArray AvailabilityTopic;        // "<topic>/available"
    std::vector<QByteArray> StateTopics;  // where States() publishes, in its order (the event's topic)
    // What was last published of it, so that an unchanged state costs no text: the state's
    // signature (-1: nothing yet) and its availability (-1: nothing yet).
    mutable qint64 Shown = -1;
    mutable qint8 ShownFresh = -1;
    mutable bool Dirty = false;  // waiting for the bridge's next flush

    const char *Component() const;
    // "<prefix>/<component>/<object id>/config"
    QByteArray ConfigTopic(const TBridgeTopics &topics) const;
    // The parts of its module's state it shows (StatePart bits; 0 for memos, variables, power).
    quint8 Parts() const;
};

// One retained message (or, with an empty payload, the removal of one).
struct TBridgeMessage
{
    QByteArray Topic;
    QByteArray Payload;
    bool Retain = true;
};

// The entities of one application of the open project, built from its model objects, with their
// discovery configs and their states. Valid until the application's model objects change (an
// update, the project closed): then it is built again.
class TBridgeInstallation
{
public:
    TBridgeInstallation(TDataFileManager &application, const TProgramLists &lists, const TBridgeTopics &topics);

    // From the interface module's serial number; the application's id when it has none.
    static QByteArray IdOf(const TDataFileManager &application);

    TDataFileManager &Application() const { return *m_application; }
    const QByteArray &Id() const { return m_id; }
    const std::vector<TBridgeEntity> &Entities() const { return m_entities; }
    // "<base>/<installation>/status": follows the application's link.
    QByteArray StatusTopic() const { return m_topics.Base + '/' + m_id + "/status"; }
    QByteArray ErrorTopic() const { return m_topics.Base + '/' + m_id + "/error"; }
    // The entities of a module, a memo or a variable (positions in Entities()).
    std::vector<int> EntitiesOf(const void *modelObject) const { return m_byObject.value(modelObject); }
    const TBridgeEntity *EntityAt(const QByteArray &topic) const;

    // The discovery config of an entity, compact JSON.
    QByteArray Config(const TBridgeEntity &entity) const;
    // Whether the entity's state is known and fresh (its own availability).
    bool Fresh(const TBridgeEntity &entity) const;
    // The entity's retained state messages (none for events and scenes).
    std::vector<TBridgeMessage> States(const TBridgeEntity &entity) const;
    // A number that changes whenever States() would.
    qint64 Signature(const TBridgeEntity &entity) const;

private:
    void AddModule(TVQQModuleBase &module);
    void Add(TBridgeEntity entity, const void *modelObject);

    TDataFileManager *m_application = nullptr;
    TBridgeTopics m_topics;
    QByteArray m_id;
    std::vector<TBridgeEntity> m_entities;
    QHash<const void *, std::vector<int>> m_byObject;
    QHash<QByteArray, int> m_byTopic;
};
