#include "TFileCommands.h"

#include "TMyForm11.h"
#include "TScreenArea.h"

#include "TCodePage.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TForm1.h"
#include "TForm2.h"
#include "TForm6.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TRecoveryCopy.h"
#include "TRunTimeSwitch.h"
#include "TSettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

namespace {

const QString k_exportFilter = QStringLiteral("Fichier Quelnor2 (*.qap)");
const QString k_projectFilter = QStringLiteral("Fichier Graphique Quelnor2 (*.qvp)");

} // namespace

bool TFileCommands::OpenProject(const QString &path)
{
    m_owner.Connecting()->ConnectTimer()->stop();
    m_owner.Connecting()->hide();
    // Open in another program too: read only, or not at all.
    bool readOnly = false;
    if (const QString holder = m_owner.Session()->OtherHolder(path); !holder.isEmpty()) {
        const QString question = QStringLiteral("This project is open in another Visual Quelnor (%1):\n%2\n"
                                                "Open it read only? Changes can then be kept only with \"Save As\".")
                                     .arg(holder, path);
        if (!m_owner.Dialogs()->Confirm(question, QStringLiteral("Project in use")))
            return false;
        readOnly = true;
    }
    QString error;
    // Whatever the open has to say (missing pictures, warnings) comes in one box at its end.
    m_owner.Dialogs()->BeginGathering();
    const bool opened = m_owner.Session()->Open(path, &error, readOnly);
    if (opened)
        SayControlsNotShown();
    m_owner.Dialogs()->EndGathering();
    if (opened) {
        OfferRecoveredCopy(path);
        return true;
    }
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

void TFileCommands::SayControlsNotShown()
{
    for (TMyForm11 *screen : m_owner.ScreenWindows()) {
        if (const int notShown = screen->ControlsNotShown(); notShown > 0)
            m_owner.Dialogs()->ShowMessage(QStringLiteral("The screen \"%1\" holds more controls than one screen can show: %2 of them "
                                                          "are not shown (at most %3 are). The file keeps them all.")
                                               .arg(screen->windowTitle())
                                               .arg(notShown)
                                               .arg(TScreenArea::MaxShownControls));
    }
}

bool TFileCommands::DropsAgreed()
{
    TProjectManager *project = m_owner.Project();
    const int dropped = project->DroppedAtOpen();
    if (dropped == 0)
        return true;
    const QString question = QStringLiteral("%1 controls of this project were left out when it was opened (what they show was not "
                                            "found). Saving removes them from the file for good.\nSave anyway?")
                                 .arg(dropped);
    if (!m_owner.Dialogs()->Confirm(question, QStringLiteral("Controls left out")))
        return false;
    project->DropsAccepted();
    return true;
}

bool TFileCommands::OtherWriterAgreed(QString &name)
{
    TProjectManager *project = m_owner.Project();
    const QString withType = name.endsWith(QStringLiteral(".qvp")) ? name : name + QStringLiteral(".qvp");
    if (QFileInfo(withType).absoluteFilePath() != QFileInfo(project->FileName()).absoluteFilePath() || !m_owner.Session()->ChangedOnDisk())
        return true;
    const int choice = m_owner.Dialogs()->Choose(QStringLiteral("The file has been changed by another program since it was opened:\n")
                                                     + project->FileName(),
                                                 QStringLiteral("Save"),
                                                 {QStringLiteral("Overwrite"), QStringLiteral("Save As…"), QStringLiteral("Cancel")});
    if (choice == 0)
        return true;
    if (choice != 1)
        return false;
    name = m_owner.Dialogs()->SaveFileName(m_owner.Settings().ProjectFolder, k_projectFilter);
    return !name.isEmpty() && NameCanBeKept(name) && OtherWriterAgreed(name);
}

bool TFileCommands::SaveProject(const QString &name)
{
    if (!DropsAgreed())
        return false;
    QString target = name;
    if (!OtherWriterAgreed(target))
        return false;
    QString error;
    if (!m_owner.Session()->Save(target, &error)) {
        m_owner.Dialogs()->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return false;
    }
    TSettingsFile::UpdateRecentFiles(m_owner.Settings(), m_owner.Project()->FileName());
    TRecoveryCopy::Discard(m_owner.Project()->FileName());
    m_owner.History()->Saved();
    m_owner.UpdateTitle();
    return true;
}

bool TFileCommands::AskToSave(bool evenUnopened)
{
    if (m_stopping)
        return true;  // nobody to answer: the changes went to the recovered copy
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
        // A project never saved has no file yet; one whose file was deleted says so.
        const QString why = project->FileName().isEmpty() ? QString()
                                                           : QStringLiteral("\nThe project's file is gone (deleted or moved): ") + project->FileName()
                                                                 + QStringLiteral("\nSave it with \"Save As\".");
        m_owner.Dialogs()->ShowMessage(QStringLiteral("unableTo Save Project") + why);
        return;
    }
    QString name = project->FileName();
    if (!DropsAgreed() || !OtherWriterAgreed(name))
        return;
    if (name != project->FileName()) {
        SaveProject(name);
        return;
    }
    QString error;
    if (!m_owner.Session()->Save(project->FileName(), &error)) {
        m_owner.Dialogs()->ShowMessage(QStringLiteral("unableTo Save Project\n") + error);
        return;
    }
    TRecoveryCopy::Discard(project->FileName());
    m_owner.History()->Saved();
    m_owner.UpdateTitle();
    m_owner.Settings().LastFile = project->FileName();
    KeepSettings();
}

