#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;
class TMqttBridge;
class TProjectSession;

// The MQTT bridge inside the program: "Parameter > MQTT bridge…" sets it up, and while the
// session is in run time (and the settings say so) the open project's installations are
// published as quelnor-bridge publishes them. Leaving run time publishes them unavailable.
// A child of the session: it goes with it.
class TBridgeFeature : public QObject
{
    Q_OBJECT

public:
    // `say` shows one line about the broker's connection (the status bar).
    TBridgeFeature(TProjectSession &session, const QString &settingsFolder, QWidget *window,
                   std::function<void(const QString &)> say);
    ~TBridgeFeature() override;

    void AddTo(QMenu *menu);
    // Opens the dialog; kept settings take effect at once when in run time.
    void ShowDialog();
    TMqttBridge &Bridge() { return *m_bridge; }

private:
    void FollowMode();

    TProjectSession &m_session;
    QString m_folder;
    QWidget *m_window = nullptr;
    std::function<void(const QString &)> m_say;
    std::unique_ptr<TMqttBridge> m_bridge;
};
