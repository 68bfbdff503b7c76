#include "TQuelnorTool.h"

#include "TConsole.h"
#include "TDataFileManager.h"
#include "THeadlessBinder.h"
#include "TProgramLists.h"
#include "TProjectManager.h"
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
    if (command == QStringLiteral("resave") && arguments.size() == 3)
        return Resave(arguments[1], arguments[2]);
    if (command == QStringLiteral("console") && arguments.size() > 1)
        return TConsole(m_in, m_out, m_err, m_programFolder).Run(arguments.mid(1));
    return Usage();
}

int TQuelnorTool::Usage()
{
    m_err << "Usage:\n"
             "  quelnor-tool import EXPORT PROJECT   make a project of one application from a configuration export\n"
             "  quelnor-tool resave IN OUT           open a project as the program does and save it in the current format\n"
          << TConsole::Usage();
    m_err.flush();
    return 2;
}

int TQuelnorTool::Import(const QString &exportPath, const QString &projectPath)
{
    TStreamMessages messages(m_err);
    TProjectManager project(m_programFolder, &messages);
    const QString source = QFileInfo(exportPath).absoluteFilePath();
    TDataFileManager *application = project.NewApplication(QByteArray());
    if (!QFileInfo(source).isFile() || !application->ExportImport(source, TDataFileManager::ImportReplace)) {
        m_err << "Cannot read the configuration export " << source << Qt::endl;
        return 1;
    }
    application->Settings().SourcePath = application->Name();
    application->Settings().ApplicationId = 1;

    QString error;
    if (!project.WriteProject(projectPath, &error)) {
        m_err << "Cannot write the project " << projectPath << ": " << error << Qt::endl;
        return 1;
    }
    const TRecordSet &records = application->Current();
    m_out << "Imported " << records.Modules.size() << " modules, " << records.Ios.size() << " inputs/outputs, "
          << records.Memos.size() << " memos and " << records.Variables.size() << " variables into "
          << project.FileName() << Qt::endl;
    return 0;
}

int TQuelnorTool::Resave(const QString &inPath, const QString &outPath)
{
    TStreamMessages messages(m_err);
    TProjectManager project(m_programFolder, &messages);
    if (!project.OpenProject(inPath)) {
        m_err << "Cannot read the project " << inPath << Qt::endl;
        return 1;
    }
    TProgramLists lists(nullptr, m_programFolder, &messages);
    for (const auto &application : project.Applications())
        lists.AddApplication(*application);
    THeadlessBinder binder;
    if (!project.ReadScreens(binder, lists, inPath)) {
        m_err << "Cannot read the screens of the project " << inPath << Qt::endl;
        return 1;
    }
    QString error;
    if (!project.WriteProject(outPath, &error)) {
        m_err << "Cannot write the project " << outPath << ": " << error << Qt::endl;
        return 1;
    }
    m_out << "Saved " << project.Applications().size() << " applications, " << project.Screens().size()
          << " screens and " << (project.Outputs().size() + project.Shortcuts().size() + project.Memos().size()
                                 + project.Variables().size() + project.Cameras().size() + project.Gauges().size())
          << " controls into " << project.FileName() << Qt::endl;
    return 0;
}
