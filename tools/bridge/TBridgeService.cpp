#include "TBridgeService.h"

#include "TCodePage.h"
#include "THistoryRecorder.h"
#include "TUserFolders.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TStreamMessages.h"
#include "ToolArguments.h"

#include <QFileInfo>
#include <QTextStream>

TBridgeService::TBridgeService(QTextStream &err, const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_err(err)
    , m_messages(std::make_unique<TStreamMessages>(err))
    , m_session(std::make_unique<TProjectSession>(programFolder, m_messages.get()))
    , m_bridge(std::make_unique<TMqttBridge>(*m_session, [this](const QString &line) {
        m_err << line << Qt::endl;
    }))
{
}

TBridgeService::~TBridgeService()
{
    Stop();
}

QString TBridgeService::Usage()
{
    return QStringLiteral(
        "usage: quelnor-bridge PROJECT [--broker HOST:PORT] [--user NAME] [--password-file FILE]\n"
        "                      [--tls-ca FILE] [--client-cert FILE --client-key FILE]\n"
        "                      [--base-topic TEXT] [--discovery-prefix TEXT | --no-discovery]\n"
        "                      [--commands] [--keepalive SECONDS] [--history-db FILE | --no-history]\n");
}

bool TBridgeService::Parse(const QStringList &arguments)
{
    const auto fail = [this](const QString &why) {
        m_err << why << "\n" << Usage();
        m_err.flush();
        return false;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        const bool takesValue = word.startsWith(QStringLiteral("--")) && word != QStringLiteral("--commands") &&
                                word != QStringLiteral("--no-discovery") && word != QStringLiteral("--no-history");
        if (takesValue && i + 1 >= arguments.size())
            return fail(word + QStringLiteral(" needs a value"));
        const QString value = takesValue ? arguments[++i] : QString();
        if (word == QStringLiteral("--broker")) {
            const qsizetype colon = value.lastIndexOf(QLatin1Char(':'));
            const std::optional<int> port = colon > 0 ? Number(value.mid(colon + 1), 1, 65535) : std::optional<int>(1883);
            if (!port || value.isEmpty() || colon == 0)
                return fail(QStringLiteral("--broker takes HOST:PORT, not ") + value);
            m_options.Broker.Host = colon > 0 ? value.left(colon) : value;
            m_options.Broker.Port = quint16(*port);
        } else if (word == QStringLiteral("--user")) {
            m_options.Broker.User = value;
        } else if (word == QStringLiteral("--password-file")) {
            QString error;
            const std::optional<QString> password = PasswordFromFile(value, error);
            if (!password)
                return fail(error);
            m_options.Broker.Password = *password;
        } else if (word == QStringLiteral("--password")) {
            return fail(QStringLiteral("A password on the command line shows to every user: use --password-file FILE"));
        } else if (word == QStringLiteral("--tls-ca")) {
            m_options.Broker.TlsCa = value;
        } else if (word == QStringLiteral("--client-cert")) {
            m_options.Broker.ClientCert = value;
        } else if (word == QStringLiteral("--client-key")) {
            m_options.Broker.ClientKey = value;
        } else if (word == QStringLiteral("--base-topic") || word == QStringLiteral("--discovery-prefix")) {
            // A topic level must not hold wildcards; an empty one would publish at the root.
            if (value.isEmpty() || value.contains(QLatin1Char('+')) || value.contains(QLatin1Char('#')) || value.endsWith(QLatin1Char('/')))
                return fail(word + QStringLiteral(" cannot be ") + value);
            (word == QStringLiteral("--base-topic") ? m_options.BaseTopic : m_options.DiscoveryPrefix) = value.toUtf8();
        } else if (word == QStringLiteral("--no-discovery")) {
            m_options.Discovery = false;
        } else if (word == QStringLiteral("--no-history")) {
            m_recordHistory = false;
        } else if (word == QStringLiteral("--history-db")) {
            m_historyDatabase = value;
        } else if (word == QStringLiteral("--commands")) {
            m_options.Commands = true;
        } else if (word == QStringLiteral("--keepalive")) {
            const std::optional<int> seconds = Number(value, 5, 3600);
            if (!seconds)
                return fail(QStringLiteral("--keepalive takes 5 to 3600 seconds"));
            m_options.Broker.KeepAlive = *seconds;
        } else if (word.startsWith(QStringLiteral("--")) || !m_projectPath.isEmpty()) {
            return fail(QStringLiteral("Unknown argument ") + word);
        } else {
            m_projectPath = word;
        }
    }
    if (m_projectPath.isEmpty())
        return fail(QStringLiteral("Which project?"));
    if (m_options.Broker.ClientCert.isEmpty() != m_options.Broker.ClientKey.isEmpty())
        return fail(QStringLiteral("--client-cert and --client-key go together"));
    if (!m_options.Broker.ClientCert.isEmpty() && m_options.Broker.TlsCa.isEmpty())
        return fail(QStringLiteral("A client certificate needs TLS: add --tls-ca FILE"));
    return true;
}

bool TBridgeService::Start()
{
    QString error;
    // Read only: the service never saves, and the program may have the project open to edit it.
    if (!m_session->Open(m_projectPath, &error, true)) {
        m_err << "Cannot read the project " << m_projectPath << (error.isEmpty() ? QString() : QStringLiteral(": ") + error) << Qt::endl;
        return false;
    }
    // Recording from the start: the links' opening and first states are history too.
    if (m_recordHistory) {
        m_history = std::make_unique<THistoryRecorder>(*m_session, TUserFolders::HistoryFolder(), [this](const QString &line) {
            m_err << line << Qt::endl;
        });
        if (!m_historyDatabase.isEmpty())
            m_history->SetDatabase(m_historyDatabase);
    }
    m_session->SetMode(RunMode::RunTime);
    for (const auto &application : m_session->Project()->Applications()) {
        const QString name = TCodePage::ToDisplay(application->DisplayName());
        if (application->Settings().LinkKind != LinkKinds::Serial && application->Settings().LinkKind != LinkKinds::Udp)
            m_err << "The application " << name << " has no link set up: open the project in Visual Quelnor to choose one" << Qt::endl;
        else if (!application->Session().ReopenLink())
            m_err << "The link of " << name << " does not open yet; it is tried again by itself" << Qt::endl;
    }
    if (!m_bridge->Start(m_options, error)) {
        m_err << error << Qt::endl;
        return false;
    }
    m_err << "quelnor-bridge: " << m_session->Project()->Applications().size() << " applications, broker "
          << m_options.Broker.Host << ":" << m_options.Broker.Port << (m_options.Commands ? ", commands accepted" : "") << Qt::endl;
    return true;
}

void TBridgeService::Stop()
{
    m_bridge->Stop();
    m_session->CloseLinks();
    // What was gathered is written before the service ends.
    if (m_history)
        m_history->FlushAndWait();
}
