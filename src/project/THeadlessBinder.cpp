#include "THeadlessBinder.h"

#include "InstallationRecords.h"
#include "TBoundControl.h"
#include "TModuleTypes.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"

#include <algorithm>

namespace {

class Screen : public TProjectScreen
{
public:
    explicit Screen(const TNewVisualScreen &record) : m_record(record) {}
    TNewVisualScreen &ScreenRecord() override { return m_record; }

private:
    TNewVisualScreen m_record;
};

// A control that keeps its record; in design time, so the model never asks it to refresh.
template <typename Record>
class Item : public TProjectItem<Record>, public TBoundControl
{
public:
    explicit Item(const Record &record) : m_record(record) {}
    Record CurrentRecord() override { return m_record; }
    quint16 ItemScreenId() const override { return m_record.ScreenId; }
    RunMode ControlMode() const override { return RunMode::DesignTime; }
    void RefreshComponentState() override {}

private:
    Record m_record;
};

class OutputItem : public Item<TNewVisualOutput>
{
public:
    OutputItem(const TNewVisualOutput &record, TVQQModuleBase &module) : Item(record), m_module(&module)
    {
        m_module->AddControl(this);
    }
    ~OutputItem() override
    {
        if (m_module)
            m_module->RemoveControl(this);
    }
    void ModelGone() override { m_module = nullptr; }

private:
    TVQQModuleBase *m_module;
};

class MemoItem : public Item<TVisualMemoData>
{
public:
    MemoItem(const TVisualMemoData &record, TVQQMemoBaseItem &memo) : Item(record), m_module(memo.GetModule())
    {
        if (m_module)
            m_module->AddMemoControl(this);
    }
    ~MemoItem() override
    {
        if (m_module)
            m_module->RemoveMemoControl(this);
    }
    void ModelGone() override { m_module = nullptr; }

private:
    TVQQModuleBase *m_module;
};

class VariableItem : public Item<TVisualVariableData>
{
public:
    VariableItem(const TVisualVariableData &record, TVQQVariableBaseItem &variable) : Item(record), m_variable(&variable)
    {
        m_variable->AddControl(this);
    }
    ~VariableItem() override
    {
        if (m_variable)
            m_variable->RemoveControl(this);
    }
    void ModelGone() override { m_variable = nullptr; }

private:
    TVQQVariableBaseItem *m_variable;
};

template <typename T>
T *Keep(std::vector<std::unique_ptr<TProjectItemBase>> &items, std::unique_ptr<T> item)
{
    T *raw = item.get();
    items.push_back(std::move(item));
    return raw;
}

} // namespace

THeadlessBinder::THeadlessBinder() = default;

THeadlessBinder::~THeadlessBinder()
{
    // Controls unregister from model objects that may go soon after: they go first.
    m_items.clear();
    m_screens.clear();
}

TProjectScreen *THeadlessBinder::CreateScreen(const TNewVisualScreen &record)
{
    m_screens.push_back(std::make_unique<Screen>(record));
    return m_screens.back().get();
}

TProjectItem<TNewVisualOutput> *THeadlessBinder::CreateOutput(const TNewVisualOutput &record, TVQQModuleBase &module,
                                                              TProjectScreen &, const Param32Record *)
{
    if (!TModuleTypes::Channel(module.GetModuleType(), record.IoNumber).Control)
        return nullptr;
    return Keep(m_items, std::make_unique<OutputItem>(record, module));
}

TProjectItem<TVisualShortCut> *THeadlessBinder::CreateShortcut(const TVisualShortCut &record, TProjectScreen &)
{
    return Keep(m_items, std::make_unique<Item<TVisualShortCut>>(record));
}

TProjectItem<TVisualMemoData> *THeadlessBinder::CreateMemo(const TVisualMemoData &record, TProjectScreen &,
                                                           TVQQMemoBaseItem &memo)
{
    if (memo.GetMemoKind() > 2)
        return nullptr;
    return Keep(m_items, std::make_unique<MemoItem>(record, memo));
}

TProjectItem<TVisualVariableData> *THeadlessBinder::CreateVariable(const TVisualVariableData &record, TProjectScreen &,
                                                                   TVQQVariableBaseItem &variable)
{
    if (variable.GetVariableKind() > 1)
        return nullptr;
    return Keep(m_items, std::make_unique<VariableItem>(record, variable));
}

TProjectItem<TVisualAxisCamData> *THeadlessBinder::CreateCamera(const TVisualAxisCamData &record, TProjectScreen &)
{
    return Keep(m_items, std::make_unique<Item<TVisualAxisCamData>>(record));
}

TProjectItem<TVisualJaugeData> *THeadlessBinder::CreateGauge(const TVisualJaugeData &record, TProjectScreen &)
{
    return Keep(m_items, std::make_unique<Item<TVisualJaugeData>>(record));
}

void THeadlessBinder::DestroyScreen(TProjectScreen *screen)
{
    std::erase_if(m_screens, [screen](const auto &s) { return s.get() == screen; });
}

void THeadlessBinder::DestroyItem(TProjectItemBase *item)
{
    std::erase_if(m_items, [item](const auto &i) { return i.get() == item; });
}
