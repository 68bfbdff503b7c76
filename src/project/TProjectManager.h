#pragma once

#include "TControlList.h"
#include "TProjectBinder.h"
#include "VisualRecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

class TDataFileManager;

class TProgramLists;
class UserMessages;

// The open project: its applications, its screens and placed controls, its file. Owns the
// applications; screens and controls belong to the binder that made them, the project keeps them
// in lists in file order.
class TProjectManager
{
public:
    static constexpr quint8 FileVersion = 4;

    // `messages` must outlive the project.
    TProjectManager(const QString &programFolder, UserMessages *messages);
    ~TProjectManager();

    // The whole file: header, a data block per application, the seven sections.
    QByteArray Compose();
    // Saves the project atomically under `name` (".qvp" added when missing, compared with case).
    // On success the project takes that name and is no longer modified; on failure the previous
    // file stays as it was and `error` says why.
    bool WriteProject(const QString &name, QString *error = nullptr);

    // Version check and upgrade copy, the application list and each application's data block.
    // False when the file cannot be taken; `error` then says why (empty when a message said it).
    bool OpenProject(const QString &name, QString *error = nullptr);
    // The screen and control sections, bound to the model objects in `lists`.
    bool ReadScreens(TProjectBinder &binder, const TProgramLists &lists, const QString &name);
    // The file read was of an older format and its copy could not be written: saving over it
    // would lose the only copy in that format.
    bool OldVersionUnkept() const { return m_oldVersionUnkept; }
    void OldVersionSavedElsewhere() { m_oldVersionUnkept = false; }

    TDataFileManager *NewApplication(const QByteArray &sourcePath);
    void RemoveApplication(TDataFileManager *application);
    // Moves an application to `index` in the list (an application put back where it stood).
    void MoveApplication(TDataFileManager *application, size_t index);
    // Whether the control shows a state of `application` (an output, a memo or a variable of it).
    bool BelongsTo(TProjectItemBase &item, const TDataFileManager &application) const;
    // The application with that id, else the last one; none without applications.
    TDataFileManager *ApplicationById(quint16 id) const;
    const std::vector<std::unique_ptr<TDataFileManager>> &Applications() const { return m_applications; }

    // Lowest id from 1 to 127 not in use, 0 when none is left.
    quint8 FreeApplicationId() const;
    quint16 FreeScreenId() const;

    // A screen from the record, or with the defaults of a new screen (none when no id is free).
    TProjectScreen *AddScreen(TProjectBinder &binder, const TNewVisualScreen *record);
    TProjectScreen *ScreenById(quint16 id) const;
    // Moves a screen to `index` of the screens list (the file's order; the end when shorter).
    void PlaceScreen(TProjectScreen *screen, size_t index);
    // Destroys every control on that screen, then the screens with that id.
    // Every control, then every screen.
    void DeleteAllScreens(TProjectBinder &binder);
    void DeleteScreen(TProjectBinder &binder, quint16 id);

    // Lists a placed control (none: nothing) after the others of its kind; the project is modified.
    template <typename Record>
    void AddItem(TProjectItem<Record> *item)
    {
        if (!item)
            return;
        m_controls.Add(item);
        m_modified = true;
    }
    // Takes a control out of its list (before the binder destroys it).
    void RemoveItem(TProjectItemBase *item);
    // Controls made from the records kept for them take their places; the project is not modified.
    void ReplaceItems(const std::vector<TControlList::Replacement> &replacements) { m_controls.Replace(replacements); }

    // A control made from its record on the record's screen and bound as reading the file binds
    // it: none when its screen, application or model item is not there. It is in no list yet.
    TProjectItemBase *MakeItem(TProjectBinder &binder, const TProgramLists &lists, const TVisualRecord &record);
    // The record of a placed control as it would be saved.
    static TVisualRecord RecordOf(TProjectItemBase &item);
    // Where a control stands in its own list (the file's order); none when it is in no list.
    std::optional<size_t> IndexOf(const TProjectItemBase *item) const;
    // Puts a control made from `record` into the list of its kind at `index` (at the end when the
    // list is shorter).
    void InsertItem(TProjectItemBase *item, const TVisualRecord &record, size_t index);

