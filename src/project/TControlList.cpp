#include "TControlList.h"

#include <algorithm>
#include <unordered_map>

void TControlList::Insert(TProjectItemBase *item, std::size_t kind, std::size_t index)
{
    if (!item)
        return;
    // Before the index-th control of that kind, or after the last one.
    auto at = m_items.end();
    std::size_t seen = 0;
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->Kind != kind)
            continue;
        if (seen++ == index) {
            at = it;
            break;
        }
        at = it + 1;
    }
    m_items.insert(at, {item, kind});
}

bool TControlList::Remove(const TProjectItemBase *item)
{
    const auto found = std::find_if(m_items.begin(), m_items.end(), [item](const Entry &e) { return e.Item == item; });
    if (found == m_items.end())
        return false;
    m_items.erase(found);
    return true;
}

void TControlList::Replace(const std::vector<Replacement> &replacements)
{
    std::unordered_map<const TProjectItemBase *, TProjectItemBase *> moved;
    for (const Replacement &r : replacements) {
        if (r.Hint < m_items.size() && m_items[r.Hint].Item == r.Old)
            m_items[r.Hint].Item = r.New;
        else
            moved.emplace(r.Old, r.New);
    }
    for (auto it = m_items.begin(); it != m_items.end() && !moved.empty(); ++it) {
        if (const auto found = moved.find(it->Item); found != moved.end()) {
            it->Item = found->second;
            moved.erase(found);
        }
    }
}

std::optional<std::size_t> TControlList::IndexOf(const TProjectItemBase *item) const
{
    const auto found = std::find_if(m_items.begin(), m_items.end(), [item](const Entry &e) { return e.Item == item; });
    if (found == m_items.end())
        return std::nullopt;
    return std::size_t(std::count_if(m_items.begin(), found, [found](const Entry &e) { return e.Kind == found->Kind; }));
}

void TControlList::ForEach(const std::function<void(TProjectItemBase &)> &action) const
{
    for (const Entry &entry : m_items)
        action(*entry.Item);
}

void TControlList::DestroyWhere(TProjectBinder &binder, const std::function<bool(TProjectItemBase &)> &gone)
{
    // Every control leaves the list before it is destroyed, so that a later save never visits a
    // destroyed control.
    std::vector<TProjectItemBase *> doomed;
    std::erase_if(m_items, [&](const Entry &entry) {
        if (!gone(*entry.Item))
            return false;
        doomed.push_back(entry.Item);
        return true;
    });
    for (TProjectItemBase *item : doomed)
        binder.DestroyItem(item);
}
