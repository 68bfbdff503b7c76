#pragma once

#include "UserMessages.h"

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: messages go nowhere, and the input as bytes.
class NoMessages : public UserMessages
{
public:
    void ShowMessage(const QString &) override {}
};

inline QByteArrayView InputBytes(const uint8_t *data, size_t size)
{
    return QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size));
}
