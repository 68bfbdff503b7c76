// The history's names for controls: which control each number stands for, kept as controls are
// destroyed, made again, or made from the record a screen not shown yet kept for them.
#include "TEditHistory.h"

#include "TDeferredItem.h"
#include "TForm1.h"
#include "TMyForm11.h"
#include "TProgramLists.h"
#include "TVQControl.h"
#include "TWindowBinder.h"

quint32 TEditHistory::IdOf(TProjectItemBase *item)
{
    const auto found = m_ids.constFind(item);
    if (found != m_ids.constEnd())
        return *found;
    const quint32 id = m_nextId++;
    Rebind(id, item);
    return id;
}

void TEditHistory::Rebind(quint32 id, TProjectItemBase *item)
{
    if (TProjectItemBase *old = m_items.value(id))
        m_ids.remove(old);
    m_items.insert(id, item);
    if (!item)
        return;
    m_ids.insert(item, id);
    // A control destroyed by any path leaves the history's names: its address may serve again.
    if (auto *control = dynamic_cast<TVQControl *>(item))
        connect(control, &QObject::destroyed, this, [this, item] { Forget(item); });
}

void TEditHistory::Forget(TProjectItemBase *item)
{
    const auto found = m_ids.constFind(item);
    if (found == m_ids.constEnd())
        return;
    const quint32 id = *found;
    m_ids.erase(found);
    if (m_items.value(id) == item)
        m_items.insert(id, nullptr);
}

void TEditHistory::ItemsReplaced(const std::vector<TControlList::Replacement> &replacements)
{
    if (m_ids.isEmpty())
        return;
    for (const TControlList::Replacement &r : replacements) {
        const auto found = m_ids.constFind(const_cast<TProjectItemBase *>(r.Old));
        if (found != m_ids.constEnd())
            Rebind(*found, r.New);
    }
}

TProjectItemBase *TEditHistory::LiveItemOf(quint32 id)
{
    TProjectItemBase *item = ItemOf(id);
    if (auto *deferred = dynamic_cast<TDeferredItemBase *>(item)) {
        m_owner.Binder()->MakeControls(*static_cast<TMyForm11 *>(deferred->Screen()));
        item = ItemOf(id);
    }
    return item;
}

void TEditHistory::Discard(TProjectItemBase *item)
{
    if (auto *control = dynamic_cast<TVQControl *>(item)) {
        control->Discard();
    } else if (item) {
        // A record whose control could not be made (what it shows went since): only listed.
        m_owner.Project()->RemoveItem(item);
        m_owner.Binder()->DestroyItem(item);
    }
}

void TEditHistory::Remove(const std::vector<Placement> &placements)
{
    for (const Placement &placement : placements)
        Discard(LiveItemOf(placement.Id));
}

void TEditHistory::Replace(quint32 id, const TVisualRecord &record)
{
    TProjectItemBase *old = LiveItemOf(id);
    if (!old)
        return;
    TProjectManager *project = m_owner.Project();
    const size_t index = project->IndexOf(old).value_or(size_t(-1));
    Discard(old);
    TProjectItemBase *item = project->MakeItem(*m_owner.Binder(), *m_owner.Lists(), record);
    project->InsertItem(item, record, index);
    Rebind(id, item);
}
