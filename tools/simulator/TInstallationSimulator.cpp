#include "TInstallationSimulator.h"

#include "TDataFileManager.h"
#include "TFrameAssembler.h"
#include "TFrameBuilder.h"
#include "TFrameDecoder.h"
#include "TLoginLibrary.h"
#include "TModuleTypes.h"
#include "TPtyEndpoint.h"
#include "UserMessages.h"

#include <QNetworkDatagram>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>

namespace {

const QByteArray k_sessionOpened = "INFO:Session opened:INFO\r\n";
const QByteArray k_authFailed = "INFO:Auth failed:INFO\r\n";
const QByteArray k_accessDenied = "INFO:Access denied. Close current session:INFO\r\n";

class LogMessages : public UserMessages
{
public:
    explicit LogMessages(QTextStream &log) : m_log(log) {}
    void ShowMessage(const QString &text) override { m_log << text << Qt::endl; }

private:
    QTextStream &m_log;
};

quint16 Word(const QByteArray &m, qsizetype i)
{
    return quint16(quint8(m[i]) << 8 | quint8(m[i + 1]));
}

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

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace

TInstallationSimulator::TInstallationSimulator(const TSimulatorOptions &options, QTextStream &log, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_log(log)
    , m_messages(std::make_unique<LogMessages>(log))
    , m_udpAssembler(std::make_unique<TFrameAssembler>([this](QByteArrayView text) { HandleFrame(text, Endpoint::Udp); }))
    , m_serialAssembler(std::make_unique<TFrameAssembler>([this](QByteArrayView text) { HandleFrame(text, Endpoint::Serial); }))
{
}

TInstallationSimulator::~TInstallationSimulator() = default;

bool TInstallationSimulator::Start(QString &error)
{
    m_application = std::make_unique<TDataFileManager>(nullptr, QByteArray(), m_messages.get());
    if (!m_application->ExportImport(m_options.ExportPath, TDataFileManager::ImportReplace)) {
        error = QStringLiteral("Cannot read the configuration export ") + m_options.ExportPath;
        return false;
    }
    if (m_application->FindInterfaceModule(m_interfaceNumber) == TDataFileManager::NotFound)
        Log(QStringLiteral("note: the export has no interface module; status frames come from module 0"));
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

    if (!m_options.Password.isEmpty()) {
        QString libraryError;
        if (!TLoginLibrary::MakeLoginText(m_options.ProgramFolder, m_options.Password.toLatin1(), m_loginText, libraryError)) {
            error = QStringLiteral("Cannot load the log-in library: ") + libraryError;
            return false;
        }
    }

    m_udp = new QUdpSocket(this);
    if (!m_udp->bind(QHostAddress(m_options.BindAddress), m_options.UdpPort)) {
        error = QStringLiteral("Cannot listen on UDP %1:%2: %3").arg(m_options.BindAddress).arg(m_options.UdpPort).arg(m_udp->errorString());
        return false;
    }
    connect(m_udp, &QUdpSocket::readyRead, this, &TInstallationSimulator::ReadUdp);

    if (!m_options.SerialPath.isEmpty()) {
        m_pty = new TPtyEndpoint(this);
        if (!m_pty->Open(m_options.SerialPath, error))
            return false;
        connect(m_pty, &TPtyEndpoint::received, this, [this](const QByteArray &bytes) { m_serialAssembler->AssembleBytes(bytes); });
    }

    m_tickTimer = new QTimer(this);
    connect(m_tickTimer, &QTimer::timeout, this, &TInstallationSimulator::Tick);
    m_tickTimer->start(m_options.TickMilliseconds);
    m_dropTimer = new QTimer(this);
    m_dropTimer->setSingleShot(true);
    connect(m_dropTimer, &QTimer::timeout, this, &TInstallationSimulator::DropSession);
    if (m_options.ExitAfter > 0)
        QTimer::singleShot(m_options.ExitAfter * 1000, this, &TInstallationSimulator::exitRequested);

    Log(QStringLiteral("quelnor-sim: %1 modules, UDP %2:%3%4")
            .arg(m_modules.size())
            .arg(m_options.BindAddress)
            .arg(UdpPort())
            .arg(m_pty ? QStringLiteral(", serial at ") + m_options.SerialPath : QString()));
    return true;
}

quint16 TInstallationSimulator::UdpPort() const
{
    return m_udp ? m_udp->localPort() : 0;
}

QString TInstallationSimulator::SlavePath() const
{
    return m_pty ? m_pty->SlavePath() : QString();
}

void TInstallationSimulator::Log(const QString &line)
{
    m_log << line << Qt::endl;
}

void TInstallationSimulator::ReadUdp()
{
    while (m_udp->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_udp->receiveDatagram();
        HandleDatagram(d.data(), d.senderAddress(), quint16(d.senderPort()));
    }
}

void TInstallationSimulator::HandleDatagram(const QByteArray &data, const QHostAddress &from, quint16 port)
{
    const bool fromClient = m_hasSession && from.isEqual(m_client) && port == m_clientPort;
    const auto reply = [&](const QByteArray &text) {
        m_udp->writeDatagram(text, from, port);
        if (m_options.Log)
            Log(QStringLiteral("send %1").arg(QString::fromLatin1(text.trimmed())));
    };

    if (data.startsWith("LOGIN")) {
        if (m_options.Log)
            Log(QStringLiteral("recv log-in %1 from %2:%3").arg(QString::fromLatin1(data), from.toString()).arg(port));
        if (m_options.Silent)
            return;
        if (m_options.DenyAccess || (m_hasSession && !fromClient)) {
            reply(k_accessDenied);
            return;
        }
        const bool passwordRight = m_options.Password.isEmpty() || data == m_loginText;
        if (m_options.RefusePassword || !passwordRight) {
            reply(k_authFailed);
            return;
        }
        m_hasSession = true;
        m_client = from;
        m_clientPort = port;
        reply(k_sessionOpened);
        if (m_options.DropSessionAfter > 0)
            m_dropTimer->start(m_options.DropSessionAfter * 1000);
        return;
    }
    if (!fromClient) {
        if (m_options.Log)
            Log(QStringLiteral("ignored: %1 bytes from %2:%3 without a session").arg(data.size()).arg(from.toString()).arg(port));
        return;
    }
    if (data == "LOGOUT") {
        if (m_options.Log)
            Log(QStringLiteral("recv LOGOUT: session closed"));
        m_hasSession = false;
        m_dropTimer->stop();
        return;
    }
    if (data.startsWith('\x02') && data.endsWith("HELLO")) {
        if (m_options.Log)
            Log(QStringLiteral("recv keep-alive"));
        return;
    }
    m_udpAssembler->AssembleBytes(data);
}

void TInstallationSimulator::DropSession()
{
    if (m_hasSession)
        Log(QStringLiteral("session dropped, as after a restart"));
    m_hasSession = false;
}

void TInstallationSimulator::HandleFrame(QByteArrayView text, Endpoint from)
{
    const std::optional<QByteArray> message = TFrameDecoder::CheckedMessage(text);
    if (!message) {
        if (m_options.Log)
            Log(QStringLiteral("recv dropped: wrong checksum"));
        return;
    }
    HandleCommand(*message, from);
}

void TInstallationSimulator::HandleCommand(const QByteArray &m, Endpoint from)
{
    const auto log = [this](const QString &line) {
        if (m_options.Log)
            Log(QStringLiteral("recv ") + line);
    };
    if (m.size() < 6) {
        log(QStringLiteral("dropped: too short (%1)").arg(Hex(m)));
        return;
    }
    if (Word(m, 2) != m_interfaceNumber) {
        log(QStringLiteral("ignored: addressed to module %1").arg(Word(m, 2)));
        return;
    }
    const quint8 type = quint8(m[4]);
    if (type == MsgRefresh) {
        if (quint8(m[5]) == CmdRefreshInputs) {
            log(QStringLiteral("refresh inputs"));
            RefreshInputs(from);
        } else if (quint8(m[5]) == CmdRefreshOutputs) {
            log(QStringLiteral("refresh outputs"));
            RefreshOutputs(from);
        } else {
            log(QStringLiteral("ignored: refresh %1").arg(quint8(m[5]), 2, 16, QLatin1Char('0')));
        }
        return;
    }
    if (type == MsgCommand && m.size() >= 9) {
        const quint8 command = quint8(m[6]);
        const quint16 number = Word(m, 7);
        if (command == CmdIo) {
            const IoRecord *io = m_application->IoAt(number);
            Module *module = io ? FindModule(io->ModuleNumber) : nullptr;
            if (!module) {
                log(QStringLiteral("ignored: IO %1 not in the installation").arg(number));
                return;
            }
            if (m.size() >= 12 && quint8(m[9]) == CmdDimLevel) {
                log(QStringLiteral("dim IO %1 (module %2 channel %3) to %4").arg(number).arg(io->ModuleNumber).arg(io->Channel).arg(quint8(m[10])));
                if (module->Kind == int(ModuleKind::Dim) && io->Channel < 8) {
                    module->Levels[io->Channel] = qMin<quint8>(quint8(m[10]), 100);
                    SendOutputs(*module, from);
                }
                return;
            }
            log(QStringLiteral("toggle IO %1 (module %2 channel %3)").arg(number).arg(io->ModuleNumber).arg(io->Channel));
            Toggle(*module, io->Channel, from);
            return;
        }
        if (command == CmdMemo) {
            log(QStringLiteral("recall memo %1").arg(number));
            RecallMemo(number, from);
            return;
        }
        if (command == CmdVariable) {
            const int change = m.size() >= 10 ? quint8(m[9]) : -1;
            log(QStringLiteral("%1 variable %2")
                    .arg(change == CmdVariableStep ? QStringLiteral("step") : change == CmdVariableWrap ? QStringLiteral("wrap") : QStringLiteral("toggle"))
                    .arg(number));
            ChangeVariable(number, change, from);
            return;
        }
    }
    if (type == MsgValueCommand && m.size() >= 10 && quint8(m[6]) == CmdValue) {
        log(QStringLiteral("push event %1 on command %2").arg(quint8(m[9])).arg(Word(m, 7)));
        PushEvent(Word(m, 7), quint8(m[9]), from);
        return;
    }
    if (type == MsgTemperatureCommand && m.size() >= 9) {
        const quint8 kind = quint8(m[6]);
        const quint8 value = m.size() >= 10 ? quint8(m[9]) : 0;
        log(QStringLiteral("thermostat module %1 kind %2 value %3").arg(Word(m, 7)).arg(kind).arg(value));
        ChangeThermostat(Word(m, 7), kind, value, from);
        return;
    }
    log(QStringLiteral("ignored: %1").arg(Hex(m)));
}

TInstallationSimulator::Module *TInstallationSimulator::FindModule(quint16 number)
{
    const auto it = m_modules.find(number);
    return it == m_modules.end() ? nullptr : &it->second;
}

const TInstallationSimulator::Module *TInstallationSimulator::FindModule(quint16 number) const
{
    const auto it = m_modules.find(number);
    return it == m_modules.end() ? nullptr : &it->second;
}

bool TInstallationSimulator::HasTemperature(const Module &module) const
{
    return module.Kind == int(ModuleKind::Temp0x) || module.Kind == int(ModuleKind::IOTemp);
}

void TInstallationSimulator::Toggle(Module &module, quint16 channel, Endpoint to)
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
        return;
    }
    SendOutputs(module, to);
}

