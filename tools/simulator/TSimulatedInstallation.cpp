#include "TSimulatedInstallation.h"

#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TFrameDecoder.h"
#include "TModuleTypes.h"

#include <algorithm>

namespace {

void AppendWord(QByteArray &m, quint16 value)
{
    m.append(char(value >> 8)).append(char(value & 0xff));
}

// The first bytes of every status message: flags with address form 2, a byte not used, the
// source module.
QByteArray Header(quint16 source, quint8 type)
{
    QByteArray m;
    m.append(char(0xB5)).append('\0');
    AppendWord(m, source);
    m.append(char(type));
    return m;
}

} // namespace

TSimulatedInstallation::TSimulatedInstallation() = default;
TSimulatedInstallation::~TSimulatedInstallation() = default;

bool TSimulatedInstallation::Load(const QString &exportPath, UserMessages *messages, QString &note)
{
    m_application = std::make_unique<TDataFileManager>(nullptr, QByteArray(), messages);
    if (!m_application->ExportImport(exportPath, TDataFileManager::ImportReplace))
        return false;
    if (m_application->FindInterfaceModule(m_interfaceNumber) == TDataFileManager::NotFound)
        note = QStringLiteral("note: the export has no interface module; status frames come from module 0");
    for (const ModuleRecord *record : m_application->Current().Modules) {
        if (m_modules.count(record->ModuleNumber))
            continue;  // the first module of a number is the one the program talks to
        Module module;
        module.Record = record;
        module.Kind = int(TModuleTypes::KindOf(record->ModuleType));
        module.Buttons = TModuleTypes::ButtonCount(record->ModuleType);
        module.MeasuredTenths = 190 + (record->ModuleNumber % 5) * 5;
        module.InputBits = module.Kind == int(ModuleKind::In10V) ? quint8(40) : quint8(0);
        m_modules.emplace(record->ModuleNumber, module);
    }
    m_variables.assign(m_application->Current().Variables.size(), 0);
    return true;
}

TSimulatedInstallation::Module *TSimulatedInstallation::FindModule(quint16 number)
{
    const auto it = m_modules.find(number);
    return it == m_modules.end() ? nullptr : &it->second;
}

const TSimulatedInstallation::Module *TSimulatedInstallation::FindModule(quint16 number) const
{
    const auto it = m_modules.find(number);
    return it == m_modules.end() ? nullptr : &it->second;
}

bool TSimulatedInstallation::HasTemperature(const Module &module)
{
    return module.Kind == int(ModuleKind::Temp0x) || module.Kind == int(ModuleKind::IOTemp);
}

QByteArrayList TSimulatedInstallation::Toggle(Module &module, quint16 channel)
{
    const auto flip = [](quint8 &bits, int bit) {
        if (bit >= 0 && bit < 8)
            bits ^= quint8(1u << bit);
    };
    switch (ModuleKind(module.Kind)) {
    case ModuleKind::Kob:
    case ModuleKind::IOTemp:
    case ModuleKind::Temp0x:
        flip(module.OutputBits, channel);
        break;
    case ModuleKind::Bx:
        // A button channel toggles its own indicator, an indicator channel itself.
        flip(module.OutputBits, channel < module.Buttons ? channel : channel - module.Buttons);
        break;
    case ModuleKind::Zul:
        if (channel < 7) {
            // Moving up stops a move down and the other way round: the two bits of the pair.
            const bool up = (module.OutputBits >> channel) & 1;
            module.OutputBits &= quint8(~(3u << channel));
            module.OutputBits |= quint8((up ? 2u : 1u) << channel);
        }
        break;
    case ModuleKind::Dim:
        if (channel < 8)
            module.Levels[channel] = module.Levels[channel] != 0 ? 0 : 100;
        break;
    default:
        return {};
    }
    return {OutputsMessage(module)};
}

QByteArrayList TSimulatedInstallation::SetDimLevel(Module &module, quint16 channel, quint8 level)
{
    if (module.Kind != int(ModuleKind::Dim) || channel >= 8)
        return {};
    module.Levels[channel] = qMin<quint8>(level, 100);
    return {OutputsMessage(module)};
}

