#include "TBridgeSettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>

QString TBridgeSettings::IniPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("MQTT bridge.ini"));
}

QString TBridgeSettings::PasswordPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("MQTT bridge password"));
}

TBridgeSettings TBridgeSettings::Load(const QString &folder)
{
    TBridgeSettings settings;
    TBridgeOptions &o = settings.Options;
    QSettings ini(IniPath(folder), QSettings::IniFormat);
    settings.Enabled = ini.value(QStringLiteral("enabled"), false).toBool();
    o.Broker.Host = ini.value(QStringLiteral("host"), o.Broker.Host).toString();
    o.Broker.Port = quint16(std::clamp(ini.value(QStringLiteral("port"), o.Broker.Port).toInt(), 1, 65535));
    o.Broker.User = ini.value(QStringLiteral("user")).toString();
    o.Broker.TlsCa = ini.value(QStringLiteral("tls-ca")).toString();
    o.Broker.ClientCert = ini.value(QStringLiteral("client-cert")).toString();
    o.Broker.ClientKey = ini.value(QStringLiteral("client-key")).toString();
    o.Broker.KeepAlive = std::clamp(ini.value(QStringLiteral("keepalive"), o.Broker.KeepAlive).toInt(), 5, 3600);
    o.BaseTopic = ini.value(QStringLiteral("base-topic"), QString::fromUtf8(o.BaseTopic)).toString().toUtf8();
    o.DiscoveryPrefix = ini.value(QStringLiteral("discovery-prefix"), QString::fromUtf8(o.DiscoveryPrefix)).toString().toUtf8();
    o.Discovery = ini.value(QStringLiteral("discovery"), true).toBool();
    o.Commands = ini.value(QStringLiteral("commands"), false).toBool();
    QFile password(PasswordPath(folder));
    if (password.open(QIODevice::ReadOnly))
        o.Broker.Password = QString::fromUtf8(password.read(4096));
    return settings;
}

bool TBridgeSettings::Save(const QString &folder, QString *error) const
{
    const TBridgeOptions &o = Options;
    // The password first, private from its first byte; then the settings.
    QSaveFile password(PasswordPath(folder));
    if (!o.Broker.Password.isEmpty()) {
        if (!password.open(QIODevice::WriteOnly) || !password.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            password.write(o.Broker.Password.toUtf8()) < 0 || !password.commit()) {
            if (error)
                *error = QStringLiteral("The password could not be kept in ") + PasswordPath(folder) + QStringLiteral(": ") + password.errorString();
            return false;
        }
    } else {
        QFile::remove(PasswordPath(folder));
    }
    QSettings ini(IniPath(folder), QSettings::IniFormat);
    ini.setValue(QStringLiteral("enabled"), Enabled);
    ini.setValue(QStringLiteral("host"), o.Broker.Host);
    ini.setValue(QStringLiteral("port"), o.Broker.Port);
    ini.setValue(QStringLiteral("user"), o.Broker.User);
    ini.setValue(QStringLiteral("tls-ca"), o.Broker.TlsCa);
    ini.setValue(QStringLiteral("client-cert"), o.Broker.ClientCert);
    ini.setValue(QStringLiteral("client-key"), o.Broker.ClientKey);
    ini.setValue(QStringLiteral("keepalive"), o.Broker.KeepAlive);
    ini.setValue(QStringLiteral("base-topic"), QString::fromUtf8(o.BaseTopic));
    ini.setValue(QStringLiteral("discovery-prefix"), QString::fromUtf8(o.DiscoveryPrefix));
    ini.setValue(QStringLiteral("discovery"), o.Discovery);
    ini.setValue(QStringLiteral("commands"), o.Commands);
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral("The MQTT bridge settings could not be written to ") + IniPath(folder);
        return false;
    }
    return true;
}
