#include "TConsole.h"

#include "TLoginLibrary.h"

#include "TCodePage.h"

#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TFrameBuilder.h"
#include "TProgramLists.h"
#include "TStreamMessages.h"
#include "ToolArguments.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

// The console's link: prints each frame it sends.
class TEchoLink : public SerialPort
{
public:
    TEchoLink(const QString &programFolder, UserMessages *messages, QTextStream &out)
        : SerialPort(nullptr, programFolder, messages)
        , m_out(out)
    {
    }

    bool WriteLink(QByteArrayView text) override
    {
        const bool written = SerialPort::WriteLink(text);
        QByteArray shown = text.toByteArray();
        if (shown.startsWith('\x02'))
            shown.remove(0, 1);
        if (shown.endsWith('\x03'))
            shown.chop(1);
        if (shown.startsWith("LOGIN"))
            shown = TLoginLibrary::Masked(shown);
        m_out << (written ? "-> " : "not sent (link closed): ") << shown << Qt::endl;
        return written;
    }

private:
    QTextStream &m_out;
};

} // namespace

TConsole::TConsole(QTextStream &in, QTextStream &out, QTextStream &err, const QString &programFolder)
    : m_in(in)
    , m_out(out)
    , m_err(err)
    , m_programFolder(programFolder)
    , m_messages(std::make_unique<TStreamMessages>(err))
{
}

TConsole::~TConsole()
{
    // The model objects point into the application: they go first.
    m_lists.reset();
    m_application.reset();
}

QString TConsole::Usage()
{
    return QStringLiteral(
        "  quelnor-tool console EXPORT --udp HOST:PORT [--password-file FILE | --password TEXT] [--settle MS]\n"
        "  quelnor-tool console EXPORT --serial COMn [--settle MS]\n"
        "      then one command a line: toggle MODULE CHANNEL | dim MODULE CHANNEL LEVEL |\n"
        "      push MODULE CHANNEL EVENT | temp MODULE KIND [VALUE] | memo NUMBER |\n"
        "      var-toggle NUMBER | var-step NUMBER | var-wrap NUMBER | refresh-inputs |\n"
        "      refresh-outputs | hello | wait MILLISECONDS | state MODULE | quit\n");
}

int TConsole::Run(const QStringList &arguments)
{
    QString exportPath, udp, password, serial;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QStringLiteral("--udp") && hasValue)
            udp = arguments[++i];
        else if (a == QStringLiteral("--password") && hasValue)
            password = arguments[++i];
        else if (a == QStringLiteral("--password-file") && hasValue) {
            QString error;
            const std::optional<QString> read = PasswordFromFile(arguments[++i], error);
            if (!read) {
                m_err << error << Qt::endl;
                return 1;
            }
            password = *read;
        }
        else if (a == QStringLiteral("--serial") && hasValue)
            serial = arguments[++i];
        else if (a == QStringLiteral("--settle") && hasValue && Number(arguments[i + 1], 0, 60000))
            m_settle = *Number(arguments[++i], 0, 60000);
        else if (!a.startsWith(QStringLiteral("--")) && exportPath.isEmpty())
            exportPath = a;
        else {
            m_err << "Usage:\n" << Usage() << Qt::flush;
            return 2;
        }
    }
    if (exportPath.isEmpty() || udp.isEmpty() == serial.isEmpty()) {
        m_err << "Usage:\n" << Usage() << Qt::flush;
        return 2;
    }

    m_application = std::make_unique<TDataFileManager>(nullptr, QByteArray(), m_messages.get());
    const QString source = QFileInfo(exportPath).absoluteFilePath();
    if (!QFileInfo(source).isFile() || !m_application->ExportImport(source, TDataFileManager::ImportReplace)) {
        m_err << "Cannot read the configuration export " << source << Qt::endl;
        return 1;
    }
    m_application->Settings().SourcePath = m_application->Name();
    m_lists = std::make_unique<TProgramLists>(nullptr, m_programFolder, m_messages.get());
    auto *link = new TEchoLink(m_programFolder, m_messages.get(), m_out);
    link->setParent(m_lists.get());
    m_lists->AddApplication(*m_application, link);
    QObject::connect(m_application.get(), &TDataFileManager::frameDecoded, m_lists.get(),
                     [this](const TDecodedFrame &frame) { m_out << "<- " << frame.Describe() << Qt::endl; });

    if (!(udp.isEmpty() ? OpenSerial(serial) : OpenUdp(udp, password)))
        return 1;

    while (!m_in.atEnd()) {
        if (!Execute(m_in.readLine()))
            return 0;
    }
    Quit();
    return 0;
}

