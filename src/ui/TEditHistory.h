#pragma once

#include "TProjectManager.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPoint>

#include <utility>
#include <vector>

class QUndoStack;
class TDataFileManager;
class TForm1;
class TProjectItemBase;
class TVQControl;

// The design-time history of the open project: every move, placement, deletion and property
// change of controls, undone and redone through one QUndoStack. Each step is recorded after it
// was done. Controls are named in the history by a number of their own, so that a control made
// again (a deletion undone) takes the place of the one it replaces in the steps around it.
class TEditHistory : public QObject
{
    Q_OBJECT

public:
    // The main window outlives the history: it owns it.
    explicit TEditHistory(TForm1 &owner);
    ~TEditHistory() override;

    QUndoStack *Stack() const { return m_stack; }

    // Controls moved by the user from where they stood; consecutive nudges of the same controls
    // (`nudge`) make one step.
    void Moved(const std::vector<std::pair<TVQControl *, QPoint>> &from, bool nudge = false);
    // Controls just placed (dropped, pasted, created from the menu).
    void Placed(const std::vector<TProjectItemBase *> &items, const QString &text);
    // Takes the controls out of the project, as one step.
    void Delete(const std::vector<TVQControl *> &controls);
    // A control whose property dialog was confirmed; `before` is its record from before.
    void Edited(TProjectItemBase *item, const TVisualRecord &before);
    // A screen just added; a screen to delete with every control on it (done as one step); a
    // screen whose settings were confirmed, `before` being its record from before.
    void ScreenAdded(quint16 screenId);
    void DeleteScreen(quint16 screenId);
    void ScreenEdited(quint16 screenId, const TNewVisualScreen &before);
    // An application taken out of the project with every control that shows it, as one step.
    void RemoveApplication(TDataFileManager &application);
    // How many controls show a state of `application`.
    int ControlsOf(const TDataFileManager &application) const;


    // A project opened or saved: its state now is the saved one, reached again by undoing or
    // redoing back to it. Opening forgets the history; saving keeps it.
    void Opened();
    void Saved();

    // The control a history number stands for now; none when it is gone.
    TProjectItemBase *ItemOf(quint32 id) const { return m_items.value(id); }
    // The same, its screen's controls made first when it is a record kept for a screen not shown.
    TProjectItemBase *LiveItemOf(quint32 id);
    quint32 IdOf(TProjectItemBase *item);
    // A control destroyed, or replaced by another (controls made from the records kept for them).
    void Forget(TProjectItemBase *item);
    void ItemsReplaced(const std::vector<TControlList::Replacement> &replacements);

    // One control's place in the project, enough to make it again.
    struct Placement
    {
        quint32 Id = 0;
        TVisualRecord Record;
        size_t Index = 0;
    };
    Placement PlacementOf(TProjectItemBase *item);
    // Makes the controls again at their places, or takes them away.
    void Make(const std::vector<Placement> &placements);
    void Remove(const std::vector<Placement> &placements);
    void Replace(quint32 id, const TVisualRecord &record);
    // A screen's place in the project with its controls, enough to make it again.
    struct ScreenPlacement
    {
        TNewVisualScreen Record;
        size_t Index = 0;
        bool Shown = false;
        std::vector<Placement> Controls;
    };
    ScreenPlacement ScreenPlacementOf(quint16 screenId);
    void MakeScreen(const ScreenPlacement &placement);
    void RemoveScreen(quint16 screenId);
    void ApplyScreenRecord(const TNewVisualScreen &record);

signals:
    // The project went back to its saved state, or left it.
    void savedStateChanged(bool saved);

private:
    // Marks the project unmodified when it is back at its saved state, modified otherwise.
    void CheckSaved();
    void Rebind(quint32 id, TProjectItemBase *item);
    // Takes a control out of the project and destroys it.
    void Discard(TProjectItemBase *item);

    TForm1 &m_owner;
    QUndoStack *m_stack = nullptr;
    QHash<quint32, TProjectItemBase *> m_items;
    QHash<TProjectItemBase *, quint32> m_ids;
    quint32 m_nextId = 1;
};
