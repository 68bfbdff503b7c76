#pragma once

#include "TFileCommands.h"
#include "TProjectManager.h"
#include "TProjectSession.h"
#include "TScreenListWindow.h"
#include "TSearchLists.h"
#include "TSettingsFile.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

class QAction;
class QListWidget;
class QMenu;
class TDataFileManager;
class TEditorActions;
class TFileCommands;
class TScreenListWindow;
class TProjectSession;
class TDialogs;
class TForm6;
class TForm17;
class QToolBar;
class TEditHistory;
class TMyForm11;
class TProgramLists;
class TProjectManager;
class TPropertyEditor;
class TRunTimeSwitch;
class TScreenEditor;
class TWindowBinder;

// The main window: the File, Edit, Parameter, Project and Display menus over the project session,
// and the windows that show the project (screens, search lists, summary).
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // `dialogs` answers the boxes and file dialogs (not owned; none: the real ones).
    explicit TForm1(const QString &programFolder, TDialogs *dialogs = nullptr, QWidget *parent = nullptr);
    ~TForm1() override;

    // Design time, the settings, and the last project when the settings ask for it. Once.
    void FirstActivation();
    // Started with a project named on the command line: that project, in design time, in place
    // of the last one; a file that cannot be opened is said as any failed open.
    void StartWithProject(const QString &path)
    {
        m_activated = true;
        m_files->StartWith(path);
    }
    // Wall-panel mode: the last project in run time, its screens full screen, the main window
    // hidden, the screens' menus without the design entries. Set before the first activation.
    void SetKiosk(bool kiosk) { m_kiosk = kiosk; }
    bool Kiosk() const { return m_kiosk; }
    // A screen window shown and brought to the front; full screen in wall-panel mode.
    void ShowScreenWindow(TMyForm11 *window);

    // Closes the current project and opens `path`: applications, their model objects and links,
    // then the screens; those marked open at start-up are shown. False when it cannot be read.
    bool OpenProject(const QString &path) { return m_files->OpenProject(path); }
    void CloseProject();

    // Menu commands.
    void CommandOpen() { m_files->Open(); }
    void CommandOpenRecent(int index) { m_files->OpenRecent(index); }
    void CommandSave() { m_files->Save(); }
    void CommandSaveAs() { m_files->SaveAs(); }
    void CommandNewApplication() { m_files->NewApplication(); }
    void CommandAddScreen();
    // The settings dialog; the settings file is written when it closes.
    void CommandOption() { m_files->Option(); }
    // From the project summary: an update from a new export, and the removal of an application
    // with its controls and model objects.
    // False when the export could not be taken (said in a message; nothing changed).
    bool UpdateApplication(TDataFileManager &application, const QString &exportPath)
    {
        return m_session->UpdateApplication(application, exportPath);
    }
    void RemoveApplication(TDataFileManager &application);
    // "Parameter > Project": the project summary, filled and shown.
    void CommandProjectSummary();
    TForm6 *Connecting() const { return m_connecting; }
    // The project summary, made if it is not yet.
    TForm17 *Summary();
    // Before the project is left: the save question when it is modified (and open, unless
    // `evenUnopened`); Yes saves to the project's own file, or under a name asked for. False when
    // the user cancelled or the save failed: the command that asked is abandoned.
    bool AskToSave(bool evenUnopened = false) { return m_files->AskToSave(evenUnopened); }
    void StopNow(QTextStream &err) { m_files->StopNow(err); }
    // Asked to stop: StopNow ran (perhaps before the event loop started).
    bool Stopping() const { return m_files->Stopping(); }

    // The program-wide mode with the run-time commands, and the property dialogs of the controls.
    TRunTimeSwitch *RunTime() const { return m_runTime.get(); }
    TPropertyEditor *Properties() const { return m_properties.get(); }
    // The screens' design-time commands: drops, new controls, screen settings and deletion.
    TScreenEditor *ScreenEditor() const { return m_screenEditor.get(); }
    TEditHistory *History() const { return m_history.get(); }
    // Undo and Redo, the selection keys, the alignment toolbar, the clipboard and the grid.
    TEditorActions *Editor() const { return m_editor; }
    // The open project, its model and links, and the mode: every change passes there.
    TProjectSession *Session() const { return m_session; }
    // The actions whose keys every window of the program answers.
    QList<QAction *> KeyActions() const { return m_keyActions; }
    // The title names the project's file, with a marker while it has unsaved changes.
    void UpdateTitle();
    // The mode was set (changed or not): banners, edit actions and lists follow.
    void FollowMode();
    void UpdateEditActions();
    TWindowBinder *Binder() const { return m_binder.get(); }

    void ShowSearchList(TSearchListWindow *list);
    void ShowScreenList();
    // Shows the first valid screen with that id (a shortcut's target); nothing when none has it.
    void ShowScreen(quint16 screenId);

    TProjectManager *Project() const { return m_session->Project(); }
    TProgramLists *Lists() const { return m_session->Lists(); }
    TDialogs *Dialogs() const { return m_dialogs; }
    const QString &ProgramFolder() const { return m_programFolder; }
    TSettings &Settings() { return m_settings; }
    std::vector<TMyForm11 *> ScreenWindows() const;
    // An application's link was lost or came back, or the mode changed: the screens' banners and
    // the summary follow.
    void LinkHealthChanged();
    // The search lists, each window made when first asked for.
    TSearchListWindow *OutputList() const { return m_searchLists->Get(TSearchLists::Kind::Outputs); }
    TSearchListWindow *InputList() const { return m_searchLists->Get(TSearchLists::Kind::Inputs); }
    TSearchListWindow *SensorList() const { return m_searchLists->Get(TSearchLists::Kind::Sensors); }
    TSearchListWindow *MemoList() const { return m_searchLists->Get(TSearchLists::Kind::Memos); }
    TSearchListWindow *VariableList() const { return m_searchLists->Get(TSearchLists::Kind::Variables); }
    // The screen list and its menu, made if they are not yet.
    QListWidget *ScreenList() { return ScreenListWindow(); }
    // The screen list's menu: "Properties" of the selected screen.
    QMenu *ScreenListMenu() { return ScreenListWindow()->Menu(); }
    QMenu *FileMenu() const { return m_fileMenu; }
    QMenu *ProjectMenu() const { return m_projectMenu; }
    QMenu *DisplayMenu() const { return m_displayMenu; }
    // The enabling of the menus, recomputed each time one opens.
    void UpdateMenus();
    // The screen list's entries follow the project's screens and their names.
    void RefreshScreenList();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TScreenListWindow *ScreenListWindow();
    void MakeMenus();
    // The session's announcements: the windows follow the open project.
    void FollowSession();
    void ProjectShown();
    void SourcesChanged();

    QString m_programFolder;
    std::unique_ptr<TDialogs> m_ownDialogs;
    TDialogs *m_dialogs = nullptr;
    TProjectSession *m_session = nullptr;
    std::unique_ptr<TWindowBinder> m_binder;
    std::unique_ptr<TRunTimeSwitch> m_runTime;
    std::unique_ptr<TPropertyEditor> m_properties;
    std::unique_ptr<TScreenEditor> m_screenEditor;
    std::unique_ptr<TEditHistory> m_history;
    std::unique_ptr<TFileCommands> m_files;
    TEditorActions *m_editor = nullptr;
    QList<QAction *> m_keyActions;
    TSettings m_settings;
    bool m_activated = false;
    bool m_kiosk = false;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_parameterMenu = nullptr;
    QMenu *m_projectMenu = nullptr;
    QMenu *m_displayMenu = nullptr;
    std::vector<QAction *> m_recentActions;
    QAction *m_save = nullptr;
    QAction *m_saveAs = nullptr;
    QAction *m_createProject = nullptr;
    QAction *m_addApplication = nullptr;
    QAction *m_addScreen = nullptr;
    QAction *m_projectSummary = nullptr;
    std::unique_ptr<TSearchLists> m_searchLists;
    TScreenListWindow *m_screenList = nullptr;
    TForm6 *m_connecting = nullptr;
    TForm17 *m_summary = nullptr;
};