    const std::vector<TProjectScreen *> &Screens() const { return m_screens; }
    // The placed controls of one kind, in file order.
    std::vector<TProjectItem<TNewVisualOutput> *> Outputs() const { return m_controls.Of<TNewVisualOutput>(); }
    std::vector<TProjectItem<TVisualShortCut> *> Shortcuts() const { return m_controls.Of<TVisualShortCut>(); }
    std::vector<TProjectItem<TVisualMemoData> *> Memos() const { return m_controls.Of<TVisualMemoData>(); }
    std::vector<TProjectItem<TVisualVariableData> *> Variables() const { return m_controls.Of<TVisualVariableData>(); }
    std::vector<TProjectItem<TVisualAxisCamData> *> Cameras() const { return m_controls.Of<TVisualAxisCamData>(); }
    std::vector<TProjectItem<TVisualJaugeData> *> Gauges() const { return m_controls.Of<TVisualJaugeData>(); }
    // Every placed control.
    void ForEachItem(const std::function<void(TProjectItemBase &)> &action) const { m_controls.ForEach(action); }
    std::size_t ControlCount() const { return m_controls.Size(); }

    bool GetModified() const;
    // The project, opened from another file (a recovered copy), belongs to `path` from now on:
    // its name, and the content a later save compares the file with.
    void AdoptFile(const QString &path);
    // The file was replaced, rewritten or cut by someone else since it was read or written here.
    bool ChangedOnDisk() const;
    // The project composed now is the file as last read or written (compared by hash).
    bool SameAsFile();
    void SetModified() { m_modified = true; }
    void ClearModified();

    // Brings an application up to date from `exportPath`: a backup of the project file (at
    // `now`, unless the caller makes it), the export read into the pending lists, the new source
    // path, the controls of what went removed, the pending lists applied and the model objects
    // following the new lists. False with a message when the export cannot be read, is no export
    // or cannot be named in the project (nothing changes then, no backup is written).
    bool UpdateApplication(TDataFileManager &application, const QString &exportPath, TProjectBinder &binder,
                           TProgramLists &lists, const QDateTime &now, bool backup = true);
    // Destroys the controls whose module, memo or variable the last comparison reported gone.
    void RemoveVanishedControls(TProjectBinder &binder, const TProgramLists &lists);
    // Destroys every control bound to the application (before the application goes).
    void RemoveApplicationControls(TProjectBinder &binder, const TDataFileManager &application);

    // A copy of the project file in "<program folder>/Data/Backup File", named after the file
    // with the time `now` ("house[2011 3 7 - 14 5 9 ].qvp").
    bool BackupProjectFile(const QString &name, const QDateTime &now);
    // The same copy from the file's content as it was read.
    bool BackupProjectContent(const QString &name, const QByteArray &content, const QDateTime &now, QString *written = nullptr);

    // A background that cannot be found becomes the default one, with a message; false then.
    bool CheckScreenPicture(TNewVisualScreen &record) const;

    quint8 Version() const { return m_version; }
    // The controls of the file read last that could not be placed (what they show is not in the
    // installation data, or their screen is missing): left out, gone from the file at the next
    // save. The user is told at the open and asked before that save; DropsAccepted() once he agreed.
    int DroppedAtOpen() const { return m_droppedAtOpen; }
    int PlacedAtOpen() const { return m_placedAtOpen; }
    void DropsAccepted() { m_droppedAtOpen = 0; }
    bool IsOpen() const { return m_open; }
    const QString &FileName() const { return m_fileName; }
    void SetFileName(const QString &name) { m_fileName = name; }
    const QString &ProgramFolder() const { return m_programFolder; }
    UserMessages *Messages() const { return m_messages; }

private:
    friend class TProjectReader;

    QString m_programFolder;
    UserMessages *m_messages = nullptr;
    quint8 m_version = 0;
    bool m_modified = false;
    bool m_open = false;
    QString m_fileName;
    std::vector<std::unique_ptr<TDataFileManager>> m_applications;
    std::vector<TProjectScreen *> m_screens;
    // ScreenById's index: each control read looks its screen up, and a project may hold many.
    // Checked at each hit (a screen's id may change), made again when a screen is found without it.
    mutable QHash<quint16, TProjectScreen *> m_screenIds;
    TControlList m_controls;
    size_t m_fileHash = 0;  // of the file's content as last read or written
    QByteArray m_oldVersionContent;  // a file of an older format being read, kept once read whole
    // The bytes the applications were read from, taken by the reading of the screens that follows:
    // both read the same file content, read once.
    QString m_readName;
    QByteArray m_readContent;
    bool m_oldVersionUnkept = false; // its copy could not be made: it is not saved over
    int m_droppedAtOpen = 0;
    int m_placedAtOpen = 0;
};
