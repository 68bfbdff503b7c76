// Feeds arbitrary datagrams, one per line, to a link that waits for a log-in answer, and then to
// one whose session is open.
#include "FuzzSupport.h"
#include "SerialPort.h"
#include "TDataFileManager.h"
#include "TLinkSession.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_session";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    static NoMessages messages;
    static QUdpSocket module;
    static const bool bound = module.bind(QHostAddress::LocalHost, 0);
    if (!bound)
        return 0;
    TDataFileManager app(nullptr, {}, &messages);
    SerialPort link(nullptr, QString(), &messages);
    link.SetInterface(0, 1);
    app.SetLink(&link);
    app.Session().OpenUdpLink(module.localPort(), "127.0.0.1", "");
    for (const QByteArrayView line : InputBytes(data, size).toByteArray().split('\n')) {
        app.Session().HandleSessionInfo(line.toByteArray() + '\n');
        if (app.Session().State() == SessionStates::Open)
            app.AssembleBytes(line);
    }
    app.Session().CloseLink();
    while (module.hasPendingDatagrams())
        module.receiveDatagram();
    return 0;
}