QByteArrayList TSimulatedInstallation::PushEvent(quint16 commandNumber, quint8 event)
{
    for (const IoRecord *io : m_application->Current().Ios) {
        if (io->CommandNumber != commandNumber || io->IoKind != 1)
            continue;
        Module *module = FindModule(io->ModuleNumber);
        if (!module || module->Kind == int(ModuleKind::In10V) || io->Channel >= 8)
            return {};
        const quint8 bit = quint8(1u << io->Channel);
        if (event == 1 || event == 3)
            module->InputBits |= bit;
        else
            module->InputBits &= quint8(~bit);
        return {InputsMessage(*module)};
    }
    return {};
}

QByteArrayList TSimulatedInstallation::RecallMemo(quint16 number)
{
    const MemoRecord *memo = m_application->MemoAt(number);
    if (!memo || memo->Defined != 1)
        return {};
    std::vector<Module *> changed;
    for (int i = 0; i < memo->EntryCount; ++i) {
        const MemoListRecord *entry = m_application->MemoListAt(memo->FirstEntryIndex + i);
        if (!entry)
            break;
        const IoRecord *io = entry->EntryKind == 2 ? m_application->IoAt(entry->IoIndex) : nullptr;
        Module *module = io ? FindModule(io->ModuleNumber) : nullptr;
        if (!module || io->Channel >= 8)
            continue;
        const quint16 c = io->Channel;
        switch (ModuleKind(module->Kind)) {
        case ModuleKind::Kob:
        case ModuleKind::IOTemp:
        case ModuleKind::Temp0x:
            module->OutputBits |= quint8(1u << c);
            break;
        case ModuleKind::Bx:
            if (c >= module->Buttons)
                module->OutputBits |= quint8(1u << (c - module->Buttons));
            break;
        case ModuleKind::Zul:
            module->OutputBits = quint8((module->OutputBits & ~(3u << c)) | (1u << c));
            break;
        case ModuleKind::Dim:
            module->Levels[c] = 100;
            break;
        default:
            continue;
        }
        if (std::find(changed.begin(), changed.end(), module) == changed.end())
            changed.push_back(module);
    }
    QByteArrayList messages;
    for (const Module *module : changed)
        messages.append(OutputsMessage(*module));
    return messages;
}

QByteArrayList TSimulatedInstallation::ChangeVariable(quint16 number, int change)
{
    const VariableRecord *record = m_application->VariableAt(number);
    if (!record || number >= m_variables.size())
        return {};
    quint8 &value = m_variables[number];
    if (change == CmdVariableWrap)
        value = 0;
    else if (change == CmdVariableStep)
        value = value < record->MaxValue ? quint8(value + 1) : quint8(0);
    else
        value = value ? 0 : 1;
    return {VariableMessage(number)};
}

QByteArrayList TSimulatedInstallation::ChangeThermostat(quint16 moduleNumber, quint8 kind, quint8 value)
{
    Module *module = FindModule(moduleNumber);
    if (!module || !HasTemperature(*module))
        return {};
    if (kind == 10)
        module->SetPointTenths = qMin(module->SetPointTenths + 5, 300);
    else if (kind == 11)
        module->SetPointTenths = qMax(module->SetPointTenths - 5, 50);
    else if (kind == 7)
        module->Mode = value;
    else
        return {};
    return {TemperatureMessage(*module)};
}

QByteArrayList TSimulatedInstallation::RefreshInputs() const
{
    QByteArrayList messages;
    for (const auto &[number, module] : m_modules) {
        switch (ModuleKind(module.Kind)) {
        case ModuleKind::Nax08:
        case ModuleKind::Bx:
        case ModuleKind::IOTemp:
        case ModuleKind::In10V:
            messages.append(InputsMessage(module));
            break;
        default:
            break;
        }
    }
    return messages;
}

