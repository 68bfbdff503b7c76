#include "TBridgeEntities.h"

#include "TChannelStates.h"
#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>

namespace {

QByteArray Hex8(quint32 value)
{
    return QByteArray::number(value, 16).rightJustified(8, '0');
}

QString Text(const QByteArray &windows1252)
{
    return TCodePage::ToDisplay(windows1252).trimmed();
}

QByteArray Degrees(quint8 units, quint8 digit)
{
    return QByteArray::number(units) + '.' + QByteArray::number(digit % 10);
}

} // namespace

quint8 TBridgeEntity::Parts() const
{
    if (!Module)
        return 0;
    switch (Kind) {
    case EntityKind::Switch:
    case EntityKind::Cover:
        return PartOutputs;
    case EntityKind::Light:
        return PartLevels;
    case EntityKind::BinarySensor:
    case EntityKind::Event:
    case EntityKind::Analogue:
        return PartInputs;
    case EntityKind::Temperature:
    case EntityKind::Climate:
        return PartTemperature;
    default:
        return 0;
    }
}

namespace {

TBridgeEntity MakeEntity(EntityKind kind, const QByteArray &objectId, const QByteArray &topic)
{
    TBridgeEntity entity;
    entity.Kind = kind;
    entity.ObjectId = objectId;
    entity.Topic = topic;
    return entity;
}

// The thermostat's mode byte as the panel names it.
QByteArray PresetName(quint8 mode)
{
    switch (mode) {
    case 2: return "Automatic";
    case 1: return "Absence";
    case 5: return "Comfort";
    default: return "none";
    }
}

} // namespace





const char *TBridgeEntity::Component() const
{
    switch (Kind) {
    case EntityKind::Switch:
    case EntityKind::BoolVariable: return "switch";
    case EntityKind::Light: return "light";
    case EntityKind::Cover: return "cover";
    case EntityKind::BinarySensor: return "binary_sensor";
    case EntityKind::Event: return "event";
    case EntityKind::Climate: return "climate";
    case EntityKind::Scene: return "scene";
    case EntityKind::ValueVariable: return "number";
    case EntityKind::Temperature:
    case EntityKind::Analogue:
    case EntityKind::Power: return "sensor";
    }
    return "sensor";
}

QByteArray TBridgeEntity::ConfigTopic(const TBridgeTopics &topics) const
{
    return topics.DiscoveryPrefix + '/' + Component() + '/' + ObjectId + "/config";
}

QByteArray TBridgeInstallation::IdOf(const TDataFileManager &application)
{
    return InstallationId(application);
}

TBridgeInstallation::TBridgeInstallation(TDataFileManager &application, const TProgramLists &lists, const TBridgeTopics &topics)
    : m_application(&application)
    , m_topics(topics)
    , m_id(IdOf(application))
{
    const QByteArray base = m_topics.Base + '/' + m_id + '/';
    for (const auto &module : lists.Modules()) {
        if (module->GetApplication() == &application)
            AddModule(*module);
    }
    for (const auto &memo : lists.Memos()) {
        if (memo->GetApplication() != &application)
            continue;
        const QByteArray number = QByteArray::number(memo->GetMemoNumber());
        TBridgeEntity entity = MakeEntity(EntityKind::Scene, m_id + "_memo_" + number, base + "memo/" + number);
        entity.Memo = memo.get();
        Add(entity, memo.get());
    }
    for (const auto &variable : lists.Variables()) {
        if (variable->GetApplication() != &application)
            continue;
        const QByteArray number = QByteArray::number(variable->GetVariableNumber());
        TBridgeEntity entity = MakeEntity(variable->GetVariableKind() == 0 ? EntityKind::BoolVariable : EntityKind::ValueVariable,
                                          m_id + "_variable_" + number, base + "variable/" + number);
        entity.Variable = variable.get();
        Add(entity, variable.get());
    }
    Add(MakeEntity(EntityKind::Power, m_id + "_power", base + "power"), &application);
}

