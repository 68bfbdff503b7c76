#include "TInstallationSimulator.h"

#include "TCameraServer.h"

#include "TCodePage.h"
#include "TDataFileManager.h"
#include "TSimulatedInstallation.h"
#include "TFrameAssembler.h"
#include "TFrameBuilder.h"
#include "TFrameDecoder.h"
#include "TLoginLibrary.h"
#include "TPtyEndpoint.h"
#include "UserMessages.h"

#include <QNetworkDatagram>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>

namespace {

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
    , m_installation(std::make_unique<TSimulatedInstallation>())
    , m_udpAssembler(std::make_unique<TFrameAssembler>([this](QByteArrayView text) { HandleFrame(text, Endpoint::Udp); }))
    , m_serialAssembler(std::make_unique<TFrameAssembler>([this](QByteArrayView text) { HandleFrame(text, Endpoint::Serial); }))
{
}

TInstallationSimulator::~TInstallationSimulator() = default;

bool TInstallationSimulator::Start(QString &error)
{
    QString note;
    if (!m_installation->Load(m_options.ExportPath, m_messages.get(), note)) {
        error = QStringLiteral("Cannot read the configuration export ") + m_options.ExportPath;
        return false;
    }
    if (!note.isEmpty())
        Log(note);

    if (!m_options.Password.isEmpty()) {
        // Encoded as the program stores and sends it: Windows-1252.
        QByteArray password;
        if (!TCodePage::FromDisplay(m_options.Password, password)) {
            error = QStringLiteral("The password holds a character Windows-1252 does not have");
            return false;
        }
        QString libraryError;
        if (!TLoginLibrary::MakeLoginText(m_options.ProgramFolder, password, m_loginText, libraryError)) {
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
    m_boundPort = m_udp->localPort();
    if (m_options.RebootAfter > 0)
        QTimer::singleShot(m_options.RebootAfter * 1000, this, &TInstallationSimulator::Reboot);

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

    if (m_options.CameraPort >= 0) {
        TCameraServer::Options camera;
        camera.Address = QHostAddress(m_options.BindAddress);
        camera.Port = quint16(m_options.CameraPort);
        camera.User = m_options.CameraUser.toLatin1();
        camera.Password = m_options.CameraPassword.toLatin1();
        camera.Authentication = m_options.CameraAuth == QStringLiteral("basic")    ? TCameraServer::Auth::Basic
                                : m_options.CameraAuth == QStringLiteral("digest") ? TCameraServer::Auth::Digest
                                                                                   : TCameraServer::Auth::Both;
        camera.FramesPerSecond = m_options.CameraFps;
        camera.StallAfter = m_options.CameraStallAfter;
        camera.Refuse = m_options.CameraRefuse;
        std::function<void(const QString &)> log;
        if (m_options.Log)
            log = [this](const QString &line) { Log(line); };
        m_camera = new TCameraServer(camera, log, this);
        if (!m_camera->Start(error))
            return false;
    }

    Log(QStringLiteral("quelnor-sim: %1 modules, UDP %2:%3%4%5")
            .arg(m_installation->ModuleCount())
            .arg(m_options.BindAddress)
            .arg(UdpPort())
            .arg(m_pty ? QStringLiteral(", serial at ") + m_options.SerialPath : QString())
            .arg(m_camera ? QStringLiteral(", camera at http://%1:%2/axis-cgi/mjpg/video.cgi").arg(m_options.BindAddress).arg(m_camera->Port())
                          : QString()));
    return true;
}

quint8 TInstallationSimulator::Inputs(quint16 module) const
{
    return m_installation->Inputs(module);
}

quint8 TInstallationSimulator::Outputs(quint16 module) const
{
    return m_installation->Outputs(module);
}

std::array<quint8, 8> TInstallationSimulator::Levels(quint16 module) const
{
    return m_installation->Levels(module);
}

std::array<quint8, 5> TInstallationSimulator::Temperature(quint16 module) const
{
    return m_installation->Temperature(module);
}

quint8 TInstallationSimulator::VariableValue(quint16 number) const
{
    return m_installation->VariableValue(number);
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
            Log(QStringLiteral("recv log-in %1 from %2:%3").arg(QString::fromLatin1(TLoginLibrary::Masked(data.trimmed())), from.toString()).arg(port));
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
        if (m_options.LoginDelay > 0) {
            QTimer::singleShot(m_options.LoginDelay, this, [this, from, port] { OpenSession(from, port); });
            return;
        }
        OpenSession(from, port);
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
    if (Word(m, 2) != m_installation->InterfaceNumber()) {
        log(QStringLiteral("ignored: addressed to module %1").arg(Word(m, 2)));
        return;
    }
    const quint8 type = quint8(m[4]);
    if (type == MsgRefresh) {
        if (quint8(m[5]) == CmdRefreshInputs) {
            log(QStringLiteral("refresh inputs"));
            Send(m_installation->RefreshInputs(), from);
        } else if (quint8(m[5]) == CmdRefreshOutputs) {
            log(QStringLiteral("refresh outputs"));
            Send(m_installation->RefreshOutputs(), from);
        } else {
            log(QStringLiteral("ignored: refresh %1").arg(quint8(m[5]), 2, 16, QLatin1Char('0')));
        }
        return;
    }
    if (type == MsgCommand && m.size() >= 9) {
        const quint8 command = quint8(m[6]);
        const quint16 number = Word(m, 7);
        if (command == CmdIo) {
            const IoRecord *io = m_installation->Application().IoAt(number);
            TSimulatedInstallation::Module *module = io ? m_installation->FindModule(io->ModuleNumber) : nullptr;
            if (!module) {
                log(QStringLiteral("ignored: IO %1 not in the installation").arg(number));
                return;
            }
            if (m.size() >= 12 && quint8(m[9]) == CmdDimLevel) {
                log(QStringLiteral("dim IO %1 (module %2 channel %3) to %4").arg(number).arg(io->ModuleNumber).arg(io->Channel).arg(quint8(m[10])));
                Send(m_installation->SetDimLevel(*module, io->Channel, quint8(m[10])), from);
                return;
            }
            log(QStringLiteral("toggle IO %1 (module %2 channel %3)").arg(number).arg(io->ModuleNumber).arg(io->Channel));
            Send(m_installation->Toggle(*module, io->Channel), from);
            return;
        }
        if (command == CmdMemo) {
            log(QStringLiteral("recall memo %1").arg(number));
            Send(m_installation->RecallMemo(number), from);
            return;
        }
        if (command == CmdVariable) {
            const int change = m.size() >= 10 ? quint8(m[9]) : -1;
            log(QStringLiteral("%1 variable %2")
                    .arg(change == CmdVariableStep ? QStringLiteral("step") : change == CmdVariableWrap ? QStringLiteral("wrap") : QStringLiteral("toggle"))
                    .arg(number));
            Send(m_installation->ChangeVariable(number, change), from);
            return;
        }
    }
    if (type == MsgValueCommand && m.size() >= 10 && quint8(m[6]) == CmdValue) {
        log(QStringLiteral("push event %1 on command %2").arg(quint8(m[9])).arg(Word(m, 7)));
        Send(m_installation->PushEvent(Word(m, 7), quint8(m[9])), from);
        return;
    }
    if (type == MsgTemperatureCommand && m.size() >= 9) {
        const quint8 kind = quint8(m[6]);
        const quint8 value = m.size() >= 10 ? quint8(m[9]) : 0;
        log(QStringLiteral("thermostat module %1 kind %2 value %3").arg(Word(m, 7)).arg(kind).arg(value));
        Send(m_installation->ChangeThermostat(Word(m, 7), kind, value), from);
        return;
    }
    log(QStringLiteral("ignored: %1").arg(Hex(m)));
}

void TInstallationSimulator::Send(const QByteArrayList &messages, Endpoint to)
{
    for (const QByteArray &message : messages)
        SendMessage(message, to);
}

void TInstallationSimulator::SendMessage(const QByteArray &message, Endpoint to)
{
    QByteArray frame = TFrameBuilder::Frame(message);
    if (m_options.Log)
        Log(QStringLiteral("send ") + TFrameDecoder::Decode(frame.mid(1, frame.size() - 2)).Describe());
    CutShort(frame);
    if (m_options.CorruptPercent > 0 && frame.endsWith('\x03') && int(m_random.bounded(100)) < m_options.CorruptPercent) {
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

void TInstallationSimulator::Tick()
{
    for (const QByteArray &message : m_installation->Tick())
        SendToAll([&](Endpoint to) { SendMessage(message, to); });
    if (m_options.Garbage)
        SendToAll([this](Endpoint to) { SendGarbage(to); });
}
