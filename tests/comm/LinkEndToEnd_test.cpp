#include "SerialPort.h"

#include "EventLoop.h"
#include "RecordingMessages.h"
#include "TestPty.h"

#include "QtPrinters.h"

#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {

// The interface module's side of a UDP link, on loopback.
struct UdpPeer
{
    UdpPeer() { socket.bind(QHostAddress::LocalHost, 0); }

    QNetworkDatagram Receive()
    {
        QNetworkDatagram datagram;
        RunUntil([&] {
            if (!socket.hasPendingDatagrams())
                return false;
            datagram = socket.receiveDatagram();
            return true;
        });
        return datagram;
    }

    QUdpSocket socket;
};

QByteArray ReadFrom(SerialPort &link)
{
    QByteArray data;
    RunUntil([&] { return link.ReadLink(data); });
    return data;
}

} // namespace

TEST(LinkEndToEnd, UdpLogInWithoutPasswordSendsPlainLogin)
{
    UdpPeer peer;
    RecordingMessages messages;
    SerialPort link(nullptr, QStringLiteral(QUELNOR_PROGRAM_DIR), &messages);
    for (const QByteArray &password : {QByteArray(), QByteArray("(null)")}) {
        ASSERT_TRUE(link.OpenUdpAndLogin(peer.socket.localPort(), "127.0.0.1", password));
        EXPECT_TRUE(link.IsOpen());
        EXPECT_EQ(link.LinkKind(), LinkKinds::Udp);
        EXPECT_EQ(link.LinkState(), LinkStates::LoginSent);
        const QNetworkDatagram login = peer.Receive();
        EXPECT_EQ(login.data(), "LOGIN");

        // The module answers; the link hands the datagram over as it came.
        peer.socket.writeDatagram("INFO:Session opened:INFO\r\n", login.senderAddress(), quint16(login.senderPort()));
        EXPECT_EQ(ReadFrom(link), "INFO:Session opened:INFO\r\n");
    }
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST(LinkEndToEnd, UdpLogInWithPasswordSendsTheLibraryText)
{
    UdpPeer peer;
    RecordingMessages messages;
    SerialPort link(nullptr, QStringLiteral(QUELNOR_PROGRAM_DIR), &messages);
    ASSERT_TRUE(link.OpenUdpAndLogin(peer.socket.localPort(), "127.0.0.1", "secret"));
    // "LOGIN:" and the FNV-1a hash of "Quelnor:secret", computed apart.
    EXPECT_EQ(peer.Receive().data(), "LOGIN:ADD0002AFC97BC4D");
    EXPECT_EQ(link.Password(), "secret");
    EXPECT_EQ(link.Host(), "127.0.0.1");

    // Frames and log-out go to the same peer; the log-out waits run on a timer.
    link.SetInterface(0, 1);
    link.WriteLink(QByteArray("\x02" "B5030001640A28\x03"));
    EXPECT_EQ(peer.Receive().data(), "\x02" "B5030001640A28\x03");
    link.SetLogoutWait(10);
    link.CloseLink();
    EXPECT_EQ(peer.Receive().data(), "LOGOUT");
    EXPECT_TRUE(link.IsLoggingOut());
    EXPECT_TRUE(RunUntil([&] { return link.LinkState() == LinkStates::Idle; }));
    EXPECT_TRUE(link.IsOpen());  // the owner closes or reopens it
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST(LinkEndToEnd, MissingLoginLibraryIsAMessageAndAFailedOpen)
{
    UdpPeer peer;
    QTemporaryDir emptyFolder;
    RecordingMessages messages;
    SerialPort link(nullptr, emptyFolder.path(), &messages);
    EXPECT_FALSE(link.OpenUdpAndLogin(peer.socket.localPort(), "127.0.0.1", "secret"));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.LinkState(), LinkStates::Failed);
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("Unable to load the log-in library")));
    QCoreApplication::processEvents();
    EXPECT_FALSE(peer.socket.hasPendingDatagrams());
}

TEST(LinkEndToEnd, SerialLinkOverAPty)
{
    TestPty pty;
    ASSERT_TRUE(pty.IsValid());
    QTemporaryDir folder;
    ASSERT_TRUE(pty.LinkAsCom(folder.path(), 3));
    EXPECT_EQ(SerialPort::SerialDevicePath(folder.path(), 3), folder.path() + QStringLiteral("/Ports/COM3"));

    SerialPort link(nullptr, folder.path(), nullptr);
    ASSERT_TRUE(link.OpenSerial(3, 115200));
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.LinkKind(), LinkKinds::Serial);
    EXPECT_EQ(link.LinkState(), LinkStates::Connected);

    EXPECT_TRUE(link.WriteLink(QByteArray("\x02" "B5030001640A28\x03")));
    QByteArray sent;
    RunUntil([&] { sent += pty.Read(); return sent.size() >= 16; });
    EXPECT_EQ(sent, "\x02" "B5030001640A28\x03");

    pty.Write("\x02" "B50000028600A5E2\x03");
    EXPECT_EQ(ReadFrom(link), "\x02" "B50000028600A5E2\x03");

    // Reopening an open link closes it first.
    ASSERT_TRUE(link.OpenSerial(3, 9600));
    EXPECT_TRUE(link.IsOpen());
    link.CloseLink();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.LinkState(), LinkStates::Connected);
}
