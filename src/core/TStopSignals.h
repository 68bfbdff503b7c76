#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM asked of the process arrive as a Qt signal in the event loop, so a program
// ends as its user would end it (the program logs out, the simulator removes its pty link)
// instead of being cut off. One per process.
class TStopSignals : public QObject
{
    Q_OBJECT

public:
    explicit TStopSignals(QObject *parent = nullptr);
    ~TStopSignals() override;
    // False when the signals could not be taken over.
    bool IsActive() const { return m_notifier != nullptr; }

signals:
    void stopRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
