#include "TQuelnorTool.h"

#include "TUserFolders.h"

#include <QFile>

#include "TCodePage.h"
#include "TConsole.h"
#include "THistoryCommand.h"
#include "TDataFileManager.h"
#include "TFileAccess.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TStreamMessages.h"

#include <QDateTime>
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
    if (command == QStringLiteral("update") && arguments.size() == 3)
        return Update(arguments[1], arguments[2], QString());
    if (command == QStringLiteral("update") && arguments.size() == 5 && arguments[3] == QStringLiteral("--application"))
        return Update(arguments[1], arguments[2], arguments[4]);
    if (command == QStringLiteral("history") && arguments.size() > 1)
        return THistoryCommand(m_out, m_err).Run(arguments.mid(1));
    if (command == QStringLiteral("console") && arguments.size() > 1)
        return TConsole(m_in, m_out, m_err, m_programFolder).Run(arguments.mid(1));
    return Usage();
}

int TQuelnorTool::Usage()
{
    m_err << "Usage:\n"
             "  quelnor-tool import EXPORT PROJECT   make a project of one application from a configuration export\n"
             "  quelnor-tool resave IN OUT           open a project as the program does and save it in the current format\n"
             "  quelnor-tool update PROJECT EXPORT [--application KEY]\n"
             "                                       update an application of a project from a new export and save it\n"
          << THistoryCommand::Usage() << TConsole::Usage();
    m_err.flush();
    return 2;
}

int TQuelnorTool::Import(const QString &exportPath, const QString &projectPath)
{
    TStreamMessages messages(m_err);
    TProjectSession session(m_programFolder, &messages);
    const QString source = QFileInfo(exportPath).absoluteFilePath();
    TDataFileManager *application = QFileInfo(source).isFile() ? session.AddApplication(source) : nullptr;
    if (!application) {
        m_err << "Cannot read the configuration export " << source << Qt::endl;
        return 1;
    }
    QString error;
    if (!session.Save(projectPath, &error)) {
        m_err << "Cannot write the project " << projectPath << ": " << error << Qt::endl;
        return 1;
    }
    const TRecordSet &records = application->Current();
    m_out << "Imported " << records.Modules.size() << " modules, " << records.Ios.size() << " inputs/outputs, "
          << records.Memos.size() << " memos and " << records.Variables.size() << " variables into "
          << session.Project()->FileName() << Qt::endl;
    return 0;
}

bool TQuelnorTool::OpenHeadless(const QString &path, TProjectSession &session)
{
    QString error;
    if (session.Open(path, &error))
        return true;
    m_err << "Cannot read the project " << path;
    if (!error.isEmpty())
        m_err << ": " << error;
    m_err << Qt::endl;
    return false;
}

int TQuelnorTool::Resave(const QString &inPath, const QString &outPath)
{
    TStreamMessages messages(m_err);
    TProjectSession session(m_programFolder, &messages);
    if (!OpenHeadless(inPath, session))
        return 1;
    QString error;
    if (!session.Save(outPath, &error)) {
        m_err << "Cannot write the project " << outPath << ": " << error << Qt::endl;
        return 1;
    }
    const TProjectManager &project = *session.Project();
    size_t controls = 0;
    project.ForEachItem([&controls](TProjectItemBase &) { ++controls; });
    m_out << "Saved " << project.Applications().size() << " applications, " << project.Screens().size()
          << " screens and " << controls << " controls into " << project.FileName() << Qt::endl;
    return 0;
}

int TQuelnorTool::Update(const QString &projectPath, const QString &exportPath, const QString &key)
{
    TStreamMessages messages(m_err);
    TProjectSession session(m_programFolder, &messages);
    QByteArray original;
    if (!TFileAccess::Read(projectPath, original) || !OpenHeadless(projectPath, session))
        return 1;
    const TProjectManager &project = *session.Project();

    // The application by its key; without one, the project's only application.
    TDataFileManager *application = nullptr;
    QStringList keys;
    for (const auto &candidate : project.Applications()) {
        keys.append(TCodePage::ToDisplay(candidate->Name()));
        if (!key.isEmpty() && keys.last() == key)
            application = candidate.get();
    }
    if (key.isEmpty() && keys.size() == 1)
        application = project.Applications().front().get();
    if (!application) {
        if (key.isEmpty())
            m_err << "The project has " << keys.size() << " applications; choose one with --application:\n";
        else
            m_err << "No application " << key << " in the project; its applications are:\n";
        for (const QString &name : keys)
            m_err << "  " << name << "\n";
        m_err.flush();
        return 1;
    }

    // The backup of the file as it was is written once the export is taken, before the save: an
    // export refused leaves none, and the project is never changed without it.
    const QDateTime now = QDateTime::currentDateTime();
    if (!session.UpdateApplication(*application, exportPath, now, false))
        return 1;
    QString backup;
    if (!session.Project()->BackupProjectContent(projectPath, original, now, &backup)) {
        m_err << "Cannot write the backup copy of the project in " << TUserFolders::BackupFolder(m_programFolder)
              << ": the project was not updated." << Qt::endl;
        return 1;
    }
    QString error;
    if (!session.Save(projectPath, &error)) {
        QFile::remove(backup);  // the project stays as it was: its copy is not needed
        m_err << "Cannot write the project " << projectPath << ": " << error << Qt::endl;
        return 1;
    }
    QStringList report;
    application->Comparison().FormatChangeReport(report);
    for (const QString &line : report)
        m_out << line << "\n";
    m_out.flush();
    return 0;
}
