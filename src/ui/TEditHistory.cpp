#include "TEditHistory.h"

#include "TForm1.h"
#include "TMyForm11.h"
#include "TProgramLists.h"
#include "TVQControl.h"
#include "TWindowBinder.h"

#include <QPointer>
#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>

namespace {

// Controls moved; the first redo finds them already there.
class TMoveCommand : public QUndoCommand
{
public:
    struct Move
    {
        quint32 Id;
        QPoint From;
        QPoint To;
    };
    // Nudges by the arrow keys fold into the step before them while they move the same controls.
    static constexpr int NudgeId = 1;

    TMoveCommand(TEditHistory &history, std::vector<Move> moves, bool nudge)
        : m_history(history)
        , m_moves(std::move(moves))
        , m_nudge(nudge)
    {
        setText(m_moves.size() == 1 ? QStringLiteral("Move") : QStringLiteral("Move %1 controls").arg(m_moves.size()));
    }
    int id() const override { return m_nudge ? NudgeId : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const TMoveCommand *>(other);
        if (next->m_moves.size() != m_moves.size())
            return false;
        for (size_t i = 0; i < m_moves.size(); ++i) {
            if (next->m_moves[i].Id != m_moves[i].Id)
                return false;
        }
        for (size_t i = 0; i < m_moves.size(); ++i)
            m_moves[i].To = next->m_moves[i].To;
        return true;
    }
    void undo() override { Place(false); }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        Place(true);
    }

private:
    void Place(bool forward)
    {
        for (const Move &move : m_moves) {
            if (auto *control = dynamic_cast<TVQControl *>(m_history.LiveItemOf(move.Id))) {
                control->move(forward ? move.To : move.From);
                control->MarkChanged();
            }
        }
    }
    TEditHistory &m_history;
    std::vector<Move> m_moves;
    bool m_nudge = false;
    bool m_done = true;
};

// Controls placed (`adding`, already there at the first redo) or deleted (done by the first redo).
class TPlaceCommand : public QUndoCommand
{
public:
    TPlaceCommand(TEditHistory &history, std::vector<TEditHistory::Placement> placements, bool adding, const QString &text)
        : m_history(history)
        , m_placements(std::move(placements))
        , m_adding(adding)
        , m_done(adding)
    {
        setText(text);
    }
    void undo() override
    {
        if (m_adding)
            m_history.Remove(m_placements);
        else
            m_history.Make(m_placements);
    }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        if (m_adding)
            m_history.Make(m_placements);
        else
            m_history.Remove(m_placements);
    }

private:
    TEditHistory &m_history;
    std::vector<TEditHistory::Placement> m_placements;
    bool m_adding;
    bool m_done;
};

// A control's record changed by its property dialog: made again from the record before or after.
class TReplaceCommand : public QUndoCommand
{
public:
    TReplaceCommand(TEditHistory &history, quint32 id, TVisualRecord before, TVisualRecord after)
        : m_history(history)
        , m_id(id)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
        setText(QStringLiteral("Properties"));
    }
    void undo() override { m_history.Replace(m_id, m_before); }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        m_history.Replace(m_id, m_after);
    }

private:
    TEditHistory &m_history;
    quint32 m_id;
    TVisualRecord m_before;
    TVisualRecord m_after;
    bool m_done = true;
};

// A screen added (already there at the first redo) or deleted with its controls (done by the
// first redo); made again from its record at its place, with its controls at theirs.
class TScreenCommand : public QUndoCommand
{
public:
    TScreenCommand(TEditHistory &history, quint16 screenId, bool adding)
        : m_history(history)
        , m_screenId(screenId)
        , m_adding(adding)
        , m_done(adding)
    {
        setText(adding ? QStringLiteral("Add screen") : QStringLiteral("Delete screen"));
    }
    void undo() override { m_adding ? Take() : Give(); }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        m_adding ? Give() : Take();
    }

private:
    void Take()
    {
        m_placement = m_history.ScreenPlacementOf(m_screenId);
        m_history.RemoveScreen(m_screenId);
    }
    void Give() { m_history.MakeScreen(m_placement); }

    TEditHistory &m_history;
    quint16 m_screenId;
    bool m_adding;
    bool m_done;
    TEditHistory::ScreenPlacement m_placement;
};

// A screen's settings confirmed: its record before or after applied to the window.
class TScreenRecordCommand : public QUndoCommand
{
public:
    TScreenRecordCommand(TEditHistory &history, TNewVisualScreen before, TNewVisualScreen after)
        : m_history(history)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
        setText(QStringLiteral("Screen settings"));
    }
    void undo() override { m_history.ApplyScreenRecord(m_before); }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        m_history.ApplyScreenRecord(m_after);
    }

private:
    TEditHistory &m_history;
    TNewVisualScreen m_before;
    TNewVisualScreen m_after;
    bool m_done = true;
};

} // namespace

TEditHistory::TEditHistory(TForm1 &owner)
    : m_owner(owner)
    , m_stack(new QUndoStack(this))
{
    connect(m_stack, &QUndoStack::indexChanged, this, &TEditHistory::CheckSaved);
}

void TEditHistory::CheckSaved()
{
    // Back at the saved step with the project as it was saved: nothing is left to save.
    const bool saved = m_stack->isClean() && m_owner.Project()->SameAsFile();
    if (saved)
        m_owner.Project()->ClearModified();
    else
        m_owner.Project()->SetModified();
    emit savedStateChanged(saved);
}

TEditHistory::~TEditHistory()
{
    // The stack goes with this object: nobody may hear it change while it does.
    disconnect(m_stack, nullptr, nullptr, nullptr);
}

