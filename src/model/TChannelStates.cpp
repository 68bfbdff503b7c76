#include "TChannelStates.h"

#include "TDataFileManager.h"
#include "TModuleTypes.h"
#include "TVQQModuleBase.h"

bool OutputOn(const TVQQModuleBase &module, quint16 channel)
{
    quint8 bits = 0;
    module.GetOutputStatus(bits);
    // A push-button module's indicators follow its buttons: their bits count from the first one.
    const int bit = int(channel) - TModuleTypes::ButtonCount(module.GetModuleType());
    return bit >= 0 && bit < 8 && (bits >> bit) & 1;
}

bool InputOn(const TVQQModuleBase &module, quint16 channel)
{
    quint8 bits = 0;
    module.GetInputStatus(bits);
    return channel < 8 && (bits >> channel) & 1;
}

int DimLevel(const TVQQModuleBase &module, quint16 channel)
{
    std::array<quint8, 8> levels{};
    module.GetLevels(levels);
    return channel < 8 ? levels[channel] : 0;
}

QByteArray CoverState(const TVQQModuleBase &module, quint16 channel)
{
    quint8 bits = 0;
    module.GetOutputStatus(bits);
    if (channel < 8 && (bits >> channel) & 1)
        return "opening";
    if (channel + 1 < 8 && (bits >> (channel + 1)) & 1)
        return "closing";
    return "stopped";
}

quint8 AnalogueValue(const TVQQModuleBase &module)
{
    quint8 value = 0;
    module.GetInputStatus(value);
    return value;
}

QByteArray InstallationId(const TDataFileManager &application)
{
    quint16 number = 0;
    if (application.FindInterfaceModule(number) != TDataFileManager::NotFound) {
        if (const ModuleRecord *record = application.FindModuleByNumber(number))
            return QByteArray::number(record->SerialNumber, 16).rightJustified(8, '0');
    }
    return "app" + QByteArray::number(application.Settings().ApplicationId);
}
