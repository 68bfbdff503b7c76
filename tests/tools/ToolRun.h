#pragma once

#include "TQuelnorTool.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// One in-process run of quelnor-tool: its exit status and what it printed.
struct ToolRun
{
    int status = 0;
    QString out;
    QString err;
};

inline ToolRun RunTool(const QStringList &arguments, QString input = {},
                       const QString &programFolder = QStringLiteral(QUELNOR_PROGRAM_DIR))
{
    ToolRun run;
    QTextStream in(&input);
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = TQuelnorTool(in, out, err, programFolder).Run(arguments);
    out.flush();
    err.flush();
    return run;
}
