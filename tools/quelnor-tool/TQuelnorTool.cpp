#include "TQuelnorTool.h"

#include "TConsole.h"
#include "TDataFileManager.h"
#include "TProjectFile.h"
#include "TStreamMessages.h"

#include <QFileInfo>
#include <QTextStream>

TQuelnorTool::TQuelnorTool(QTextStream &in, QTextStream &out, QTextStream &err, const QString &programFolder)
    : m_in(in)
    , m_out(out)
    , m_err(err)
    , m_programFolder(programFolder)
{
}

int TQuelnorTool::Run(const QStringList &arguments)
{
    const QString command = arguments.value(0);
    if (command == QStringLiteral("import") && arguments.size() == 3)
        return Import(arguments[1], arguments[2]);
    if (command == QStringLiteral("console") && arguments.size() > 1)
        return TConsole(m_in, m_out, m_err, m_programFolder).Run(arguments.mid(1));
    return Usage();
}

int TQuelnorTool::Usage()
{
    m_err << "Usage:\n"
             "  quelnor-tool import EXPORT PROJECT   make a project of one application from a configuration export\n"
          << TConsole::Usage();
    m_err.flush();
    return 2;
}

int TQuelnorTool::Import(const QString &exportPath, const QString &projectPath)
{
    TStreamMessages messages(m_err);
    TDataFileManager application(nullptr, {}, &messages);
    const QString source = QFileInfo(exportPath).absoluteFilePath();
    if (!QFileInfo(source).isFile() || !application.ExportImport(source, TDataFileManager::ImportReplace)) {
        m_err << "Cannot read the configuration export " << source << Qt::endl;
        return 1;
    }
    application.Settings().SourcePath = application.Name();
    application.Settings().ApplicationId = 1;

    const QByteArray content = TProjectFile::Compose({&application});
    QString savedAs;
    QString error;
    if (!TProjectFile::Save(projectPath, content, &savedAs, &error)) {
        m_err << "Cannot write the project " << savedAs << ": " << error << Qt::endl;
        return 1;
    }
    const TRecordSet &records = application.Current();
    m_out << "Imported " << records.Modules.size() << " modules, " << records.Ios.size() << " inputs/outputs, "
          << records.Memos.size() << " memos and " << records.Variables.size() << " variables into "
          << savedAs << Qt::endl;
    return 0;
}
