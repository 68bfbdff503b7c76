#pragma once

#include "TLinkTransport.h"

class QSerialPort;

// A link over a serial device: 115200,N,8,1 or 38400,N,8,1, no flow control.
class TSerialTransport : public TLinkTransport
{
    Q_OBJECT

public:
    TSerialTransport(QObject *parent, std::function<bool()> inUse);

    // Opens the device read-write; false when it cannot be opened.
    bool Open(const QString &device);
    // The line settings at `baud`, RTS on, DTR off, both queues purged.
    void Configure(quint32 baud);

    // Up to `ReadLimit` bytes; the rest waits for the next read.
    bool Read(QByteArray &data) override;
    bool Write(QByteArrayView bytes, QString &error) override;
    bool Close() override;
    void Abandon() override;

    static constexpr qint64 ReadLimit = 2047;

private:
    void DeviceError(int error);

    QSerialPort *m_port = nullptr;
};
