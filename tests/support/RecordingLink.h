#pragma once

#include "SerialPort.h"

#include <QByteArrayList>

// A link that keeps every frame written instead of sending it. Its interface module is set, so
// the builders write; it counts as open.
class RecordingLink : public SerialPort
{
public:
    explicit RecordingLink(quint16 interfaceAddress = 0x0102, quint16 interfaceIndex = 0)
        : SerialPort(nullptr, QString(), nullptr)
    {
        SetInterface(interfaceIndex, interfaceAddress);
        SetOpen(true);
    }

    bool WriteLink(QByteArrayView text) override
    {
        const qsizetype nul = text.indexOf('\0');
        Written.append((nul >= 0 ? text.first(nul) : text).toByteArray());
        return true;
    }

    QByteArrayList Written;
};

// A message's text between STX and ETX, as a frame travels.
inline QByteArray Framed(const char *text)
{
    return "\x02" + QByteArray(text) + "\x03";
}
