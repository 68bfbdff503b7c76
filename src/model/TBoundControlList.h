#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

class TBoundControl;

// The controls registered with one model object. Either side may go first: a control leaves the
// list in its destructor, and the list tells every control still in it when the object goes.
// Adding and removing take constant time, in the order the controls were added: a module with a
// hundred thousand controls is torn down in proportion, not in their square.
class TBoundControlList
{
public:
    TBoundControlList() = default;
    TBoundControlList(const TBoundControlList &) = delete;
    TBoundControlList &operator=(const TBoundControlList &) = delete;
    ~TBoundControlList();

    void Add(TBoundControl *control);
    void Remove(TBoundControl *control);
    // Every control that shows live states re-reads it.
    void Refresh();
    // Every control repaints if the trust of its state changed.
    void RefreshTrust();
    // The controls registered now, in the order they came.
    std::vector<TBoundControl *> Controls() const;

private:
    // Calls `visit` for each control, those a call removes skipped, those it adds not visited.
    template <typename Visit>
    void ForEach(Visit visit);
    void Compact();

    std::vector<TBoundControl *> m_controls;  // a removed control leaves a null until the next compaction
    std::unordered_map<TBoundControl *, std::size_t> m_places;
    int m_walking = 0;
};
