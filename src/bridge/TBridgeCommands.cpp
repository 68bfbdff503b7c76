// The commands the bridge accepts from its entities' "set" topics: checked against what the
// modules last reported, then exactly one bus frame each, or a refusal saying why.
#include "TMqttBridge.h"

#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A decimal number from a payload, or nothing.
std::optional<double> NumberIn(const QByteArray &payload)
{
    bool ok = false;
    const double value = payload.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

constexpr char k_unknownState[] = "its state is unknown or stale, so the command could be wrong: nothing was sent";

} // namespace

void TMqttBridge::Command(TBridgeInstallation &installation, const QByteArray &topic, const QByteArray &payload)
{
    // "<entity topic>/set" or "<entity topic>/<leaf>/set".
    const QByteArray entityTopic = topic.endsWith("/set") ? topic.chopped(4) : QByteArray();
    QByteArray leaf;
    const TBridgeEntity *entity = installation.EntityAt(entityTopic);
    if (!entity && !entityTopic.isEmpty()) {
        const qsizetype slash = entityTopic.lastIndexOf('/');
        leaf = entityTopic.mid(slash + 1);
        entity = installation.EntityAt(entityTopic.left(slash));
    }
    if (!entity) {
        Ignore(topic, QStringLiteral("no entity has this topic"));
        return;
    }
    if (payload.size() > 64) {
        Ignore(topic, QStringLiteral("the payload is too long"));
        return;
    }
    if (!m_options.Commands) {
        Refuse(installation, topic, payload, QStringLiteral("this bridge does not accept commands (it was started without them)"));
        return;
    }
    if (!Publishing()) {
        Refuse(installation, topic, payload, QStringLiteral("the program is not in run time"));
        return;
    }
    const LinkHealth health = installation.Application().Session().Health();
    if (health != LinkHealth::Up && health != LinkHealth::InDoubt) {
        Refuse(installation, topic, payload, QStringLiteral("the installation's link is not up"));
        return;
    }
    QString refusal;
    if (!Execute(installation, *entity, leaf, payload, refusal) && !refusal.isEmpty())
        Refuse(installation, topic, payload, refusal);
}

