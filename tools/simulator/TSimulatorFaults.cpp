// The faults of a real interface module that quelnor-sim can play, to see what the program
// makes of them: a restart, frames cut short, late log-in answers, noise.
#include "TInstallationSimulator.h"

#include "TFrameBuilder.h"

#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>

namespace {

const QByteArray k_sessionOpened = "INFO:Session opened:INFO\r\n";

} // namespace

void TInstallationSimulator::OpenSession(const QHostAddress &client, quint16 port)
{
    if (m_udp->state() != QAbstractSocket::BoundState)
        return;  // restarting meanwhile: the log-in is lost with the session
    m_hasSession = true;
    m_client = client;
    m_clientPort = port;
    m_udp->writeDatagram(k_sessionOpened, client, port);
    if (m_options.Log)
        Log(QStringLiteral("send %1").arg(QString::fromLatin1(k_sessionOpened.trimmed())));
    if (m_options.DropSessionAfter > 0)
        m_dropTimer->start(m_options.DropSessionAfter * 1000);
}

void TInstallationSimulator::DropSession()
{
    if (m_hasSession)
        Log(QStringLiteral("session dropped, as after a restart"));
    m_hasSession = false;
}

void TInstallationSimulator::Reboot()
{
    // The port is closed while the module starts again (a datagram then gets "port
    // unreachable"), and the session is forgotten: only a new log-in is answered afterwards.
    Log(QStringLiteral("restarting: port closed for %1 ms, session forgotten").arg(m_options.RebootPause));
    m_hasSession = false;
    m_dropTimer->stop();
    m_udp->close();
    QTimer::singleShot(m_options.RebootPause, this, [this] {
        if (!m_udp->bind(QHostAddress(m_options.BindAddress), m_boundPort))
            Log(QStringLiteral("cannot listen again on UDP port %1: %2").arg(m_boundPort).arg(m_udp->errorString()));
        else
            Log(QStringLiteral("restarted"));
    });
}

void TInstallationSimulator::CutShort(QByteArray &frame)
{
    if (m_options.CutPercent <= 0 || int(m_random.bounded(100)) >= m_options.CutPercent || frame.size() < 3)
        return;
    // Somewhere after the STX and always before the ETX.
    frame.truncate(1 + qsizetype(m_random.bounded(int(frame.size() - 2))));
    if (m_options.Log)
        Log(QStringLiteral("     (sent cut short, without its ETX)"));
}

void TInstallationSimulator::SendGarbage(Endpoint to)
{
    SendRaw("noise outside any frame", to);
    // A frame of an unknown type, then frames of address forms 0 and 3.
    SendRaw(TFrameBuilder::Frame(QByteArray::fromHex("b50000029900a5")), to);
    SendRaw(TFrameBuilder::Frame(QByteArray::fromHex("850000028600ff")), to);
    SendRaw(TFrameBuilder::Frame(QByteArray::fromHex("bd0000028600ff")), to);
    if (m_options.Log)
        Log(QStringLiteral("send garbage: bytes outside frames, an unknown type, address forms 0 and 3"));
}