bool TConsole::OpenUdp(const QString &hostPort, const QString &password)
{
    const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
    const auto port = Number(hostPort.mid(colon + 1), 1, 65535);
    const QByteArray host = hostPort.left(colon).toLatin1();
    if (colon < 0 || !port || !SerialPort::IsValidIPv4(host)) {
        m_err << "Give the interface module as HOST:PORT with an IPv4 address, for example 192.168.1.20:17481" << Qt::endl;
        return false;
    }
    // The password as the project stores it: Windows-1252.
    QByteArray stored;
    if (!TCodePage::FromDisplay(password, stored)) {
        m_err << "The password holds a character Windows-1252 does not have\n";
        return false;
    }
    if (!m_application->Session().OpenUdpLink(quint16(*port), host, stored)) {
        m_err << "Cannot open the UDP link to " << hostPort << Qt::endl;
        return false;
    }
    QByteArray answer;
    QObject::connect(&m_application->Session(), &TLinkSession::sessionAnswered, m_lists.get(),
                     [&answer](const QByteArray &text) { answer = text; });
    // The log-in watch closes the link after 5 s without an answer.
    QDeadlineTimer deadline(10000);
    while (m_application->Session().State() == SessionStates::LoggingIn && m_application->Link()->IsOpen() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (m_application->Session().State() == SessionStates::Open) {
        m_out << "Session opened with " << hostPort << Qt::endl;
        return true;
    }
    if (!answer.isEmpty())
        m_err << "Log-in refused: " << answer.trimmed() << Qt::endl;
    else
        m_err << "No answer from the interface module at " << hostPort << Qt::endl;
    return false;
}

bool TConsole::OpenSerial(const QString &com)
{
    const int number = com.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive) ? Number(com.mid(3), 1, 99).value_or(0) : 0;
    if (number == 0) {
        m_err << "Give the serial port as COMn, n from 1 to 99" << Qt::endl;
        return false;
    }
    const QString device = SerialPort::SerialDevicePath(m_programFolder, quint8(number));
    if (!m_application->Session().OpenSerialLink(quint8(number), SerialPort::ModuleBaud)) {
        m_err << "Unable to open serial Port COM" << number << " (" << device << ")" << Qt::endl;
        return false;
    }
    m_out << "Serial link open on COM" << number << " (" << device << ")" << Qt::endl;
    return true;
}

void TConsole::Settle(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, int(qMax<qint64>(1, deadline.remainingTime())));
}

