#pragma once

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