void TInstallationSimulator::PushEvent(quint16 commandNumber, quint8 event, Endpoint to)
{
    for (const IoRecord *io : m_application->Current().Ios) {
        if (io->CommandNumber != commandNumber || io->IoKind != 1)
            continue;
        Module *module = FindModule(io->ModuleNumber);
        if (!module || module->Kind == int(ModuleKind::In10V) || io->Channel >= 8)
            return;
        const quint8 bit = quint8(1u << io->Channel);
        if (event == 1 || event == 3)
            module->InputBits |= bit;
        else
            module->InputBits &= quint8(~bit);
        SendInputs(*module, to);
        return;
    }
}

void TInstallationSimulator::RecallMemo(quint16 number, Endpoint to)
{
    const MemoRecord *memo = m_application->MemoAt(number);
    if (!memo || memo->Defined != 1)
        return;
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
    for (const Module *module : changed)
        SendOutputs(*module, to);
}

void TInstallationSimulator::ChangeVariable(quint16 number, int change, Endpoint to)
{
    const VariableRecord *record = m_application->VariableAt(number);
    if (!record || number >= m_variables.size())
        return;
    quint8 &value = m_variables[number];
    if (change == CmdVariableWrap)
        value = 0;
    else if (change == CmdVariableStep)
        value = value < record->MaxValue ? quint8(value + 1) : quint8(0);
    else
        value = value ? 0 : 1;
    SendVariable(number, to);
}

