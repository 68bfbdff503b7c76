#pragma once

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <optional>

// A decimal number within [low, high] from a command-line word, or nothing.
inline std::optional<int> Number(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The password kept in a file (its first line, without the line end), so that it never shows on a
// command line; nothing, with `error` saying why, when the file cannot be read.
inline std::optional<QString> PasswordFromFile(const QString &path, QString &error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > 4096 || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot read the password file ") + path;
        return std::nullopt;
    }
    QByteArray line = file.readLine(4097);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}
