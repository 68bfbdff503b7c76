#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The serial side of the simulator: a pseudo-terminal whose slave is linked at a path (for
// example "<program folder>/Ports/COM3"), so the program's serial link opens it. The simulator
// reads and writes the master side. The link is removed again on destruction.
class TPtyEndpoint : public QObject
{
    Q_OBJECT

public:
    explicit TPtyEndpoint(QObject *parent = nullptr);
    ~TPtyEndpoint() override;

    // Creates the pty and the link at `linkPath` (replacing a link or file there). False and
    // `error` when it cannot.
    bool Open(const QString &linkPath, QString &error);
    void Write(const QByteArray &bytes);
    // The device goes away, as an unplugged adapter would: the program's side sees a hang-up.
    void Unplug();
    const QString &SlavePath() const { return m_slavePath; }

signals:
    void received(const QByteArray &bytes);

private:
    void ReadAvailable();

    int m_master = -1;
    int m_slave = -1;  // kept open so the master never sees a hang-up between program runs
    QString m_slavePath;
    QString m_linkPath;
    QSocketNotifier *m_notifier = nullptr;
};