void TBridgeInstallation::AddModule(TVQQModuleBase &module)
{
    const ModuleRecord &record = *module.GetRecord();
    std::map<quint16, bool> channels;
    for (const IoRecord *io : m_application->Current().Ios) {
        if (io->ModuleNumber == record.ModuleNumber)
            channels[io->Channel] = true;
    }
    const QByteArray serial = Hex8(record.SerialNumber);
    for (const auto &[channel, unused] : channels) {
        const TChannelInfo info = TModuleTypes::Channel(record.ModuleType, channel);
        if (!info.Control || TModuleTypes::IsHiddenChannel(record.ModuleType, channel, record.ModuleOptions))
            continue;
        const QByteArray control(info.Control);
        TBridgeEntity entity = MakeEntity(EntityKind::Switch, m_id + '_' + serial + '_' + QByteArray::number(channel),
                                          m_topics.Base + '/' + m_id + '/' + serial + '/' + QByteArray::number(channel));
        entity.Module = &module;
        entity.Channel = channel;
        if (control == "TVQQTorOutput") {
            entity.Kind = EntityKind::Switch;
        } else if (control == "TVQQZulOutput") {
            // A shutter is a pair: "up" on an even channel, "down" on the next; one cover each.
            if (channel % 2 == 1)
                continue;
            entity.Kind = EntityKind::Cover;
        } else if (control == "TVQQDimOutput") {
            entity.Kind = EntityKind::Light;
        } else if (control == "TVQQTorInput") {
            const bool button = module.Kind() == ModuleKind::Bx || module.IsLongPressIO(channel);
            entity.Kind = button ? EntityKind::Event : EntityKind::BinarySensor;
        } else if (control == "TVQQIn10VInput") {
            entity.Kind = EntityKind::Analogue;
        } else if (control == "TVQQSensorInput") {
            TBridgeEntity temperature = entity;
            temperature.Kind = EntityKind::Temperature;
            temperature.ObjectId += "_temperature";
            temperature.Topic += "/temperature";
            Add(temperature, &module);
            entity.Kind = EntityKind::Climate;
        } else {
            continue;
        }
        Add(entity, &module);
    }
}

void TBridgeInstallation::Add(TBridgeEntity entity, const void *modelObject)
{
    entity.AvailabilityTopic = entity.Topic + "/available";
    switch (entity.Kind) {
    case EntityKind::Light:
        entity.StateTopics = {entity.Topic + "/state", entity.Topic + "/brightness"};
        break;
    case EntityKind::Climate:
        entity.StateTopics = {entity.Topic + "/current", entity.Topic + "/target", entity.Topic + "/preset"};
        break;
    case EntityKind::Scene:
        break;
    case EntityKind::Event:
        entity.StateTopics = {entity.Topic + "/event"};
        break;
    default:
        entity.StateTopics = {entity.Topic + "/state"};
        break;
    }
    m_byObject[modelObject].push_back(int(m_entities.size()));
    m_byTopic.insert(entity.Topic, int(m_entities.size()));
    m_entities.push_back(std::move(entity));
}

const TBridgeEntity *TBridgeInstallation::EntityAt(const QByteArray &topic) const
{
    const auto found = m_byTopic.constFind(topic);
    return found == m_byTopic.constEnd() ? nullptr : &m_entities[size_t(*found)];
}