void TInstallationSimulator::ChangeThermostat(quint16 moduleNumber, quint8 kind, quint8 value, Endpoint to)
{
    Module *module = FindModule(moduleNumber);
    if (!module || !HasTemperature(*module))
        return;
    if (kind == 10)
        module->SetPointTenths = qMin(module->SetPointTenths + 5, 300);
    else if (kind == 11)
        module->SetPointTenths = qMax(module->SetPointTenths - 5, 50);
    else if (kind == 7)
        module->Mode = value;
    else
        return;
    SendTemperature(*module, to);
}

void TInstallationSimulator::RefreshInputs(Endpoint to)
{
    for (const auto &[number, module] : m_modules) {
        switch (ModuleKind(module.Kind)) {
        case ModuleKind::Nax08:
        case ModuleKind::Bx:
        case ModuleKind::IOTemp:
        case ModuleKind::In10V:
            SendInputs(module, to);
            break;
        default:
            break;
        }
    }
}

void TInstallationSimulator::RefreshOutputs(Endpoint to)
{
    for (const auto &[number, module] : m_modules) {
        SendOutputs(module, to);
        if (HasTemperature(module))
            SendTemperature(module, to);
    }
    for (size_t i = 0; i < m_variables.size(); ++i) {
        if (m_application->VariableAt(qsizetype(i))->Defined == 1)
            SendVariable(quint16(i), to);
    }
}

