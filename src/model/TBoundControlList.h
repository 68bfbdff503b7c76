#pragma once

#include <vector>

class TBoundControl;

// The controls registered with one model object. Either side may go first: a control leaves the
// list in its destructor, and the list tells every control still in it when the object goes.
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
    void Refresh() const;
    // Every control repaints if the trust of its state changed.
    void RefreshTrust() const;
    const std::vector<TBoundControl *> &Controls() const { return m_controls; }

private:
    std::vector<TBoundControl *> m_controls;
};
