#pragma once

#include <QString>
#include <QStringList>

class QTextStream;
class TProjectSession;

// The installer's command-line companion: every command works on the program's own libraries.
// Reads commands' input from `in`, prints results on `out` and messages on `err`.
class TQuelnorTool
{
public:
    // `programFolder` holds the log-in library and "Ports" (the console's links).
    TQuelnorTool(QTextStream &in, QTextStream &out, QTextStream &err, const QString &programFolder);

    // `arguments` without the program name; returns the exit status.
    int Run(const QStringList &arguments);

private:
    int Import(const QString &exportPath, const QString &projectPath);
    int Resave(const QString &inPath, const QString &outPath);
    // Updates one application of the project from a new export and saves the project in place;
    // the update viewer's report goes to `out`. `key` picks the application (empty: the only one).
    int Update(const QString &projectPath, const QString &exportPath, const QString &key);
    // Opens a project as the program does, without windows.
    bool OpenHeadless(const QString &path, TProjectSession &session);
    int Usage();

    QTextStream &m_in;
    QTextStream &m_out;
    QTextStream &m_err;
    QString m_programFolder;
};
