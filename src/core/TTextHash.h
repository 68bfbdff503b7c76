#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <string_view>

// Hashes for look-up tables keyed by long texts (picture paths) on the paths a project's open
// runs once per control: the standard library's byte hash, which costs a fraction of Qt's own
// (SipHash in a Qt built without its AES code). Not for tables fed by untrusted input.
struct TTextHash
{
    size_t operator()(const QString &text) const noexcept
    {
        return std::hash<std::u16string_view>{}(
            std::u16string_view(reinterpret_cast<const char16_t *>(text.constData()), size_t(text.size())));
    }
    size_t operator()(const QByteArray &bytes) const noexcept
    {
        return std::hash<std::string_view>{}(std::string_view(bytes.constData(), size_t(bytes.size())));
    }
};