QByteArrayList TSimulatedInstallation::RefreshOutputs() const
{
    QByteArrayList messages;
    for (const auto &[number, module] : m_modules) {
        // A module without outputs sends nothing (not an empty frame).
        if (QByteArray outputs = OutputsMessage(module); !outputs.isEmpty())
            messages.append(outputs);
        if (HasTemperature(module))
            messages.append(TemperatureMessage(module));
    }
    for (size_t i = 0; i < m_variables.size(); ++i) {
        if (m_application->VariableAt(qsizetype(i))->Defined == 1)
            messages.append(VariableMessage(quint16(i)));
    }
    return messages;
}

QByteArray TSimulatedInstallation::InputsMessage(const Module &module)
{
    QByteArray m = Header(module.Record->ModuleNumber, MsgInputStatus);
    m.append('\0').append(char(module.InputBits));
    return m;
}

QByteArray TSimulatedInstallation::OutputsMessage(const Module &module)
{
    switch (ModuleKind(module.Kind)) {
    case ModuleKind::Kob:
    case ModuleKind::Bx:
    case ModuleKind::Zul:
    case ModuleKind::IOTemp:
    case ModuleKind::Temp0x: {
        QByteArray m = Header(module.Record->ModuleNumber, MsgOutputStatus);
        m.append('\0').append(char(module.OutputBits));
        return m;
    }
    case ModuleKind::Dim: {
        QByteArray m = Header(module.Record->ModuleNumber, MsgDimLevels);
        m.append('\0');
        for (quint8 level : module.Levels)
            m.append(char(level));
        return m;
    }
    default:
        return {};
    }
}

QByteArray TSimulatedInstallation::TemperatureMessage(const Module &module) const
{
    QByteArray m = Header(m_interfaceNumber, MsgTemperature);
    m.append('\0').append(char(0x05));
    AppendWord(m, module.Record->ModuleNumber);
    m.append(char(module.MeasuredTenths / 10)).append(char(module.MeasuredTenths % 10));
    m.append(char(module.SetPointTenths / 10)).append(char(module.SetPointTenths % 10));
    m.append(char(module.Mode));
    return m;
}

QByteArray TSimulatedInstallation::VariableMessage(quint16 number) const
{
    QByteArray m = Header(m_interfaceNumber, MsgVariable);
    m.append(char(0x14));
    AppendWord(m, number);
    m.append('\0').append(char(m_variables[number]));
    return m;
}

QByteArrayList TSimulatedInstallation::Tick()
{
    QByteArrayList messages;
    ++m_analogPhase;
    for (auto &[number, module] : m_modules) {
        if (HasTemperature(module)) {
            // Drift by a tenth of a degree, turning back a degree away from the set point.
            module.MeasuredTenths += module.Direction;
            if (module.MeasuredTenths >= module.SetPointTenths + 10)
                module.Direction = -1;
            else if (module.MeasuredTenths <= module.SetPointTenths - 10)
                module.Direction = 1;
            messages.append(TemperatureMessage(module));
        }
        if (module.Kind == int(ModuleKind::In10V)) {
            // A triangle wave from 0 to 100 %, each module at its own phase.
            const int t = (m_analogPhase * 5 + number * 17) % 200;
            module.InputBits = quint8(t <= 100 ? t : 200 - t);
            messages.append(InputsMessage(module));
        }
    }
    return messages;
}

quint8 TSimulatedInstallation::Inputs(quint16 module) const
{
    const Module *m = FindModule(module);
    return m ? m->InputBits : 0;
}

quint8 TSimulatedInstallation::Outputs(quint16 module) const
{
    const Module *m = FindModule(module);
    return m ? m->OutputBits : 0;
}

std::array<quint8, 8> TSimulatedInstallation::Levels(quint16 module) const
{
    const Module *m = FindModule(module);
    return m ? m->Levels : std::array<quint8, 8>{};
}

std::array<quint8, 5> TSimulatedInstallation::Temperature(quint16 module) const
{
    const Module *m = FindModule(module);
    if (!m)
        return {};
    return {quint8(m->MeasuredTenths / 10), quint8(m->MeasuredTenths % 10), quint8(m->SetPointTenths / 10),
            quint8(m->SetPointTenths % 10), m->Mode};
}

quint8 TSimulatedInstallation::VariableValue(quint16 number) const
{
    return number < m_variables.size() ? m_variables[number] : 0;
}
