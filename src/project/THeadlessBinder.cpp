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

// An item registered with a model object through that object's add and remove members; either
// may go first.
template <typename Record, typename Model, void (Model::*Add)(TBoundControl *), void (Model::*Remove)(TBoundControl *)>
class RegisteredItem : public Item<Record>
{
public:
    RegisteredItem(const Record &record, Model *model) : Item<Record>(record), m_model(model)
    {
        if (m_model)
            (m_model->*Add)(this);
    }
    ~RegisteredItem() override
    {
        if (m_model)
            (m_model->*Remove)(this);
    }
    void ModelGone() override { m_model = nullptr; }

private:
    Model *m_model;
};

template <typename T>
T *Keep(std::unordered_map<TProjectItemBase *, std::unique_ptr<TProjectItemBase>> &items, std::unique_ptr<T> item)
{
    T *raw = item.get();
    items.emplace(raw, std::move(item));
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
    auto screen = std::make_unique<Screen>(record);
    TProjectScreen *raw = screen.get();
    m_screens.emplace(raw, std::move(screen));
    return raw;
}

TProjectItem<TNewVisualOutput> *THeadlessBinder::CreateOutput(const TNewVisualOutput &record, TVQQModuleBase &module,
                                                              TProjectScreen &, const Param32Record *)
{
    if (!TModuleTypes::Channel(module.GetModuleType(), record.IoNumber).Control)
        return nullptr;
    using Output = RegisteredItem<TNewVisualOutput, TVQQModuleBase, &TVQQModuleBase::AddControl, &TVQQModuleBase::RemoveControl>;
    return Keep(m_items, std::make_unique<Output>(record, &module));
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
    // A memo's control follows the module of the memo's IO.
    using Memo = RegisteredItem<TVisualMemoData, TVQQModuleBase, &TVQQModuleBase::AddMemoControl,
                                &TVQQModuleBase::RemoveMemoControl>;
    return Keep(m_items, std::make_unique<Memo>(record, memo.GetModule()));
}

TProjectItem<TVisualVariableData> *THeadlessBinder::CreateVariable(const TVisualVariableData &record, TProjectScreen &,
                                                                   TVQQVariableBaseItem &variable)
{
    if (variable.GetVariableKind() > 1)
        return nullptr;
    using Variable = RegisteredItem<TVisualVariableData, TVQQVariableBaseItem, &TVQQVariableBaseItem::AddControl,
                                    &TVQQVariableBaseItem::RemoveControl>;
    return Keep(m_items, std::make_unique<Variable>(record, &variable));
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
    m_screens.erase(screen);
}

void THeadlessBinder::DestroyItem(TProjectItemBase *item)
{
    m_items.erase(item);
}
