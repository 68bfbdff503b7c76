#pragma once

#include "TBoundControl.h"
#include "TLinkSession.h"
#include "TProjectLock.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>

class TDataFileManager;
class TProgramLists;
class TProjectBinder;
class TProjectManager;
class TVQQMemoBaseItem;
class TVQQModuleBase;
class TVQQVariableBaseItem;
class UserMessages;

// The model objects travel through signals (and queued connections) as plain pointers.
Q_DECLARE_OPAQUE_POINTER(TVQQModuleBase *)
Q_DECLARE_OPAQUE_POINTER(TVQQMemoBaseItem *)
Q_DECLARE_OPAQUE_POINTER(TVQQVariableBaseItem *)
Q_DECLARE_METATYPE(TVQQModuleBase *)
Q_DECLARE_METATYPE(TVQQMemoBaseItem *)
Q_DECLARE_METATYPE(TVQQVariableBaseItem *)
Q_DECLARE_METATYPE(RunMode)
Q_DECLARE_METATYPE(LinkHealth)

// The open project and everything live in it: the project with its applications, the program
// lists of model objects and links, and the program-wide mode. Every change of the project and
// of the installation passes here and is announced once, after it was accepted; windows, the
// command-line tools and later features only subscribe. Needs no window: a headless caller gives
// it a headless binder.
//
// Lifetimes: Project() and Lists() are replaced when a project is opened or closed. Between
// aboutToClose() and closed() the old ones are still valid; after closed() only the new (empty)
// ones are. An application, module, memo or variable passed by a signal is valid during the call;
// keep it longer only until applicationRemoved() or aboutToClose().
class TProjectSession : public QObject
{
    Q_OBJECT

public:
    // `messages` shows what the readers report; it must outlive the session.
    TProjectSession(const QString &programFolder, UserMessages *messages, QObject *parent = nullptr);
    ~TProjectSession() override;

    // Makes the screens and controls of the projects opened from now on; not owned, it must
    // outlive every project the session opens (set it before the first open). Without one the
    // session binds headless: screens are plain records.
    void SetBinder(TProjectBinder *binder) { m_binder = binder ? binder : m_headless.get(); }
    TProjectBinder *Binder() const { return m_binder; }

    TProjectManager *Project() const { return m_project.get(); }
    TProgramLists *Lists() const { return m_lists.get(); }
    const QString &ProgramFolder() const { return m_programFolder; }
    UserMessages *Messages() const { return m_messages; }

    // The program-wide mode; NotSet before the first activation, which controls take as design time.
    RunMode Mode() const { return m_mode; }
    RunMode ModeForNewControls() const { return m_mode == RunMode::NotSet ? RunMode::DesignTime : m_mode; }
    bool InDesign() const { return m_mode != RunMode::RunTime && m_mode != RunMode::Test; }
    // Every control takes the mode; entering test mode keeps what the modules reported and
    // leaving it puts that back. False (and no signal) when the mode was already that one.
    bool SetMode(RunMode mode);

    // Closes the project and opens `path`: applications with their model objects and links, then
    // screens and controls. False with `error` (empty when a message said it) when it cannot be
    // read: an empty, unopened project is left, never half of one.
    // `readOnly`: another program has it open (OtherHolder); saving over it is then refused.
    bool Open(const QString &path, QString *error = nullptr, bool readOnly = false);
    // Who else has the project at `path` open, or empty (see TProjectLock).
    QString OtherHolder(const QString &path) const;
    bool ReadOnly() const { return m_readOnly; }
    // The project opened from a recovered copy belongs to `path`: named, compared and marked so.
    void AdoptFile(const QString &path);
    // The program is ending: another may open the project at once.
    void ReleaseLock() { m_lock.Release(); }
    // The project's file was replaced, rewritten or cut by someone else since it was read or
    // written here.
    bool ChangedOnDisk() const;
    // Every link closed, every screen and control destroyed; an empty, unopened project remains.
    void Close();
    // Saves under `name` (".qvp" added when missing); false with `error` when the save failed and
    // the previous file is kept.
    bool Save(const QString &name, QString *error = nullptr);

    // A new application imported from a configuration export, with the next free id. None, with
    // a message, when the export cannot be read, is no export or cannot be named in the project.
    TDataFileManager *AddApplication(const QString &exportPath);
    // Takes a newer export of the application in; false, with a message, when that export is
    // refused (the project is then left as it was).
    bool UpdateApplication(TDataFileManager &application, const QString &exportPath,
                           const QDateTime &now = QDateTime::currentDateTime(), bool backup = true);
    // Its link closed, its controls and model objects destroyed, then the application itself.
    void RemoveApplication(TDataFileManager &application);
    // An application removed, made again from `project` (the whole project as composed before the
    // removal) at its place `index` in the list, with its model objects; its controls are not.
    TDataFileManager *RestoreApplication(const QByteArray &name, const QByteArray &project, size_t index);

    // Closes every application's link (a UDP link logs out).
    void CloseLinks();

    // Whether the project has changes not saved; modifiedChanged() follows it. Edits made
    // outside the session (a control moved, a dialog confirmed) call CheckModified().
    bool IsModified() const;
    void CheckModified();

signals:
    // A project was read whole and is the open one.
    void projectOpened();
    // The open project is about to go: it and everything in it are still valid.
    void aboutToClose();
    // The project went; an empty one is in its place.
    void closed();
    // An application joined the open project (its model objects and link made) or is about to
    // leave it (still whole during the call).
    void applicationAdded(TDataFileManager *application);
    void applicationRemoved(TDataFileManager *application);
    // An application was updated from a new export: its model objects follow the new lists.
    void applicationUpdated(TDataFileManager *application);
    void modeChanged(RunMode mode);
    // An application's link health changed, or the reason of its loss did.
    void healthChanged(TDataFileManager *application, LinkHealth health);
    // A module's state changed in these parts (StatePart bits): after a frame was accepted, or
    // a test-mode click; never for a frame dropped or a repeated report.
    void stateChanged(TDataFileManager *application, TVQQModuleBase *module, quint8 parts);
    void memoChanged(TDataFileManager *application, TVQQMemoBaseItem *memo);
    void variableChanged(TDataFileManager *application, TVQQVariableBaseItem *variable);
    // The switched power total, in watts, when it changed.
    void powerChanged(quint32 watts);
    // A bus frame went out on an application's link (a command or a refresh request).
    void commandSent(TDataFileManager *application, const QByteArray &frame);
    void modifiedChanged(bool modified);

private:
    // Controls the open had to leave out: one message with how many and why; the project then
    // counts as modified.
    void SayDroppedControls();

    // A fresh empty project and program lists, their announcements relayed.
    void MakeEmpty();
    // Links closed, screens and controls destroyed, model objects gone; the project stays.
    void TearDown();
    // The application's model objects and link made and its announcements relayed.
    void Attach(TDataFileManager &application);

    QString m_programFolder;
    UserMessages *m_messages = nullptr;
    std::unique_ptr<TProjectBinder> m_headless;  // outlives the projects it bound
    TProjectLock m_lock;
    bool m_readOnly = false;
    TProjectBinder *m_binder = nullptr;
    std::unique_ptr<TProgramLists> m_lists;
    std::unique_ptr<TProjectManager> m_project;
    RunMode m_mode = RunMode::NotSet;
    quint32 m_power = 0;
    bool m_modified = false;
};
