#include "SerialPort.h"

#include "RecordingMessages.h"
#include "UdpPeer.h"

#include "QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// The log-in datagram for each password, what the link hands over, and the log-out; without the
// log-in library, nothing.
TEST(LinkEndToEnd, UdpLogInFramesAndLogOut)
{
    UdpPeer peer;
    RecordingMessages messages;
    SerialPort link(nullptr, QStringLiteral(QUELNOR_PROGRAM_DIR), &messages);
    // "LOGIN:" and the FNV-1a hash of "Quelnor:secret", computed apart.
    struct Row { QByteArray password; QByteArray login; };
    const Row rows[] = {{"", "LOGIN"}, {"(null)", "LOGIN"}, {"secret", "LOGIN:ADD0002AFC97BC4D"}};
    for (const Row &row : rows) {
        ASSERT_TRUE(link.OpenUdpAndLogin(peer.Port(), "127.0.0.1", row.password));
        EXPECT_EQ((std::tuple{link.IsOpen(), link.LinkKind(), link.LinkState(), peer.Receive(), link.Password(), link.Host()}),
                  std::make_tuple(true, LinkKinds::Udp, LinkStates::LoginSent, row.login, row.password, QByteArray("127.0.0.1")));
        // The module answers; the link hands the datagram over as it came.
        peer.Send("INFO:Session opened:INFO\r\n");
        QByteArray data;
        ASSERT_TRUE(RunUntil([&] { return link.ReadLink(data); }));
        EXPECT_EQ(data, "INFO:Session opened:INFO\r\n");
    }

    // Frames and log-out go to the same peer; the log-out waits run on a timer.
    link.SetInterface(0, 1);
    EXPECT_TRUE(link.WriteLink(QByteArray("\x02" "B5030001640A28\x03")));
    EXPECT_EQ(peer.Receive(), "\x02" "B5030001640A28\x03");
    link.SetLogoutWait(10);
    link.CloseLink();
    EXPECT_EQ(peer.Receive(), "LOGOUT");
    EXPECT_TRUE(link.IsLoggingOut());
    EXPECT_TRUE(RunUntil([&] { return link.LinkState() == LinkStates::Idle; }));
    // The owner closes or reopens it; the socket is gone: nothing is taken.
    // Braces: evaluated in order.
    EXPECT_EQ((std::tuple{link.IsOpen(), link.WriteLink("after"), messages.Shown.size()}), std::make_tuple(true, false, 0));

    // Without its log-in library, a link with a password says so and sends nothing.
    QTemporaryDir emptyFolder;
    SerialPort bare(nullptr, emptyFolder.path(), &messages);
    EXPECT_EQ((std::tuple{bare.OpenUdpAndLogin(peer.Port(), "127.0.0.1", "secret"), bare.IsOpen(), bare.LinkState()}),
              std::make_tuple(false, false, LinkStates::Failed));
    ASSERT_EQ(messages.Shown.size(), 1);
    EXPECT_TRUE(messages.Shown[0].startsWith(QStringLiteral("Unable to load the log-in library")));
    QCoreApplication::processEvents();
    EXPECT_FALSE(peer.HasPending());
}
