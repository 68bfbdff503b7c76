#pragma once

#include "ListItemData.h"
#include "TProjectManager.h"
#include "TSettingsFile.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QListWidget;
class QMenu;
class TDataFileManager;
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
class TSearchListWindow;
class TWindowBinder;

// The main window: the open project, the program-wide lists of the live model, the program-wide
// mode, and the File, Parameter, Project and Display menus.
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
    void StartWithProject(const QString &path);
    // Wall-panel mode: the last project in run time, its screens full screen, the main window
    // hidden, the screens' menus without the design entries. Set before the first activation.
    void SetKiosk(bool kiosk) { m_kiosk = kiosk; }
    bool Kiosk() const { return m_kiosk; }
    // A screen window shown and brought to the front; full screen in wall-panel mode.
    void ShowScreenWindow(TMyForm11 *window);

    // Closes the current project and opens `path`: applications, their model objects and links,
    // then the screens; those marked open at start-up are shown. False when it cannot be read.
    bool OpenProject(const QString &path);
    void CloseProject();

    // Menu commands.
    void CommandOpen();
    void CommandOpenRecent(int index);
    void CommandSave();
    void CommandSaveAs();
    void CommandNewApplication();
    void CommandAddScreen();
    // The settings dialog; the settings file is written when it closes.
    void CommandOption();
    // From the project summary: an update from a new export, and the removal of an application
    // with its controls and model objects.
    // False when the export could not be taken (said in a message; nothing changed).
    bool UpdateApplication(TDataFileManager &application, const QString &exportPath);
    void RemoveApplication(TDataFileManager &application);
    // "Parameter > Project": the project summary, filled and shown.
    void CommandProjectSummary();
    TForm6 *Connecting() const { return m_connecting; }
    TForm17 *Summary() const { return m_summary; }
    // Before the project is left: the save question when it is modified (and open, unless
    // `evenUnopened`); Yes saves to the project's own file, or under a name asked for. False when
    // the user cancelled or the save failed: the command that asked is abandoned.
    bool AskToSave(bool evenUnopened = false);

    // The program-wide mode with the run-time commands, and the property dialogs of the controls.
    TRunTimeSwitch *RunTime() const { return m_runTime.get(); }
    TPropertyEditor *Properties() const { return m_properties.get(); }
    // The screens' design-time commands: drops, new controls, screen settings and deletion.
    TScreenEditor *ScreenEditor() const { return m_screenEditor.get(); }
    TEditHistory *History() const { return m_history.get(); }
    // "Undo" and "Redo" (design time only), shared by every window with their keys.
    QAction *UndoAction() const { return m_undo; }
    QAction *RedoAction() const { return m_redo; }
    // The snap grid of moves and drops: its step in pixels, 0 when it is off. Kept in the
    // program's own settings (neither the project nor the settings file of the program folder).
    int GridStep() const { return m_gridOn ? m_gridSize : 0; }
    bool GridOn() const { return m_gridOn; }
    int GridSize() const { return m_gridSize; }
    void SetGrid(bool on, int size);
    // The screen the user worked in last, which the alignment toolbar acts on.
    void SetCurrentScreen(TMyForm11 *screen);
    TMyForm11 *CurrentScreen() const;
    QToolBar *AlignBar() const { return m_alignBar; }
    // `at` on the grid's nearest point, when the grid is on.
    QPoint Snapped(const QPoint &at) const;
    // Controls copied or cut, to paste on any screen of the project; forgotten with the project.
    std::vector<TVisualRecord> &Clipboard() { return m_clipboard; }
    // The actions whose keys every window of the program answers.
    QList<QAction *> KeyActions() const { return m_keyActions; }
    // The keys of a screen's selection (select all, delete, copy, paste, nudges ...), which act
    // on the screen they are typed in, in design time.
    QList<QAction *> ScreenKeyActions() const { return m_screenKeyActions; }
    // The title names the project's file, with a marker while it has unsaved changes.
    void UpdateTitle();
    // "Undo" and "Redo" say what they undo and redo, enabled in design time only.
    void UpdateEditActions();
    TWindowBinder *Binder() const { return m_binder.get(); }

    void ShowSearchList(TSearchListWindow *list);
    void ShowScreenList();
    // Shows the first valid screen with that id (a shortcut's target); nothing when none has it.
    void ShowScreen(quint16 screenId);

    TProjectManager *Project() const { return m_project.get(); }
    TProgramLists *Lists() const { return m_lists.get(); }
    TDialogs *Dialogs() const { return m_dialogs; }
    const QString &ProgramFolder() const { return m_programFolder; }
    TSettings &Settings() { return m_settings; }
    std::vector<TMyForm11 *> ScreenWindows() const;
    // An application's link was lost or came back, or the mode changed: the screens' banners and
    // the summary follow.
    void LinkHealthChanged();
    TSearchListWindow *OutputList() const { return m_outputs; }
    TSearchListWindow *InputList() const { return m_inputs; }
    TSearchListWindow *SensorList() const { return m_sensors; }
    TSearchListWindow *MemoList() const { return m_memos; }
    TSearchListWindow *VariableList() const { return m_variables; }
    QListWidget *ScreenList() const { return m_screenList; }
    // The screen list's menu: "Properties" of the selected screen.
    QMenu *ScreenListMenu() const { return m_screenListMenu; }
    QMenu *FileMenu() const { return m_fileMenu; }
    QMenu *ProjectMenu() const { return m_projectMenu; }
    QMenu *DisplayMenu() const { return m_displayMenu; }
    QAction *MenuAction(QMenu *menu, const QString &text) const;
    // The enabling of the menus, recomputed each time one opens.
    void UpdateMenus();
    // The screen list's entries follow the project's screens and their names.
    void RefreshScreenList();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void SetUpApplication(TDataFileManager &application);
    // Saves under `name`, updates the recent files; a failure is shown and answers false.
    bool SaveProject(const QString &name);
    // A project name the settings file can keep; otherwise a message and false.
    bool NameCanBeKept(const QString &path);
    void NewEmptyProject();

    QString m_programFolder;
    std::unique_ptr<TDialogs> m_ownDialogs;
    TDialogs *m_dialogs = nullptr;
    std::unique_ptr<TProgramLists> m_lists;
    std::unique_ptr<TWindowBinder> m_binder;
    std::unique_ptr<TProjectManager> m_project;
    std::unique_ptr<TRunTimeSwitch> m_runTime;
    std::unique_ptr<TPropertyEditor> m_properties;
    std::unique_ptr<TScreenEditor> m_screenEditor;
    std::unique_ptr<TEditHistory> m_history;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QList<QAction *> m_keyActions;
    QList<QAction *> m_screenKeyActions;
    std::vector<TVisualRecord> m_clipboard;
    QPointer<TMyForm11> m_currentScreen;
    QToolBar *m_alignBar = nullptr;
    bool m_gridOn = false;
    int m_gridSize = 10;
    std::function<void()> m_followStack;  // the Undo and Redo entries follow the history and the mode
    TSettings m_settings;
    bool m_activated = false;
    bool m_kiosk = false;

    QMenu *m_fileMenu = nullptr;
    QMenu *m_parameterMenu = nullptr;
    QMenu *m_projectMenu = nullptr;
    QMenu *m_displayMenu = nullptr;
    QMenu *m_screenListMenu = nullptr;
    std::vector<QAction *> m_recentActions;
    TSearchListWindow *m_outputs = nullptr;
    TSearchListWindow *m_inputs = nullptr;
    TSearchListWindow *m_sensors = nullptr;
    TSearchListWindow *m_memos = nullptr;
    TSearchListWindow *m_variables = nullptr;
    QListWidget *m_screenList = nullptr;
    TForm6 *m_connecting = nullptr;
    TForm17 *m_summary = nullptr;
};
