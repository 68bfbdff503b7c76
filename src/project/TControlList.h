#pragma once

#include "TProjectBinder.h"
#include "VisualRecords.h"


#include <cstddef>
#include <functional>
#include <optional>
#include <type_traits>
#include <variant>
#include <vector>

// The record of any placed control, as the editor keeps it to make the control again.
using TVisualRecord = std::variant<TNewVisualOutput, TVisualShortCut, TVisualMemoData, TVisualVariableData, TVisualAxisCamData,
                                   TVisualJaugeData>;

// Every placed control of a project in one list, each with the kind of its record (its place in
// TVisualRecord). The project file keeps the controls kind by kind, each kind in this list's
// order. Holds the controls without owning them: the binder that made them destroys them.
class TControlList
{
public:
    template <typename Record>
    static constexpr std::size_t KindOf()
    {
        return KindIndex<Record>(static_cast<TVisualRecord *>(nullptr));
    }

    template <typename Record>
    void Add(TProjectItem<Record> *item)
    {
        if (item)
            m_items.push_back({item, KindOf<Record>()});
    }
    // Puts a control of `kind` at `index` among the controls of its kind (the end when fewer).
    void Insert(TProjectItemBase *item, std::size_t kind, std::size_t index);
    // False when the control is in no list.
    bool Remove(const TProjectItemBase *item);
    // A control that takes the place of another of the same kind; `Hint`, where the old one was
    // listed when last known (checked, then looked for when it moved).
    struct Replacement
    {
        const TProjectItemBase *Old = nullptr;
        TProjectItemBase *New = nullptr;
        std::size_t Hint = std::size_t(-1);
    };
    void Replace(const std::vector<Replacement> &replacements);
    // Where the control stands among the controls of its kind; none when it is not listed.
    std::optional<std::size_t> IndexOf(const TProjectItemBase *item) const;

    // The controls of one kind, in order.
    template <typename Record>
    std::vector<TProjectItem<Record> *> Of() const
    {
        std::vector<TProjectItem<Record> *> items;
        for (const Entry &entry : m_items) {
            if (entry.Kind == KindOf<Record>())
                items.push_back(dynamic_cast<TProjectItem<Record> *>(entry.Item));
        }
        return items;
    }
    void ForEach(const std::function<void(TProjectItemBase &)> &action) const;
    std::size_t Size() const { return m_items.size(); }

    // Takes out of the list, then destroys through `binder`, every control for which `gone` holds.
    void DestroyWhere(TProjectBinder &binder, const std::function<bool(TProjectItemBase &)> &gone);

private:
    template <typename Record, typename... Records>
    static constexpr std::size_t KindIndex(std::variant<Records...> *)
    {
        constexpr bool same[] = {std::is_same_v<Record, Records>...};
        std::size_t kind = 0;
        while (kind < sizeof...(Records) && !same[kind])
            ++kind;
        return kind;
    }

    struct Entry
    {
        TProjectItemBase *Item = nullptr;
        std::size_t Kind = 0;
    };
    std::vector<Entry> m_items;
};
