#include "TFileCommands.h"

#include "TCodePage.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TForm1.h"
#include "TForm2.h"
#include "TForm6.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TRunTimeSwitch.h"
#include "TSettingsFile.h"

#include <QFileInfo>
#include <QTimer>

namespace {

const QString k_exportFilter = QStringLiteral("Fichier Quelnor2 (*.qap)");
const QString k_projectFilter = QStringLiteral("Fichier Graphique Quelnor2 (*.qvp)");

} // namespace

bool TFileCommands::OpenProject(const QString &path)
{
    m_owner.Connecting()->ConnectTimer()->stop();
    m_owner.Connecting()->hide();
    QString error;
    if (m_owner.Session()->Open(path, &error))
        return true;
    if (!error.isEmpty())
        m_owner.Dialogs()->ShowMessage(QStringLiteral("Unable to open the project\n") + path + QLatin1Char('\n') + error);
    return false;
}

void TFileCommands::StartWith(const QString &path)
{
    m_owner.Settings() = TSettingsFile::Read(m_owner.ProgramFolder());
    m_owner.RunTime()->SwitchEveryControl(RunMode::DesignTime);
    const QString file = QFileInfo(path).absoluteFilePath();
    if (OpenProject(file)) {
        m_owner.Project()->SetFileName(file);
        TSettingsFile::UpdateRecentFiles(m_owner.Settings(), file);
        m_owner.UpdateTitle();
    }
}

bool TFileCommands::SaveProject(const QString &name)
{
    QString error;
    if (!m_owner.Session()->Save(name, &error)) {
        m_owner.Dialogs()->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return false;
    }
    TSettingsFile::UpdateRecentFiles(m_owner.Settings(), m_owner.Project()->FileName());
    m_owner.History()->Saved();
    m_owner.UpdateTitle();
    return true;
}

bool TFileCommands::AskToSave(bool evenUnopened)
{
    TProjectSession *session = m_owner.Session();
    if ((!evenUnopened && !session->Project()->IsOpen()) || !session->IsModified())
        return true;
    const TDialogs::Answer answer = m_owner.Dialogs()->AskSave();
    if (answer == TDialogs::No)
        return true;
    if (answer != TDialogs::Yes)
        return false;
    // A project with a file of its own is saved there; a new one asks for a name.
    QString name = session->Project()->FileName();
    if (!QFileInfo(name).isFile()) {
        name = m_owner.Dialogs()->SaveFileName(m_owner.Settings().ProjectFolder, k_projectFilter);
        if (name.isEmpty() || !NameCanBeKept(name))
            return false;
    }
    return SaveProject(name);
}

bool TFileCommands::NameCanBeKept(const QString &path)
{
    // The settings file keeps the project's name as Windows-1252 text between "|" separators.
    const QString refused = TCodePage::CheckStoredText(path);
    if (refused.isEmpty())
        return true;
    m_owner.Dialogs()->ShowMessage(refused);
    return false;
}

void TFileCommands::Open()
{
    if (!AskToSave())
        return;
    if (m_owner.Session()->Mode() == RunMode::RunTime)
        m_owner.RunTime()->SwitchEveryControl(RunMode::DesignTime);
    const QString path = m_owner.Dialogs()->OpenFileName(m_owner.Settings().ProjectFolder, k_projectFilter);
    if (path.isEmpty() || !OpenProject(path))
        return;
    TSettingsFile::UpdateRecentFiles(m_owner.Settings(), path);
    m_owner.Project()->SetFileName(path);
}

void TFileCommands::OpenRecent(int index)
{
    const QStringList &recent = m_owner.Settings().RecentFiles;
    if (index < 0 || index >= recent.size())
        return;
    const QString path = recent[index];
    if (!AskToSave() || !OpenProject(path))
        return;
    TSettingsFile::UpdateRecentFiles(m_owner.Settings(), path);
}

void TFileCommands::Save()
{
    TProjectManager *project = m_owner.Project();
    if (!QFileInfo(project->FileName()).isFile()) {
        m_owner.Dialogs()->ShowMessage(QStringLiteral("unableTo Save Project"));
        return;
    }
    QString error;
    if (!m_owner.Session()->Save(project->FileName(), &error)) {
        m_owner.Dialogs()->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return;
    }
    m_owner.History()->Saved();
    m_owner.UpdateTitle();
    m_owner.Settings().LastFile = project->FileName();
    TSettingsFile::Write(m_owner.ProgramFolder(), m_owner.Settings(), project->FileName());
}

void TFileCommands::SaveAs()
{
    const QString name = m_owner.Dialogs()->SaveFileName(m_owner.Settings().ProjectFolder, k_projectFilter);
    if (name.isEmpty() || !NameCanBeKept(name))
        return;
    SaveProject(name);
}

void TFileCommands::NewApplication()
{
    const QString path = m_owner.Dialogs()->OpenFileName(m_owner.Settings().ExportFolder, k_exportFilter);
    if (!path.isEmpty())
        m_owner.Session()->AddApplication(path);
}

void TFileCommands::Option()
{
    TForm2 dialog(m_owner.Settings(), &m_owner);
    m_owner.Dialogs()->Exec(dialog);
    TSettingsFile::Write(m_owner.ProgramFolder(), m_owner.Settings(), m_owner.Project()->FileName());
}
