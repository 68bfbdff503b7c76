#include "SerialPort.h"
#include "TUdpTransport.h"

#include "RecordingMessages.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>


TEST(SerialPort, IsValidIPv4)
{
    struct Row { const char *host; bool valid; };
    const Row rows[] = {
        {"127.0.0.1", true}, {"192.168.001.010", true}, {"255.255.255.255", true}, {"0.0.0.0", true},
        {"256.0.0.1", false}, {"1.2.3", false}, {"1.2.3.4.5", false}, {"1.2.3.1000", false},
        {"1..3.4", false}, {"a.b.c.d", false}, {"1.2.3.-4", false}, {"", false}, {"1.2.3.4 ", false},
        // Only the first 20 characters count.
        {"001.002.003.004.....", false}, {"001.002.003.004xxxxxxxx", false}, {"1.2.3.4", true},
    };
    for (const Row &row : rows)
        EXPECT_EQ(SerialPort::IsValidIPv4(row.host), row.valid) << row.host;
}

TEST(SerialPort, UnreachableReasons)
{
    struct Row { int error; const char *reason; };
    const Row rows[] = {
        {ECONNREFUSED, "The interface module's port is unreachable"},
        {EHOSTUNREACH, "The interface module's host is unreachable"}, {EHOSTDOWN, "The interface module's host is unreachable"},
        {ENETUNREACH, "The interface module's network is unreachable"}, {ENETDOWN, "The interface module's network is unreachable"},
        {0, ""}, {EAGAIN, ""}, {EMSGSIZE, ""}, {EINTR, ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(TUdpTransport::UnreachableReason(row.error), QString::fromLatin1(row.reason)) << row.error;
}

// A link never opened, or whose settings or device refuse it: closed, nothing sent or shown.
TEST(SerialPort, ALinkThatCannotOpenStaysClosedAndSilent)
{
    RecordingMessages messages;
    SerialPort link(nullptr, QStringLiteral("/no/such/folder"), &messages);
    QByteArray data;
    // Braces: evaluated in order, the state before the write.
    EXPECT_EQ((std::tuple{link.LinkState(), link.InterfaceIndex(), link.IsOpen(), link.SequenceNumber(), link.WriteLink("x"), link.ReadLink(data)}),
              std::make_tuple(LinkStates::Idle, SerialPort::NoInterface, false, 0, false, false));
    EXPECT_EQ(QList<bool>({link.OpenUdpAndLogin(0, "127.0.0.1", ""), link.OpenUdpAndLogin(17481, "127.0.0.256", ""),
                           link.OpenUdpAndLogin(17481, "1.2.3", ""), link.IsOpen()}),
              QList<bool>({false, false, false, false}));
    EXPECT_EQ(link.LinkKind(), LinkKinds::None);
    EXPECT_EQ(SerialPort::SerialDevicePath(QStringLiteral("/no/such/folder"), 3), QStringLiteral("/dev/ttyS2"));
    EXPECT_FALSE(link.OpenSerial(99, 115200));
    EXPECT_EQ(std::make_tuple(link.LinkState(), link.IsOpen()), std::make_tuple(LinkStates::Failed, false));
    EXPECT_TRUE(messages.Shown.isEmpty());
}