void TConsole::Quit()
{
    SerialPort *link = m_application->Link();
    const bool udp = link->LinkKind() == LinkKinds::Udp && link->IsOpen();
    link->CloseLink();
    QDeadlineTimer deadline(5000);
    while (link->IsLoggingOut() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    m_out << (udp ? "Logged out" : "Link closed") << Qt::endl;
}

bool TConsole::Execute(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words[0].startsWith(QLatin1Char('#')))
        return true;
    const QString &command = words[0];
    const auto arg = [&words](int i, int low, int high) {
        return i < words.size() ? Number(words[i], low, high) : std::nullopt;
    };
    const auto usage = [&](const char *form) {
        m_err << "Usage: " << form << Qt::endl;
        return true;
    };
    const auto module = [&](int number) -> TVQQModuleBase * {
        TVQQModuleBase *found = m_lists->FindModule(m_application.get(), quint16(number));
        if (!found)
            m_err << "No module " << number << " with a module kind in this installation" << Qt::endl;
        return found;
    };
    const auto io = [&](int moduleNumber, int channel) {
        if (m_application->FindIoIndex(quint16(moduleNumber), quint16(channel)) != TDataFileManager::NotFound)
            return true;
        m_err << "Module " << moduleNumber << " has no channel " << channel << Qt::endl;
        return false;
    };
    SerialPort &link = *m_application->Link();
    const bool hasInterface = link.InterfaceIndex() != SerialPort::NoInterface;

    if (command == QStringLiteral("quit")) {
        Quit();
        return false;
    }
    if (command == QStringLiteral("wait")) {
        const auto ms = arg(1, 0, 600000);
        if (!ms || words.size() != 2)
            return usage("wait MILLISECONDS");
        Settle(*ms);
        return true;
    }
    if (command == QStringLiteral("state")) {
        const auto m = arg(1, 0, 65535);
        if (!m || words.size() != 2)
            return usage("state MODULE");
        if (TVQQModuleBase *found = module(*m))
            m_out << "module " << *m << ": " << found->DescribeState() << Qt::endl;
        return true;
    }

    bool sent = true;
    if (command == QStringLiteral("toggle")) {
        const auto m = arg(1, 0, 65535), c = arg(2, 0, 65535);
        if (!m || !c || words.size() != 3)
            return usage("toggle MODULE CHANNEL");
        TVQQModuleBase *found = module(*m);
        if (!found || !io(*m, *c))
            return true;
        found->SendToggle(quint16(*c));
    } else if (command == QStringLiteral("dim")) {
        const auto m = arg(1, 0, 65535), c = arg(2, 0, 65535), level = arg(3, 0, 100);
        if (!m || !c || !level || words.size() != 4)
            return usage("dim MODULE CHANNEL LEVEL (0-100)");
        TVQQModuleBase *found = module(*m);
        if (!found || !io(*m, *c))
            return true;
        found->SendDimLevel(quint16(*c), quint8(*level));
    } else if (command == QStringLiteral("push")) {
        const auto m = arg(1, 0, 65535), c = arg(2, 0, 65535), event = arg(3, 1, 4);
        if (!m || !c || !event || words.size() != 4)
            return usage("push MODULE CHANNEL EVENT (1 press, 2 release, 3 long press, 4 release after a long press)");
        TVQQModuleBase *found = module(*m);
        if (!found || !io(*m, *c))
            return true;
        found->SendPushEvent(quint8(*event), quint16(*c));
    } else if (command == QStringLiteral("temp")) {
        const auto m = arg(1, 0, 65535), kind = arg(2, 0, 255), value = words.size() == 4 ? arg(3, 0, 255) : std::optional<int>(0);
        if (!m || !kind || !value || words.size() < 3 || words.size() > 4)
            return usage("temp MODULE KIND [VALUE]");
        if (TVQQModuleBase *found = module(*m))
            found->SendTemperatureCommand(0, quint8(*kind), quint8(*value));
        else
            return true;
    } else if (command == QStringLiteral("memo")) {
        const auto n = arg(1, 0, 65535);
        if (!n || words.size() != 2)
            return usage("memo NUMBER");
        TVQQMemoBaseItem *memo = m_lists->FindMemo(m_application.get(), quint16(*n));
        if (!memo) {
            m_err << "No memo " << *n << " in this installation" << Qt::endl;
            return true;
        }
        memo->SendRecall();
    } else if (command == QStringLiteral("var-toggle") || command == QStringLiteral("var-step")
               || command == QStringLiteral("var-wrap")) {
        const auto n = arg(1, 0, 65535);
        if (!n || words.size() != 2)
            return usage("var-toggle|var-step|var-wrap NUMBER");
        TVQQVariableBaseItem *variable = m_lists->FindVariable(m_application.get(), quint16(*n));
        if (!variable) {
            m_err << "No variable " << *n << " in this installation" << Qt::endl;
            return true;
        }
        if (command == QStringLiteral("var-toggle"))
            variable->SendToggleVariable();
        else if (command == QStringLiteral("var-wrap"))
            variable->SendWrap();
        else if (variable->GetVariableKind() == 1)
            variable->SendStep();
        else {
            m_err << "Variable " << *n << " is not a value variable" << Qt::endl;
            return true;
        }
    } else if (command == QStringLiteral("refresh-inputs") && words.size() == 1) {
        TFrameBuilder::BuildRefreshInputs(link);
    } else if (command == QStringLiteral("refresh-outputs") && words.size() == 1) {
        TFrameBuilder::BuildRefreshOutputs(link);
    } else if (command == QStringLiteral("hello") && words.size() == 1) {
        TFrameBuilder::BuildHello(link);
    } else {
        m_err << "Unknown command: " << line.trimmed() << Qt::endl;
        sent = false;
    }
    if (sent && !hasInterface)
        m_err << "Not sent: this installation has no interface module" << Qt::endl;
    if (sent)
        Settle(m_settle);
    return true;
}
