#include "TBridgeFeature.h"

#include "TBridgeDialog.h"
#include "TBridgeSettings.h"
#include "TMqttBridge.h"
#include "TProjectSession.h"

#include <QCoreApplication>
#include <QMenu>

#include <cstdio>

TBridgeFeature::TBridgeFeature(TProjectSession &session, const QString &settingsFolder, QWidget *window,
                               std::function<void(const QString &)> say)
    : QObject(&session)
    , m_session(session)
    , m_folder(settingsFolder)
    , m_window(window)
    , m_say(std::move(say))
    , m_bridge(std::make_unique<TMqttBridge>(session, [this](const QString &line) {
        std::fprintf(stderr, "%s\n", qPrintable(line));
        if (m_say)
            m_say(line);
    }))
{
    connect(&session, &TProjectSession::modeChanged, this, &TBridgeFeature::FollowMode);
    // A project closing ends what was published of it; the next run time starts again.
    connect(&session, &TProjectSession::aboutToClose, this, [this] { m_bridge->Stop(); });
}

TBridgeFeature::~TBridgeFeature() = default;

void TBridgeFeature::AddTo(QMenu *menu)
{
    connect(menu->addAction(QStringLiteral("MQTT bridge…")), &QAction::triggered, this, &TBridgeFeature::ShowDialog);
}

void TBridgeFeature::ShowDialog()
{
    TBridgeDialog dialog(m_folder, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_bridge->Stop();
    FollowMode();
}

void TBridgeFeature::FollowMode()
{
    if (m_session.Mode() != RunMode::RunTime) {
        // Test mode and design time: the applications go unavailable, nothing made up is sent.
        m_bridge->Stop();
        return;
    }
    if (m_bridge->IsRunning())
        return;
    const TBridgeSettings settings = TBridgeSettings::Load(m_folder);
    if (!settings.Enabled)
        return;
    TBridgeOptions options = settings.Options;
    options.Broker.ClientId = QStringLiteral("visual-quelnor-%1").arg(QCoreApplication::applicationPid());
    QString error;
    if (!m_bridge->Start(options, error) && m_say)
        m_say(QStringLiteral("MQTT bridge: ") + error);
}
