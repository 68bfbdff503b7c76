#pragma once

#include "TControlList.h"
#include "TProjectBinder.h"

// A placed control of a screen not shown: only its record, until the screen shows and the
// control is made from it. It is saved as it is kept and shows nothing; a control kept again
// when its screen closed keeps its changed flag.
class TDeferredItemBase : public virtual TProjectItemBase
{
public:
    explicit TDeferredItemBase(TProjectScreen *screen) : m_screen(screen) {}
    // The screen the control will be made on.
    TProjectScreen *Screen() const { return m_screen; }
    virtual TVisualRecord KeptRecord() const = 0;
    // Where the project listed it when it was read (a hint: controls placed or taken out since move it).
    std::size_t ListedAt() const { return m_listedAt; }
    void SetListedAt(std::size_t index) { m_listedAt = index; }
    bool IsChanged() const override { return m_changed; }
    void ClearChanged() override { m_changed = false; }
    void SetChanged(bool changed) { m_changed = changed; }

private:
    TProjectScreen *m_screen = nullptr;
    std::size_t m_listedAt = std::size_t(-1);
    bool m_changed = false;
};

template <typename Record>
class TDeferredItem final : public TProjectItem<Record>, public TDeferredItemBase
{
public:
    TDeferredItem(const Record &record, TProjectScreen *screen) : TDeferredItemBase(screen), m_record(record) {}

    Record CurrentRecord() override { return m_record; }
    quint16 ItemScreenId() const override { return m_record.ScreenId; }
    TVisualRecord KeptRecord() const override { return m_record; }

private:
    Record m_record;
};
