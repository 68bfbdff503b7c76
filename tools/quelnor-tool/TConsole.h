#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QTextStream;
class TDataFileManager;
class TProgramLists;
class TStreamMessages;

// The installer's link console: loads an export, opens the link (UDP with log-in, or serial),
// then runs one command a line from the input, sending through the program's own builders and
// printing every frame received, decoded.
class TConsole
{
public:
    TConsole(QTextStream &in, QTextStream &out, QTextStream &err, const QString &programFolder);
    ~TConsole();

    // `arguments` after "console"; returns the exit status.
    int Run(const QStringList &arguments);

    static QString Usage();

private:
    // Runs one command line; false once the console should stop.
    bool Execute(const QString &line);
    // Lets the link deliver what arrives for this long, printing the frames.
    void Settle(int milliseconds);
    bool OpenUdp(const QString &hostPort, const QString &password);
    bool OpenSerial(const QString &com);
    void Quit();

    QTextStream &m_in;
    QTextStream &m_out;
    QTextStream &m_err;
    QString m_programFolder;
    std::unique_ptr<TStreamMessages> m_messages;
    std::unique_ptr<TDataFileManager> m_application;
    std::unique_ptr<TProgramLists> m_lists;
    int m_settle = 300;
};