QByteArray TBridgeInstallation::Config(const TBridgeEntity &entity) const
{
    const QString interfaceId = QStringLiteral("quelnor_") + QString::fromLatin1(m_id);
    QJsonObject device;
    QString name;
    if (entity.Module) {
        const ModuleRecord &record = *entity.Module->GetRecord();
        device[QStringLiteral("identifiers")] = QJsonArray{interfaceId + QLatin1Char('_') + QString::fromLatin1(Hex8(record.SerialNumber))};
        device[QStringLiteral("name")] = Text(record.Name);
        device[QStringLiteral("model")] = QString::fromLatin1(TModuleTypes::ModelCode(record.ModuleType));
        device[QStringLiteral("serial_number")] = QString::fromLatin1(Hex8(record.SerialNumber));
        device[QStringLiteral("via_device")] = interfaceId;
        name = Text(entity.Module->GetIoName(entity.Channel));
        if (name.isEmpty())
            name = QStringLiteral("Channel %1").arg(entity.Channel);
    } else {
        device[QStringLiteral("identifiers")] = QJsonArray{interfaceId};
        quint16 number = 0;
        const ModuleRecord *interface = m_application->FindInterfaceModule(number) != TDataFileManager::NotFound
                                            ? m_application->FindModuleByNumber(number) : nullptr;
        device[QStringLiteral("name")] = interface ? Text(interface->Name) : TCodePage::ToDisplay(m_application->DisplayName());
        if (interface)
            device[QStringLiteral("serial_number")] = QString::fromLatin1(Hex8(interface->SerialNumber));
        if (entity.Memo)
            name = Text(entity.Memo->GetName());
        else if (entity.Variable)
            name = Text(entity.Variable->GetName());
        else
            name = QStringLiteral("Power");
    }
    device[QStringLiteral("manufacturer")] = QStringLiteral("Quelnor");

    const auto topic = [&entity](const char *leaf) { return QString::fromUtf8(entity.Topic + '/' + leaf); };
    QJsonObject config;
    config[QStringLiteral("name")] = name;
    config[QStringLiteral("unique_id")] = QString::fromLatin1(entity.ObjectId);
    config[QStringLiteral("object_id")] = QString::fromLatin1(entity.ObjectId);
    config[QStringLiteral("device")] = device;
    config[QStringLiteral("origin")] = QJsonObject{{QStringLiteral("name"), QStringLiteral("Visual Quelnor")},
                                                   {QStringLiteral("sw_version"), m_topics.ProgramVersion}};
    QJsonArray availability{QJsonObject{{QStringLiteral("topic"), QString::fromUtf8(m_topics.BridgeStatus)}},
                            QJsonObject{{QStringLiteral("topic"), QString::fromUtf8(StatusTopic())}}};
    if (entity.Module || entity.Variable)
        availability.append(QJsonObject{{QStringLiteral("topic"), QString::fromUtf8(entity.AvailabilityTopic)}});
    config[QStringLiteral("availability")] = availability;
    config[QStringLiteral("availability_mode")] = QStringLiteral("all");

    const bool stateful = entity.Kind != EntityKind::Scene && entity.Kind != EntityKind::Event;
    if (stateful && entity.Kind != EntityKind::Climate)
        config[QStringLiteral("state_topic")] = QString::fromUtf8(entity.StateTopics.front());
    switch (entity.Kind) {
    case EntityKind::Switch:
    case EntityKind::BoolVariable:
    case EntityKind::Cover:
    case EntityKind::Scene:
        config[QStringLiteral("command_topic")] = topic("set");
        if (entity.Kind == EntityKind::Scene)
            config[QStringLiteral("payload_on")] = QStringLiteral("ON");
        break;
    case EntityKind::Light:
        config[QStringLiteral("command_topic")] = topic("set");
        config[QStringLiteral("brightness_state_topic")] = topic("brightness");
        config[QStringLiteral("brightness_command_topic")] = topic("brightness/set");
        config[QStringLiteral("brightness_scale")] = 100;
        config[QStringLiteral("on_command_type")] = QStringLiteral("brightness");
        break;
    case EntityKind::BinarySensor:
        break;
    case EntityKind::Event:
        config[QStringLiteral("state_topic")] = topic("event");
        config[QStringLiteral("event_types")] = QJsonArray{QStringLiteral("press"), QStringLiteral("release"),
                                                           QStringLiteral("long_press"), QStringLiteral("long_release")};
        break;
    case EntityKind::Temperature:
        config[QStringLiteral("device_class")] = QStringLiteral("temperature");
        config[QStringLiteral("state_class")] = QStringLiteral("measurement");
        config[QStringLiteral("unit_of_measurement")] = QString::fromUtf8("°C");
        break;
    case EntityKind::Climate:
        config[QStringLiteral("current_temperature_topic")] = topic("current");
        config[QStringLiteral("temperature_state_topic")] = topic("target");
        config[QStringLiteral("temperature_command_topic")] = topic("target/set");
        config[QStringLiteral("preset_mode_state_topic")] = topic("preset");
        config[QStringLiteral("preset_mode_command_topic")] = topic("preset/set");
        config[QStringLiteral("preset_modes")] = QJsonArray{QStringLiteral("Automatic"), QStringLiteral("Absence"), QStringLiteral("Comfort")};
        config[QStringLiteral("modes")] = QJsonArray{QStringLiteral("heat")};
        config[QStringLiteral("temperature_unit")] = QStringLiteral("C");
        config[QStringLiteral("precision")] = 0.1;
        break;
    case EntityKind::Analogue:
        config[QStringLiteral("state_class")] = QStringLiteral("measurement");
        config[QStringLiteral("unit_of_measurement")] = QStringLiteral("%");
        break;
    case EntityKind::ValueVariable:
        config[QStringLiteral("command_topic")] = topic("set");
        config[QStringLiteral("min")] = 0;
        config[QStringLiteral("max")] = int(entity.Variable->GetMaxValue());
        config[QStringLiteral("step")] = 1;
        config[QStringLiteral("mode")] = QStringLiteral("box");
        break;
    case EntityKind::Power:
        config[QStringLiteral("device_class")] = QStringLiteral("power");
        config[QStringLiteral("state_class")] = QStringLiteral("measurement");
        config[QStringLiteral("unit_of_measurement")] = QStringLiteral("W");
        break;
    }
    return QJsonDocument(config).toJson(QJsonDocument::Compact);
}