void TInstallationSimulator::SendInputs(const Module &module, Endpoint to)
{
    QByteArray m = Header(module.Record->ModuleNumber, MsgInputStatus);
    m.append('\0').append(char(module.InputBits));
    SendMessage(m, to);
}

void TInstallationSimulator::SendOutputs(const Module &module, Endpoint to)
{
    switch (ModuleKind(module.Kind)) {
    case ModuleKind::Kob:
    case ModuleKind::Bx:
    case ModuleKind::Zul:
    case ModuleKind::IOTemp:
    case ModuleKind::Temp0x: {
        QByteArray m = Header(module.Record->ModuleNumber, MsgOutputStatus);
        m.append('\0').append(char(module.OutputBits));
        SendMessage(m, to);
        return;
    }
    case ModuleKind::Dim: {
        QByteArray m = Header(module.Record->ModuleNumber, MsgDimLevels);
        m.append('\0');
        for (quint8 level : module.Levels)
            m.append(char(level));
        SendMessage(m, to);
        return;
    }
    default:
        return;
    }
}

void TInstallationSimulator::SendTemperature(const Module &module, Endpoint to)
{
    QByteArray m = Header(m_interfaceNumber, MsgTemperature);
    m.append('\0').append(char(0x05));
    AppendWord(m, module.Record->ModuleNumber);
    m.append(char(module.MeasuredTenths / 10)).append(char(module.MeasuredTenths % 10));
    m.append(char(module.SetPointTenths / 10)).append(char(module.SetPointTenths % 10));
    m.append(char(module.Mode));
    SendMessage(m, to);
}

void TInstallationSimulator::SendVariable(quint16 number, Endpoint to)
{
    QByteArray m = Header(m_interfaceNumber, MsgVariable);
    m.append(char(0x14));
    AppendWord(m, number);
    m.append('\0').append(char(m_variables[number]));
    SendMessage(m, to);
}

