#include "TQuelnorTool.h"
#include "TFileAccess.h"
#include "ToolRun.h"

#include "TPtyEndpoint.h"

#include "QtPrinters.h"

#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {

// The test installation: interface module 1, relay module 2 whose channel 0 is IO index 0.
const QByteArray k_toggle2_0 = "B50300016000020000";
const QByteArray k_outputs2 = "\x02" "B50000028600013E" "\x03";  // module 2 outputs 0x01

// An interface module on loopback that answers as the console's tests need, from the event
// loop the console runs.
class AnsweringPeer
{
public:
    explicit AnsweringPeer(QByteArray loginAnswer)
        : m_loginAnswer(std::move(loginAnswer))
    {
        m_socket.bind(QHostAddress::LocalHost, 0);
        QObject::connect(&m_socket, &QUdpSocket::readyRead, &m_socket, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = m_socket.receiveDatagram();
                Received.append(d.data());
                QByteArray answer;
                if (d.data().startsWith("LOGIN"))
                    answer = m_loginAnswer;
                else if (d.data().contains(k_toggle2_0))
                    answer = k_outputs2;
                if (!answer.isEmpty())
                    m_socket.writeDatagram(answer, d.senderAddress(), quint16(d.senderPort()));
            }
        });
    }
    QString HostPort() const { return QStringLiteral("127.0.0.1:%1").arg(m_socket.localPort()); }

    QByteArrayList Received;

private:
    QUdpSocket m_socket;
    QByteArray m_loginAnswer;
};

} // namespace

TEST(TConsole, TogglesAnOutputAndPrintsTheStatusThatComesBack)
{
    AnsweringPeer peer("INFO:Session opened:INFO\r\n");
    // The password from a file, never on the command line.
    QTemporaryDir folder;
    TFileAccess::SaveAtomically(folder.filePath(QStringLiteral("pw")), "secret\n");
    const ToolRun run = RunTool(
        {"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", peer.HostPort(), "--password-file", folder.filePath(QStringLiteral("pw")), "--settle", "200"},
        "toggle 2 0\nstate 2\n\nbogus 1\ntoggle 2\ntoggle 99 0\nquit\nstate 2\n");
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected = {
        "-> LOGIN:********",  // the token stands for the password: never printed
        "-> B5030001640A27",  // a session that opens asks for every state
        "Session opened with " + peer.HostPort(),
        "-> " + QString::fromLatin1(k_toggle2_0) + "1B",
        "<- module 2 outputs 01",
        "-> B5030001640B28",
        "module 2: outputs 01",
        "-> LOGOUT",
        "Logged out",
    };
    EXPECT_EQ(lines, expected) << run.out.toStdString();
    for (const char *said : {"Unknown command: bogus 1", "Usage: toggle MODULE CHANNEL", "No module 99"})
        EXPECT_TRUE(run.err.contains(QLatin1String(said))) << run.err.toStdString();
    ASSERT_FALSE(peer.Received.isEmpty());
    EXPECT_EQ(std::make_tuple(peer.Received.first(), peer.Received.last()), std::make_tuple(QByteArray("LOGIN:ADD0002AFC97BC4D"), QByteArray("LOGOUT")));
}

TEST(TConsole, BadArgumentsAndARefusedLogIn)
{
    struct Row { QStringList arguments; int status; const char *message; };
    const Row rows[] = {
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT)}, 2, "Usage"},
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", "1.2.3.4:1", "--serial", "COM1"}, 2, "Usage"},
        {{"console", "/no/such.qap", "--udp", "127.0.0.1:9"}, 1, "Cannot read the configuration export"},
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", "localhost:17481"}, 1, "HOST:PORT"},
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", "127.0.0.1:0"}, 1, "HOST:PORT"},
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--serial", "COM0"}, 1, "COMn"},
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", "127.0.0.1:9", "--password-file", "/no/such"}, 1,
         "Cannot read the password file /no/such"},
        {{"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--serial", "COM98"}, 1, "Unable to open serial Port COM98"},
    };
    for (const Row &row : rows) {
        const ToolRun run = RunTool(row.arguments, QString());
        EXPECT_EQ(run.status, row.status) << row.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(row.message))) << run.err.toStdString();
    }

    // A refused log-in ends the console with a message.
    AnsweringPeer peer("INFO:Auth failed:INFO\r\n");
    const ToolRun run = RunTool({"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--udp", peer.HostPort()}, "toggle 2 0\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Log-in refused: INFO:Auth failed:INFO"))) << run.err.toStdString();
    EXPECT_EQ(peer.Received, QByteArrayList({"LOGIN"}));
}

TEST(TConsole, SerialLinkOverAPty)
{
    TPtyEndpoint pty;
    QTemporaryDir folder;
    QString error;
    ASSERT_TRUE(pty.Open(folder.path() + QStringLiteral("/Ports/COM5"), error)) << error.toStdString();
    // The module's side answers a toggle of module 2 channel 0 with its output status.
    QByteArray received;
    QObject::connect(&pty, &TPtyEndpoint::received, &pty, [&](const QByteArray &bytes) {
        received += bytes;
        if (received.contains(k_toggle2_0 + "1B\x03")) {
            received.clear();
            pty.Write(k_outputs2);
        }
    });

    QString input = "toggle 2 0\nquit\n";
    QTextStream in(&input);
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const int status = TQuelnorTool(in, out, err, folder.path())
                           .Run({"console", QStringLiteral(QUELNOR_TEST_EXPORT), "--serial", "COM5", "--settle", "300"});
    out.flush();
    err.flush();
    EXPECT_EQ(status, 0) << errText.toStdString();
    EXPECT_TRUE(outText.contains(QStringLiteral("Serial link open on COM5 (") + folder.path() + QStringLiteral("/Ports/COM5)"))) << outText.toStdString();
    EXPECT_TRUE(outText.contains(QStringLiteral("<- module 2 outputs 01"))) << outText.toStdString();
    EXPECT_TRUE(outText.endsWith(QStringLiteral("Link closed\n")));
}
