#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <optional>

// The user's folders (settings under "config", data such as the history under "data") in a
// temporary home for the object's life, then put back as they were.
class TemporaryHome
{
public:
    TemporaryHome() : m_config(Saved("XDG_CONFIG_HOME")), m_data(Saved("XDG_DATA_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(File(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(File(QStringLiteral("data"))));
    }
    ~TemporaryHome()
    {
        Restore("XDG_CONFIG_HOME", m_config);
        Restore("XDG_DATA_HOME", m_data);
    }
    TemporaryHome(const TemporaryHome &) = delete;
    TemporaryHome &operator=(const TemporaryHome &) = delete;

    QString File(const QString &name) const { return m_home.filePath(name); }

private:
    static std::optional<QByteArray> Saved(const char *name)
    {
        return qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    }
    static void Restore(const char *name, const std::optional<QByteArray> &value)
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }

    QTemporaryDir m_home;
    std::optional<QByteArray> m_config;
    std::optional<QByteArray> m_data;
};