bool TBridgeInstallation::Fresh(const TBridgeEntity &entity) const
{
    if (entity.Variable)
        return entity.Variable->Trust() == StateTrust::Fresh;
    if (entity.Kind == EntityKind::Power) {
        // A total over states that were never reported is no total.
        const LinkHealth health = m_application->Session().Health();
        return health == LinkHealth::Up || health == LinkHealth::InDoubt;
    }
    if (!entity.Module)
        return true;
    if (entity.Module->Trust(entity.Parts()) != StateTrust::Fresh)
        return false;
    // A 0-10 V input reports above 100 % when it has no valid reading.
    return entity.Kind != EntityKind::Analogue || AnalogueValue(*entity.Module) <= 100;
}

std::vector<TBridgeMessage> TBridgeInstallation::States(const TBridgeEntity &entity) const
{
    // The topics were made with the entity; "ON" and "OFF" are static texts: a state costs no
    // allocation but its number.
    const auto onOff = [](bool on) { return on ? QByteArrayLiteral("ON") : QByteArrayLiteral("OFF"); };
    const std::vector<QByteArray> &topics = entity.StateTopics;
    const TVQQModuleBase *module = entity.Module;
    switch (entity.Kind) {
    case EntityKind::Switch:
        return {{topics[0], onOff(OutputOn(*module, entity.Channel))}};
    case EntityKind::BinarySensor:
        return {{topics[0], onOff(InputOn(*module, entity.Channel))}};
    case EntityKind::Light: {
        const int level = DimLevel(*module, entity.Channel);
        return {{topics[0], onOff(level > 0)}, {topics[1], QByteArray::number(level)}};
    }
    case EntityKind::Cover:
        return {{topics[0], CoverState(*module, entity.Channel)}};
    case EntityKind::Temperature:
    case EntityKind::Climate: {
        std::array<quint8, 5> bytes{};
        module->GetTemperature(bytes);
        if (entity.Kind == EntityKind::Temperature)
            return {{topics[0], Degrees(bytes[0], bytes[1])}};
        return {{topics[0], Degrees(bytes[0], bytes[1])}, {topics[1], Degrees(bytes[2], bytes[3])}, {topics[2], PresetName(bytes[4])}};
    }
    case EntityKind::Analogue:
        return {{topics[0], QByteArray::number(AnalogueValue(*module))}};
    case EntityKind::BoolVariable:
        return {{topics[0], onOff(entity.Variable->GetValue() != 0)}};
    case EntityKind::ValueVariable:
        return {{topics[0], QByteArray::number(entity.Variable->GetValue())}};
    case EntityKind::Power:
        return {{topics[0], QByteArray::number(m_application->PowerTotal())}};
    case EntityKind::Scene:
    case EntityKind::Event:
        return {};
    }
    return {};
}

qint64 TBridgeInstallation::Signature(const TBridgeEntity &entity) const
{
    const TVQQModuleBase *module = entity.Module;
    switch (entity.Kind) {
    case EntityKind::Switch:
        return OutputOn(*module, entity.Channel);
    case EntityKind::BinarySensor:
    case EntityKind::Event:
        return InputOn(*module, entity.Channel);
    case EntityKind::Light:
        return DimLevel(*module, entity.Channel);
    case EntityKind::Cover: {
        quint8 bits = 0;
        module->GetOutputStatus(bits);
        return entity.Channel < 7 ? (bits >> entity.Channel) & 3 : 0;
    }
    case EntityKind::Temperature:
    case EntityKind::Climate: {
        std::array<quint8, 5> bytes{};
        module->GetTemperature(bytes);
        qint64 value = 0;
        for (int i = 0; i < (entity.Kind == EntityKind::Temperature ? 2 : 5); ++i)
            value = value << 8 | bytes[size_t(i)];
        return value;
    }
    case EntityKind::Analogue:
        return AnalogueValue(*module);
    case EntityKind::BoolVariable:
    case EntityKind::ValueVariable:
        return entity.Variable->GetValue();
    case EntityKind::Power:
        return m_application->PowerTotal();
    case EntityKind::Scene:
        return 0;
    }
    return 0;
}
