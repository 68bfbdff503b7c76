#pragma once

#include <QString>

class QTextStream;
class TForm1;

// The File and Project commands that talk with the user: open, open recent, save, save as, the
// save question before the project is left, a new application from an export and the settings
// dialog. The project session does the work; this class asks and tells.
class TFileCommands
{
public:
    // The main window owns the commands and outlives them.
    explicit TFileCommands(TForm1 &owner) : m_owner(owner) {}

    // Closes the current project and opens `path`; a file that cannot be read is said in a
    // message and leaves an empty project.
    bool OpenProject(const QString &path);
    // Started with a project named on the command line: that project, in design time, in place
    // of the last one; a file that cannot be opened is said as any failed open.
    void StartWith(const QString &path);
    void Open();
    void OpenRecent(int index);
    void Save();
    void SaveAs();
    void NewApplication();
    void Option();
    // The save question when the project is modified (and open, unless `evenUnopened`); Yes
    // saves to the project's own file, or under a name asked for. False when the user cancelled
    // or the save failed: the command that asked is abandoned.
    bool AskToSave(bool evenUnopened = false);
    // Writes the program's settings with the open project as the last file; says so when it cannot.
    void KeepSettings();
    // Stopped from outside (a shutdown, SIGTERM): every module logged out at once, unsaved changes
    // written to a recovered copy and said on `err`, no question asked, the window closed.
    void StopNow(QTextStream &err);
    bool Stopping() const { return m_stopping; }

private:
    // Controls left out at the open are removed by a save: asked first; false when the user
    // keeps them (the save is abandoned).
    bool DropsAgreed();
    // Says which screens hold more controls than they show.
    void SayControlsNotShown();
    // Saving over the project's own file that someone else changed meanwhile: Overwrite, Save
    // As… (which sets `name`) or Cancel (false).
    bool OtherWriterAgreed(QString &name);
    // A copy recovered from a stop waits for `path`: the user may open it instead.
    void OfferRecoveredCopy(const QString &path);
    // Saves under `name`, updates the recent files; a failure is shown and answers false.
    bool SaveProject(const QString &name);
    // A project name the settings file can keep; otherwise a message and false.
    bool NameCanBeKept(const QString &path);

    TForm1 &m_owner;
    bool m_stopping = false;
};