bool TMqttBridge::Execute(const TBridgeInstallation &installation, const TBridgeEntity &entity, const QByteArray &leaf, const QByteArray &payload, QString &refusal)
{
    TVQQModuleBase *module = entity.Module;
    const bool fresh = installation.Fresh(entity);
    const auto malformed = [&] {
        Ignore(entity.Topic + '/' + leaf + (leaf.isEmpty() ? "" : "/") + "set", QStringLiteral("payload not understood: ") +
               QString::fromUtf8(payload.left(64)));
        return false;
    };
    // ON and OFF of what the bus can only toggle: the toggle goes only when the fresh state differs.
    const auto toggleTo = [&](bool current, const std::function<void()> &toggle) {
        if (payload != "ON" && payload != "OFF")
            return malformed();
        if (!fresh) {
            refusal = QString::fromLatin1(k_unknownState);
            return false;
        }
        if (current != (payload == "ON"))
            toggle();
        return true;
    };
    switch (entity.Kind) {
    case EntityKind::Switch:
        return leaf.isEmpty() ? toggleTo(OutputOn(*module, entity.Channel), [&] { module->SendToggle(entity.Channel); }) : malformed();
    case EntityKind::BoolVariable:
        return leaf.isEmpty() ? toggleTo(entity.Variable->GetValue() != 0, [&] { entity.Variable->SendToggleVariable(); }) : malformed();
    case EntityKind::Light:
        if (leaf.isEmpty())
            return toggleTo(DimLevel(*module, entity.Channel) > 0, [&] { module->SendToggle(entity.Channel); });
        if (leaf == "brightness") {
            const std::optional<double> level = NumberIn(payload);
            if (!level || *level < 0 || *level > 100 || *level != int(*level))
                return malformed();
            module->SendDimLevel(entity.Channel, quint8(*level));
            return true;
        }
        return malformed();
    case EntityKind::Cover: {
        if (!leaf.isEmpty() || (payload != "OPEN" && payload != "CLOSE" && payload != "STOP"))
            return malformed();
        if (!fresh) {
            refusal = QString::fromLatin1(k_unknownState);
            return false;
        }
        // The shutter's "up" channel, then its "down" channel; a toggle starts or stops either.
        const QByteArray state = CoverState(*module, entity.Channel);
        if (payload == "OPEN" && state != "opening")
            module->SendToggle(entity.Channel);
        else if (payload == "CLOSE" && state != "closing")
            module->SendToggle(quint16(entity.Channel + 1));
        else if (payload == "STOP" && state != "stopped")
            module->SendToggle(state == "opening" ? entity.Channel : quint16(entity.Channel + 1));
        return true;
    }
    case EntityKind::Climate: {
        if (leaf == "preset") {
            const QByteArray mode = payload.trimmed();
            const quint8 code = mode == "Automatic" ? 2 : mode == "Absence" ? 1 : mode == "Comfort" ? 5 : 0;
            if (code == 0)
                return malformed();
            module->SendTemperatureCommand(entity.Channel, 7, code);
            return true;
        }
        if (leaf != "target")
            return malformed();
        const std::optional<double> target = NumberIn(payload);
        if (!target || *target < 0 || *target > 99)
            return malformed();
        if (!fresh) {
            refusal = QString::fromLatin1(k_unknownState);
            return false;
        }
        // The module knows only "one step up" and "one step down": one step toward the target.
        std::array<quint8, 5> bytes{};
        module->GetTemperature(bytes);
        const int current = bytes[2] * 10 + bytes[3] % 10;
        const int wanted = int(std::lround(*target * 10));
        if (wanted != current)
            module->SendTemperatureCommand(entity.Channel, wanted > current ? 10 : 11, 0);
        return true;
    }
    case EntityKind::Scene:
        if (payload != "ON")
            return malformed();
        entity.Memo->SendRecall();
        return true;
    case EntityKind::ValueVariable: {
        const std::optional<double> value = NumberIn(payload);
        TVQQVariableBaseItem &variable = *entity.Variable;
        if (!value || *value < 0 || *value > variable.GetMaxValue() || *value != int(*value))
            return malformed();
        if (!fresh) {
            refusal = QString::fromLatin1(k_unknownState);
            return false;
        }
        const int wanted = int(*value);
        if (wanted == variable.GetValue())
            return true;
        if (wanted == variable.GetValue() + 1) {
            variable.SendStep();
            return true;
        }
        if (wanted == 0) {
            variable.SendWrap();
            return true;
        }
        refusal = QStringLiteral("a value variable can only go one step up or back to 0");
        return false;
    }
    case EntityKind::BinarySensor:
    case EntityKind::Event:
    case EntityKind::Temperature:
    case EntityKind::Analogue:
    case EntityKind::Power:
        return malformed();
    }
    return malformed();
}

void TMqttBridge::Refuse(TBridgeInstallation &installation, const QByteArray &topic, const QByteArray &payload, const QString &reason)
{
    ++m_refused;
    QJsonObject error{{QStringLiteral("topic"), QString::fromUtf8(topic)},
                      {QStringLiteral("payload"), QString::fromUtf8(payload)},
                      {QStringLiteral("reason"), reason}};
    Put(installation.ErrorTopic(), QJsonDocument(error).toJson(QJsonDocument::Compact), false);
    m_log(QStringLiteral("refused %1 %2: %3").arg(QString::fromUtf8(topic), QString::fromUtf8(payload.left(64)), reason));
}

void TMqttBridge::Ignore(const QByteArray &topic, const QString &why)
{
    ++m_ignored;
    m_log(QStringLiteral("ignored %1: %2").arg(QString::fromUtf8(topic.left(200)), why));
}