void TFileCommands::KeepSettings()
{
    if (!TSettingsFile::Write(m_owner.ProgramFolder(), m_owner.Settings(), m_owner.Project()->FileName()))
        m_owner.Dialogs()->ShowMessage(QStringLiteral("The settings (recent files, last file) could not be written:\n") +
                                       TSettingsFile::FilePath(m_owner.ProgramFolder()));
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
    KeepSettings();
}

void TFileCommands::StopNow(QTextStream &err)
{
    m_stopping = true;
    TProjectSession *session = m_owner.Session();
    // Every module hears the log-out before anything else is done.
    session->CloseLinks();
    m_owner.Dialogs()->Stop();
    if (session->IsModified()) {
        const QString fallback = m_owner.Settings().ProjectFolder.isEmpty() ? QDir(m_owner.ProgramFolder()).filePath(QStringLiteral("Data"))
                                                                           : m_owner.Settings().ProjectFolder;
        QString where, error;
        if (TRecoveryCopy::Write(*session, fallback, &where, &error))
            err << "Visual Quelnor stopped with unsaved changes; they were written to " << where << Qt::endl;
        else
            err << "Visual Quelnor stopped with unsaved changes, which could not be written to " << where << ": " << error << Qt::endl;
    }
    session->ReleaseLock();
    m_owner.close();
}

void TFileCommands::OfferRecoveredCopy(const QString &path)
{
    const QString copy = TRecoveryCopy::Waiting(path);
    if (copy.isEmpty())
        return;
    const QString question = QStringLiteral("The program was stopped with changes to this project that were not saved; they were kept in\n")
                             + copy + QStringLiteral("\nOpen them in place of the saved project?");
    if (!m_owner.Dialogs()->Confirm(question, QStringLiteral("Recovered changes")))
        return;
    QString error;
    const bool readOnly = m_owner.Session()->ReadOnly();
    if (!m_owner.Session()->Open(copy, &error, readOnly)) {
        m_owner.Dialogs()->ShowMessage(QStringLiteral("Unable to open the project\n") + copy + QLatin1Char('\n') + error);
        m_owner.Session()->Open(path, nullptr, readOnly);
        return;
    }
    // Saved, the changes go where they belong: into the project's own file.
    m_owner.Session()->AdoptFile(path);
    m_owner.Project()->SetModified();
    m_owner.Session()->CheckModified();
}
