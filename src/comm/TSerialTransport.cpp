#include "TSerialTransport.h"

#include <QSerialPort>

TSerialTransport::TSerialTransport(QObject *parent, std::function<bool()> inUse)
    : TLinkTransport(parent, std::move(inUse))
    , m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &TSerialTransport::readable);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) { DeviceError(int(error)); });
}

bool TSerialTransport::Open(const QString &device)
{
    m_port->setPortName(device);
    return m_port->open(QIODevice::ReadWrite);
}

void TSerialTransport::Configure(quint32 baud)
{
    m_port->setBaudRate(qint32(baud));
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    // A pty refuses the modem lines; that is no reason to fail the open.
    m_port->setDataTerminalReady(false);
    m_port->setRequestToSend(true);
    m_port->clear(QSerialPort::AllDirections);
    m_port->clearError();
}

void TSerialTransport::DeviceError(int error)
{
    // Errors while opening are the open's answer.
    if (!InUse())
        return;
    // Every error the port can report, each decided here: a device that went or stopped working
    // fails the link; a refused setting (a pty has no modem lines), a read that timed out or an
    // error the device did not explain leaves it as it is.
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::NotOpenError:
        emit failed(m_port->errorString());
        return;
    case QSerialPort::NoError:
    case QSerialPort::OpenError:
    case QSerialPort::TimeoutError:
    case QSerialPort::UnsupportedOperationError:
    case QSerialPort::UnknownError:
        return;
    }
}

bool TSerialTransport::Read(QByteArray &data)
{
    if (!m_port->isOpen())
        return false;
    if (m_port->bytesAvailable() == 0)
        m_port->waitForReadyRead(0);
    data = m_port->read(ReadLimit);
    return !data.isEmpty();
}

bool TSerialTransport::Write(QByteArrayView bytes, QString &error)
{
    const qint64 written = m_port->write(bytes.data(), bytes.size());
    m_port->flush();
    error = m_port->errorString();
    return written == bytes.size();
}

bool TSerialTransport::Close()
{
    if (m_port->isOpen())
        m_port->close();
    return true;
}

void TSerialTransport::Abandon()
{
    Close();
}
