#include "TBoundControlList.h"

#include "TBoundControl.h"

#include <algorithm>

TBoundControlList::~TBoundControlList()
{
    ++m_walking;  // a control told may leave the list: nothing moves meanwhile
    for (TBoundControl *control : m_controls) {
        if (control)
            control->ModelLeft();
    }
}

void TBoundControlList::Add(TBoundControl *control)
{
    if (!control || m_places.contains(control))
        return;
    m_places.emplace(control, m_controls.size());
    m_controls.push_back(control);
}

void TBoundControlList::Remove(TBoundControl *control)
{
    const auto found = m_places.find(control);
    if (found == m_places.end())
        return;
    m_controls[found->second] = nullptr;
    m_places.erase(found);
    control->Unbound();
    // Nulls are swept once they are half the list, so the list stays in proportion to the controls.
    if (m_walking == 0 && m_controls.size() > 64 && m_places.size() * 2 < m_controls.size())
        Compact();
}

void TBoundControlList::Compact()
{
    std::erase(m_controls, nullptr);
    for (size_t i = 0; i < m_controls.size(); ++i)
        m_places[m_controls[i]] = i;
}

template <typename Visit>
void TBoundControlList::ForEach(Visit visit)
{
    // A refresh may make a control leave the list: nothing moves while the list is walked.
    ++m_walking;
    const size_t count = m_controls.size();
    for (size_t i = 0; i < count; ++i) {
        if (TBoundControl *control = m_controls[i])
            visit(control);
    }
    if (--m_walking == 0 && m_controls.size() > 64 && m_places.size() * 2 < m_controls.size())
        Compact();
}

void TBoundControlList::Refresh()
{
    ForEach([](TBoundControl *control) {
        if (control->Waiting()) {
            control->Missed();
        } else if (control->FollowsState()) {
            control->RefreshComponentState();
            control->RefreshTrust();
        }
    });
}

void TBoundControlList::RefreshTrust()
{
    ForEach([](TBoundControl *control) { control->RefreshTrust(); });
}

std::vector<TBoundControl *> TBoundControlList::Controls() const
{
    std::vector<TBoundControl *> controls;
    controls.reserve(m_places.size());
    for (TBoundControl *control : m_controls) {
        if (control)
            controls.push_back(control);
    }
    return controls;
}