void TInstallationSimulator::SendMessage(const QByteArray &message, Endpoint to)
{
    QByteArray frame = TFrameBuilder::Frame(message);
    if (m_options.Log)
        Log(QStringLiteral("send ") + TFrameDecoder::Decode(frame.mid(1, frame.size() - 2)).Describe());
    if (m_options.CorruptPercent > 0 && int(m_random.bounded(100)) < m_options.CorruptPercent) {
        // A wrong checksum: the last digit before ETX changes.
        char &digit = frame[frame.size() - 2];
        digit = digit == '0' ? '1' : '0';
        if (m_options.Log)
            Log(QStringLiteral("     (sent with a wrong checksum)"));
    }
    SendRaw(frame, to);
}

void TInstallationSimulator::SendRaw(const QByteArray &bytes, Endpoint to)
{
    if (to == Endpoint::Udp) {
        if (m_hasSession)
            m_udp->writeDatagram(bytes, m_client, m_clientPort);
    } else if (m_pty) {
        m_pty->Write(bytes);
    }
}

void TInstallationSimulator::SendToAll(const std::function<void(Endpoint)> &send)
{
    if (m_hasSession)
        send(Endpoint::Udp);
    if (m_pty)
        send(Endpoint::Serial);
}

void TInstallationSimulator::SendGarbage(Endpoint to)
{
    SendRaw("noise outside any frame", to);
    // A frame of an unknown type, then frames of address forms 0 and 3.
    SendRaw(TFrameBuilder::Frame(QByteArray::fromHex("b50000029900a5")), to);
    SendRaw(TFrameBuilder::Frame(QByteArray::fromHex("850000028600ff")), to);
    SendRaw(TFrameBuilder::Frame(QByteArray::fromHex("bd0000028600ff")), to);
    if (m_options.Log)
        Log(QStringLiteral("send garbage: bytes outside frames, an unknown type, address forms 0 and 3"));
}

void TInstallationSimulator::Tick()
{
    ++m_analogPhase;
    for (auto &[number, module] : m_modules) {
        if (HasTemperature(module)) {
            // Drift by a tenth of a degree, turning back a degree away from the set point.
            module.MeasuredTenths += module.Direction;
            if (module.MeasuredTenths >= module.SetPointTenths + 10)
                module.Direction = -1;
            else if (module.MeasuredTenths <= module.SetPointTenths - 10)
                module.Direction = 1;
            SendToAll([&](Endpoint to) { SendTemperature(module, to); });
        }
        if (module.Kind == int(ModuleKind::In10V)) {
            // A triangle wave from 0 to 100 %, each module at its own phase.
            const int t = (m_analogPhase * 5 + number * 17) % 200;
            module.InputBits = quint8(t <= 100 ? t : 200 - t);
            SendToAll([&](Endpoint to) { SendInputs(module, to); });
        }
    }
    if (m_options.Garbage)
        SendToAll([this](Endpoint to) { SendGarbage(to); });
}

quint8 TInstallationSimulator::Inputs(quint16 module) const
{
    const Module *m = FindModule(module);
    return m ? m->InputBits : 0;
}

quint8 TInstallationSimulator::Outputs(quint16 module) const
{
    const Module *m = FindModule(module);
    return m ? m->OutputBits : 0;
}

std::array<quint8, 8> TInstallationSimulator::Levels(quint16 module) const
{
    const Module *m = FindModule(module);
    return m ? m->Levels : std::array<quint8, 8>{};
}

std::array<quint8, 5> TInstallationSimulator::Temperature(quint16 module) const
{
    const Module *m = FindModule(module);
    if (!m)
        return {};
    return {quint8(m->MeasuredTenths / 10), quint8(m->MeasuredTenths % 10), quint8(m->SetPointTenths / 10),
            quint8(m->SetPointTenths % 10), m->Mode};
}

quint8 TInstallationSimulator::VariableValue(quint16 number) const
{
    return number < m_variables.size() ? m_variables[number] : 0;
}
