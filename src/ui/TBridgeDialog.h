#pragma once

#include "TBridgeSettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// "MQTT bridge": where the broker is and what the program publishes to it while in run time.
// "OK" keeps the settings (the password in a file of its own, readable by the user alone); a
// field that cannot be taken, or a save that fails, leaves the dialog open with the reason.
class TBridgeDialog : public QDialog
{
    Q_OBJECT

public:
    TBridgeDialog(const QString &settingsFolder, QWidget *parent = nullptr);

    const TBridgeSettings &Settings() const { return m_settings; }
    // Takes the fields and saves; false, with the reason shown in the dialog, when it cannot.
    bool Ok();
    QString Refusal() const;

    QCheckBox *m_enabled = nullptr;
    QLineEdit *m_host = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_tlsCa = nullptr;
    QLineEdit *m_clientCert = nullptr;
    QLineEdit *m_clientKey = nullptr;
    QLineEdit *m_baseTopic = nullptr;
    QLineEdit *m_discoveryPrefix = nullptr;
    QCheckBox *m_discovery = nullptr;
    QCheckBox *m_commands = nullptr;
    QLineEdit *m_keepAlive = nullptr;

private:
    QString m_folder;
    TBridgeSettings m_settings;
    QLabel *m_refusal = nullptr;
};
