#include "TFileAccess.h"
#include "TQuelnorTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    TFileAccess::ReportFileSizeLimitAsError();
    QCoreApplication app(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    TQuelnorTool tool(in, out, err, QCoreApplication::applicationDirPath());
    const int status = tool.Run(app.arguments().mid(1));
    out.flush();
    err.flush();
    return status;
}
