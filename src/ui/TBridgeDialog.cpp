#include "TBridgeDialog.h"

#include "DialogButtons.h"
#include "DialogFields.h"
#include "TabOrder.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// A topic level: no wildcard, not empty, no trailing "/".
bool UsableTopic(const QString &text)
{
    return !text.isEmpty() && !text.contains(QLatin1Char('+')) && !text.contains(QLatin1Char('#')) && !text.endsWith(QLatin1Char('/'));
}

} // namespace

TBridgeDialog::TBridgeDialog(const QString &settingsFolder, QWidget *parent)
    : QDialog(parent)
    , m_folder(settingsFolder)
    , m_settings(TBridgeSettings::Load(settingsFolder))
{
    setWindowTitle(QStringLiteral("MQTT bridge"));
    const TBridgeOptions &o = m_settings.Options;
    const auto line = [this](const QString &text) { return new QLineEdit(text, this); };
    m_enabled = new QCheckBox(QStringLiteral("Publish the installations in run time"), this);
    m_enabled->setChecked(m_settings.Enabled);
    m_host = line(o.Broker.Host);
    m_port = line(QString::number(o.Broker.Port));
    m_user = line(o.Broker.User);
    m_password = line(o.Broker.Password);
    m_password->setEchoMode(QLineEdit::Password);
    m_tlsCa = line(o.Broker.TlsCa);
    m_tlsCa->setPlaceholderText(QStringLiteral("no TLS"));
    m_clientCert = line(o.Broker.ClientCert);
    m_clientKey = line(o.Broker.ClientKey);
    m_baseTopic = line(QString::fromUtf8(o.BaseTopic));
    m_discoveryPrefix = line(QString::fromUtf8(o.DiscoveryPrefix));
    m_discovery = new QCheckBox(QStringLiteral("Home Assistant discovery"), this);
    m_discovery->setChecked(o.Discovery);
    m_commands = new QCheckBox(QStringLiteral("Accept commands"), this);
    m_commands->setChecked(o.Commands);
    m_keepAlive = line(QString::number(o.Broker.KeepAlive));

    auto *form = new QFormLayout;
    form->addRow(m_enabled);
    form->addRow(QStringLiteral("Broker"), m_host);
    form->addRow(QStringLiteral("Port"), m_port);
    form->addRow(QStringLiteral("User"), m_user);
    form->addRow(QStringLiteral("Password"), m_password);
    form->addRow(QStringLiteral("TLS CA file"), m_tlsCa);
    form->addRow(QStringLiteral("Client certificate"), m_clientCert);
    form->addRow(QStringLiteral("Client key"), m_clientKey);
    form->addRow(QStringLiteral("Base topic"), m_baseTopic);
    form->addRow(QStringLiteral("Discovery prefix"), m_discoveryPrefix);
    form->addRow(m_discovery);
    form->addRow(m_commands);
    form->addRow(QStringLiteral("Keep-alive (s)"), m_keepAlive);
    m_refusal = new QLabel(this);
    m_refusal->setWordWrap(true);
    m_refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    m_refusal->hide();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_refusal);
    layout->addWidget(new QLabel(QStringLiteral("Run either the program in run time or quelnor-bridge on an installation, not both:\n"
                                                "its interface module accepts one session."), this));
    layout->addLayout(OkCancelRow(this, [this] {
        if (Ok())
            accept();
    }));
    SetReadingTabOrder(this);
}

QString TBridgeDialog::Refusal() const
{
    return m_refusal->isVisible() ? m_refusal->text() : QString();
}

bool TBridgeDialog::Ok()
{
    const auto refuse = [this](const QString &why) {
        m_refusal->setText(why);
        m_refusal->show();
        return false;
    };
    int port = 0;
    int keepAlive = 0;
    QString refused = ReadNumberField(QStringLiteral("Port"), m_port->text(), 1, 65535, port);
    if (refused.isEmpty())
        refused = ReadNumberField(QStringLiteral("Keep-alive"), m_keepAlive->text(), 5, 3600, keepAlive);
    if (!refused.isEmpty())
        return refuse(refused);
    if (m_host->text().trimmed().isEmpty())
        return refuse(QStringLiteral("Which broker? Give its host name or address."));
    if (!UsableTopic(m_baseTopic->text().trimmed()) || !UsableTopic(m_discoveryPrefix->text().trimmed()))
        return refuse(QStringLiteral("A topic cannot be empty, end with \"/\" or hold \"+\" or \"#\"."));
    if (m_clientCert->text().isEmpty() != m_clientKey->text().isEmpty())
        return refuse(QStringLiteral("A client certificate and its key go together."));
    if (!m_clientCert->text().isEmpty() && m_tlsCa->text().isEmpty())
        return refuse(QStringLiteral("A client certificate needs TLS: give the CA file."));
    TBridgeSettings settings;
    TBridgeOptions &o = settings.Options;
    settings.Enabled = m_enabled->isChecked();
    o.Broker.Host = m_host->text().trimmed();
    o.Broker.Port = quint16(port);
    o.Broker.User = m_user->text();
    o.Broker.Password = m_password->text();
    o.Broker.TlsCa = m_tlsCa->text().trimmed();
    o.Broker.ClientCert = m_clientCert->text().trimmed();
    o.Broker.ClientKey = m_clientKey->text().trimmed();
    o.Broker.KeepAlive = keepAlive;
    o.BaseTopic = m_baseTopic->text().trimmed().toUtf8();
    o.DiscoveryPrefix = m_discoveryPrefix->text().trimmed().toUtf8();
    o.Discovery = m_discovery->isChecked();
    o.Commands = m_commands->isChecked();
    QString error;
    if (!settings.Save(m_folder, &error))
        return refuse(error);
    m_settings = settings;
    return true;
}
