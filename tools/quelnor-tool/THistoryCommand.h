#pragma once

#include <QStringList>

class QTextStream;

// quelnor-tool history DATABASE [--since ISO] [--until ISO] [--module N] [--kind K] [--csv]:
// the recorded rows, oldest first, as aligned text or as CSV.
class THistoryCommand
{
public:
    THistoryCommand(QTextStream &out, QTextStream &err);
    // `arguments` after "history"; returns the exit status.
    int Run(const QStringList &arguments);
    static QString Usage();

private:
    QTextStream &m_out;
    QTextStream &m_err;
};
