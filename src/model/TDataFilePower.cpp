#include "TDataFileManager.h"

#include "TModuleTypes.h"
#include "TProgramLists.h"
#include "TVQQModuleBase.h"

namespace {

// What an IO of `power` watts adds on `module`'s `channel`: whole when on, or by its level.
quint32 Adds(const TVQQModuleBase &module, quint16 channel, quint16 power)
{
    quint8 state = 0;
    module.GetChannelState(state, channel);
    if (state == 0)
        return 0;
    return TModuleTypes::Row(module.GetModuleType()).Power == PowerRule::ByLevel ? quint32(power) * state / 100 : power;
}

} // namespace

void TDataFileManager::MakePoweredIos()
{
    m_powered.clear();
    m_poweredByModule.clear();
    for (const IoRecord *io : m_current.Ios) {
        if (io->Power == 0)
            continue;
        const TVQQModuleBase *module = m_lists->FindModule(this, io->ModuleNumber);
        if (!module)
            continue;
        m_poweredByModule[module].push_back(m_powered.size());
        m_powered.push_back({module, io->Channel, io->Power, 0});
    }
    m_poweredGeneration = m_lists->Generation();
    m_poweredValid = true;
}

void TDataFileManager::RecomputePower(bool resetMaximum)
{
    if (!m_lists) {
        m_powerTotal = 0;
        return;
    }
    if (!m_poweredValid || m_poweredGeneration != m_lists->Generation())
        MakePoweredIos();
    quint32 total = 0;
    quint32 maximum = 0;
    for (PoweredIo &io : m_powered) {
        io.Adds = Adds(*io.Module, io.Channel, io.Power);
        total += io.Adds;
        maximum += io.Power;
    }
    m_powerSum = total;
    PublishPower(total, resetMaximum, maximum + 100);
}

void TDataFileManager::ModulePowerChanged(const TVQQModuleBase &module)
{
    const TVQQModuleBase *changed = &module;
    ModulesPowerChanged({&changed, 1});
}

void TDataFileManager::ModulesPowerChanged(std::span<const TVQQModuleBase *const> modules)
{
    if (!m_lists)
        return;
    if (!m_poweredValid || m_poweredGeneration != m_lists->Generation()) {
        RecomputePower(false);
        return;
    }
    for (const TVQQModuleBase *module : modules) {
        const auto found = m_poweredByModule.find(module);
        if (found == m_poweredByModule.end())
            continue;
        for (std::size_t i : found->second) {
            PoweredIo &io = m_powered[i];
            m_powerSum -= io.Adds;
            io.Adds = Adds(*io.Module, io.Channel, io.Power);
            m_powerSum += io.Adds;
        }
    }
    PublishPower(m_powerSum, false, 0);
}

void TDataFileManager::PublishPower(quint32 total, bool resetMaximum, quint32 maximum)
{
    // The stored total is 16-bit: a larger installation shows the highest value it can hold.
    m_powerTotal = quint16(qMin<quint32>(total, 0xFFFF));
    m_lists->SetPower(total, resetMaximum, maximum);
}