TEditHistory::Placement TEditHistory::PlacementOf(TProjectItemBase *item)
{
    Placement placement;
    placement.Id = IdOf(item);
    placement.Record = TProjectManager::RecordOf(*item);
    placement.Index = m_owner.Project()->IndexOf(item).value_or(size_t(-1));
    return placement;
}

void TEditHistory::Make(const std::vector<Placement> &placements)
{
    std::vector<Placement> ordered = placements;
    // Put back in the order of the lists, so that each lands where it stood.
    std::stable_sort(ordered.begin(), ordered.end(), [](const Placement &a, const Placement &b) {
        return a.Record.index() != b.Record.index() ? a.Record.index() < b.Record.index() : a.Index < b.Index;
    });
    TProjectManager *project = m_owner.Project();
    for (const Placement &placement : ordered) {
        TProjectItemBase *item = project->MakeItem(*m_owner.Binder(), *m_owner.Lists(), placement.Record);
        project->InsertItem(item, placement.Record, placement.Index);
        Rebind(placement.Id, item);
    }
}

void TEditHistory::Moved(const std::vector<std::pair<TVQControl *, QPoint>> &from, bool nudge)
{
    std::vector<TMoveCommand::Move> moves;
    for (const auto &[control, origin] : from) {
        if (control->pos() != origin)
            moves.push_back({IdOf(control), origin, control->pos()});
    }
    if (!moves.empty())
        m_stack->push(new TMoveCommand(*this, std::move(moves), nudge));
}

void TEditHistory::Placed(const std::vector<TProjectItemBase *> &items, const QString &text)
{
    std::vector<Placement> placements;
    for (TProjectItemBase *item : items) {
        if (item)
            placements.push_back(PlacementOf(item));
    }
    if (!placements.empty())
        m_stack->push(new TPlaceCommand(*this, std::move(placements), true, text));
}

void TEditHistory::Delete(const std::vector<TVQControl *> &controls)
{
    std::vector<Placement> placements;
    for (TVQControl *control : controls)
        placements.push_back(PlacementOf(control));
    if (placements.empty())
        return;
    m_stack->push(new TPlaceCommand(*this, std::move(placements), false,
                                    controls.size() == 1 ? QStringLiteral("Delete") : QStringLiteral("Delete %1 controls").arg(controls.size())));
}

void TEditHistory::Edited(TProjectItemBase *item, const TVisualRecord &before)
{
    const TVisualRecord after = TProjectManager::RecordOf(*item);
    if (after != before)
        m_stack->push(new TReplaceCommand(*this, IdOf(item), before, after));
}

TEditHistory::ScreenPlacement TEditHistory::ScreenPlacementOf(quint16 screenId)
{
    ScreenPlacement placement;
    TProjectManager *project = m_owner.Project();
    TProjectScreen *screen = project->ScreenById(screenId);
    if (!screen)
        return placement;
    placement.Record = screen->ScreenRecord();
    const auto &screens = project->Screens();
    placement.Index = size_t(std::find(screens.begin(), screens.end(), screen) - screens.begin());
    placement.Shown = static_cast<TMyForm11 *>(screen)->isVisible();
    project->ForEachItem([&](TProjectItemBase &item) {
        if (item.ItemScreenId() == screenId)
            placement.Controls.push_back(PlacementOf(&item));
    });
    return placement;
}

void TEditHistory::MakeScreen(const ScreenPlacement &placement)
{
    TProjectManager *project = m_owner.Project();
    if (project->ScreenById(placement.Record.ScreenId))
        return;
    TProjectScreen *screen = project->AddScreen(*m_owner.Binder(), &placement.Record);
    if (!screen)
        return;
    project->PlaceScreen(screen, placement.Index);
    Make(placement.Controls);
    if (placement.Shown)
        m_owner.ShowScreenWindow(static_cast<TMyForm11 *>(screen));
    m_owner.RefreshScreenList();
}

void TEditHistory::RemoveScreen(quint16 screenId)
{
    TProjectManager *project = m_owner.Project();
    auto *screen = static_cast<TMyForm11 *>(project->ScreenById(screenId));
    if (!screen)
        return;
    // Hidden now; taken out of the project, window and controls, once the event loop comes
    // back, since the key or menu entry that asked for this may belong to it.
    screen->hide();
    QMetaObject::invokeMethod(this, [this, screenId] {
        m_owner.Project()->DeleteScreen(*m_owner.Binder(), screenId);
        m_owner.RefreshScreenList();
        CheckSaved();
    }, Qt::QueuedConnection);
}

void TEditHistory::ApplyScreenRecord(const TNewVisualScreen &record)
{
    auto *screen = static_cast<TMyForm11 *>(m_owner.Project()->ScreenById(record.ScreenId));
    if (!screen)
        return;
    screen->ScreenRecord() = record;
    screen->ApplyRecord();
    m_owner.RefreshScreenList();
}

void TEditHistory::ScreenAdded(quint16 screenId)
{
    m_stack->push(new TScreenCommand(*this, screenId, true));
}

void TEditHistory::DeleteScreen(quint16 screenId)
{
    if (m_owner.Project()->ScreenById(screenId))
        m_stack->push(new TScreenCommand(*this, screenId, false));
}

void TEditHistory::ScreenEdited(quint16 screenId, const TNewVisualScreen &before)
{
    TProjectScreen *screen = m_owner.Project()->ScreenById(screenId);
    if (screen && !(screen->ScreenRecord() == before))
        m_stack->push(new TScreenRecordCommand(*this, before, screen->ScreenRecord()));
}

void TEditHistory::Opened()
{
    m_stack->clear();
    m_items.clear();
    m_ids.clear();
}

void TEditHistory::Saved()
{
    m_stack->setClean();
}
