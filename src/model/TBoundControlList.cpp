#include "TBoundControlList.h"

#include "TBoundControl.h"

#include <algorithm>

TBoundControlList::~TBoundControlList()
{
    for (TBoundControl *control : m_controls)
        control->ModelGone();
}

void TBoundControlList::Add(TBoundControl *control)
{
    m_controls.push_back(control);
}

void TBoundControlList::Remove(TBoundControl *control)
{
    std::erase(m_controls, control);
}

void TBoundControlList::Refresh() const
{
    // A refresh may make a control leave the list: walk a copy.
    const std::vector<TBoundControl *> controls = m_controls;
    for (TBoundControl *control : controls) {
        if (control->FollowsState()) {
            control->RefreshComponentState();
            control->RefreshTrust();
        }
    }
}

void TBoundControlList::RefreshTrust() const
{
    for (TBoundControl *control : m_controls)
        control->RefreshTrust();
}
