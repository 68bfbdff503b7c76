#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <array>
#include <map>
#include <memory>
#include <vector>

class QString;
class TDataFileManager;
class UserMessages;
struct ModuleRecord;

// The state of every module and variable of a simulated installation, and what each command
// does to it. Each change answers with the status messages (before framing) the installation
// sends for it.
class TSimulatedInstallation
{
public:
    struct Module
    {
        const ModuleRecord *Record = nullptr;
        int Kind = 0;           // ModuleKind
        int Buttons = 0;
        quint8 InputBits = 0;
        quint8 OutputBits = 0;
        std::array<quint8, 8> Levels{};
        int MeasuredTenths = 200;
        int SetPointTenths = 200;
        quint8 Mode = 2;
        int Direction = 1;
    };

    TSimulatedInstallation();
    ~TSimulatedInstallation();

    // Reads the export; `note` tells of an export without an interface module.
    bool Load(const QString &exportPath, UserMessages *messages, QString &note);
    const TDataFileManager &Application() const { return *m_application; }
    quint16 InterfaceNumber() const { return m_interfaceNumber; }
    size_t ModuleCount() const { return m_modules.size(); }
    Module *FindModule(quint16 number);
    const Module *FindModule(quint16 number) const;

    QByteArrayList Toggle(Module &module, quint16 channel);
    QByteArrayList SetDimLevel(Module &module, quint16 channel, quint8 level);
    QByteArrayList PushEvent(quint16 commandNumber, quint8 event);
    QByteArrayList RecallMemo(quint16 number);
    QByteArrayList ChangeVariable(quint16 number, int change);
    QByteArrayList ChangeThermostat(quint16 moduleNumber, quint8 kind, quint8 value);
    QByteArrayList RefreshInputs() const;
    QByteArrayList RefreshOutputs() const;
    // One step of time: temperatures drift and 0-10 V inputs move.
    QByteArrayList Tick();

    quint8 Inputs(quint16 module) const;
    quint8 Outputs(quint16 module) const;
    std::array<quint8, 8> Levels(quint16 module) const;
    std::array<quint8, 5> Temperature(quint16 module) const;
    quint8 VariableValue(quint16 number) const;

private:
    static bool HasTemperature(const Module &module);
    static QByteArray InputsMessage(const Module &module);
    static QByteArray OutputsMessage(const Module &module);
    QByteArray TemperatureMessage(const Module &module) const;
    QByteArray VariableMessage(quint16 number) const;

    std::unique_ptr<TDataFileManager> m_application;
    std::map<quint16, Module> m_modules;
    std::vector<quint8> m_variables;
    quint16 m_interfaceNumber = 0;
    int m_analogPhase = 0;
};
