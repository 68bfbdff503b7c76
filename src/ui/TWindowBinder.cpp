#include "TWindowBinder.h"

#include "TDeferredItem.h"
#include "TDialogs.h"
#include "TEditHistory.h"
#include "TForm1.h"
#include "TGaugeFeed.h"
#include "TMyForm11.h"
#include "TProgramLists.h"
#include "TRunTimeSwitch.h"
#include "TCameraView.h"
#include "TControlFactory.h"
#include "TModuleTypes.h"
#include "TRepaintPacer.h"
#include "TVQBaseControl.h"
#include "TVQJaugeControl.h"
#include "TVQQAxisControl.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQVariableBaseItem.h"
#include "TVQMemoBaseControl.h"
#include "TVQRecordControl.h"
#include "TVQVariableBaseControl.h"

#include <QScopeGuard>

namespace {

template <typename Record>
TVQRecordControl<Record> *MakeRecordControl(const Record &record, TProjectScreen &screen, RunMode mode)
{
    auto &window = static_cast<TMyForm11 &>(screen);
    auto *control = new TVQRecordControl<Record>(window.Area(), record, &window);
    control->SetRunTimeMode(mode);
    window.Area()->ShowControl(control);
    return control;
}

} // namespace

bool TWindowBinder::Keeps(TMyForm11 &window)
{
    if (window.ControlsMade())
        return false;
    if (m_reading)
        return true;
    MakeControls(window);
    return false;
}

template <typename Record>
TDeferredItem<Record> *TWindowBinder::Keep(const Record &record, TMyForm11 &window)
{
    auto *item = new TDeferredItem<Record>(record, &window);
    window.Defer(item);
    // Read from the file, it is listed next, at the end.
    if (m_reading)
        item->SetListedAt(m_owner.Project()->ControlCount());
    return item;
}

TProjectScreen *TWindowBinder::CreateScreen(const TNewVisualScreen &record)
{
    auto *window = new TMyForm11(&m_owner, record);
    // In run time and test, where the installation changes the controls, repaints are paced.
    TRunTimeSwitch *runTime = m_owner.RunTime();
    new TRepaintPacer(window, [runTime] { return runTime->Mode() == RunMode::RunTime || runTime->Mode() == RunMode::Test; });
    return window;
}

TProjectItem<TNewVisualOutput> *TWindowBinder::CreateOutput(const TNewVisualOutput &record, TVQQModuleBase &module,
                                                             TProjectScreen &screen, const Param32Record *parameters)
{
    auto &window = static_cast<TMyForm11 &>(screen);
    const char *controlClass = TModuleTypes::Channel(module.GetModuleType(), record.IoNumber).Control;
    if (Keeps(window))
        return TControlFactory::Knows(controlClass) ? Keep(record, window) : nullptr;
    TVQBaseControl *control = TControlFactory::Create(controlClass, window.Area(), &module, record.IoNumber, &window);
    if (!control)
        return nullptr;
    {
        // Measured once, with its record, mode and parameters in place.
        const TVQControl::SizeHold hold(*control);
        control->SetDataToControl(record);
        control->SetRunTimeMode(m_owner.RunTime()->ModeForNewControls());
        module.AddControl(control);
        control->SetParametreIO(parameters);
    }
    window.Area()->ShowControl(control);
    return control;
}

TProjectItem<TVisualShortCut> *TWindowBinder::CreateShortcut(const TVisualShortCut &record, TProjectScreen &screen)
{
    if (auto &window = static_cast<TMyForm11 &>(screen); Keeps(window))
        return Keep(record, window);
    auto *control = MakeRecordControl(record, screen, m_owner.RunTime()->ModeForNewControls());
    control->SetOnClick([this](const TVisualShortCut &r) { m_owner.ShowScreen(r.TargetScreenId); });
    return control;
}

TProjectItem<TVisualMemoData> *TWindowBinder::CreateMemo(const TVisualMemoData &record, TProjectScreen &screen,
                                                         TVQQMemoBaseItem &memo)
{
    if (memo.GetMemoKind() > 2)
        return nullptr;
    if (auto &window = static_cast<TMyForm11 &>(screen); Keeps(window))
        return Keep(record, window);
    auto &window = static_cast<TMyForm11 &>(screen);
    TVQMemoBaseControl *control = nullptr;
    switch (memo.GetMemoKind()) {
    case 0: control = new TVQMemoMixteControl(window.Area(), &memo, &window); break;
    case 1: control = new TVQMemoZulControl(window.Area(), &memo, &window); break;
    case 2: control = new TVQMemoDimControl(window.Area(), &memo, &window); break;
    default: return nullptr;
    }
    control->SetDataToControl(record);
    control->SetState(QStringLiteral("On"));
    control->SetRunTimeMode(m_owner.RunTime()->ModeForNewControls());
    window.Area()->ShowControl(control);
    return control;
}

TProjectItem<TVisualVariableData> *TWindowBinder::CreateVariable(const TVisualVariableData &record, TProjectScreen &screen,
                                                                 TVQQVariableBaseItem &variable)
{
    if (variable.GetVariableKind() > 1)
        return nullptr;
    if (auto &window = static_cast<TMyForm11 &>(screen); Keeps(window))
        return Keep(record, window);
    auto &window = static_cast<TMyForm11 &>(screen);
    TVQVariableBaseControl *control = nullptr;
    switch (variable.GetVariableKind()) {
    case 0: control = new TVQVariableBoolControl(window.Area(), &variable, &window); break;
    case 1: control = new TVQVariableValControl(window.Area(), &variable, &window); break;
    default: return nullptr;
    }
    control->SetDataToControl(record);
    control->SetState(QStringLiteral("On"));
    control->SetValue(variable.GetValue());
    control->Resize();
    control->SetRunTimeMode(m_owner.RunTime()->ModeForNewControls());
    window.Area()->ShowControl(control);
    return control;
}

TProjectItem<TVisualAxisCamData> *TWindowBinder::CreateCamera(const TVisualAxisCamData &record, TProjectScreen &screen)
{
    if (auto &window = static_cast<TMyForm11 &>(screen); Keeps(window))
        return Keep(record, window);
    auto &window = static_cast<TMyForm11 &>(screen);
    auto *camera = new TVQQAxisControl(window.Area(), record, &window);
    // A camera's pictures show as they come, not at the pace of the screen's other changes.
    if (auto *pacer = window.findChild<TRepaintPacer *>(QString(), Qt::FindDirectChildrenOnly))
        QObject::connect(camera->View(), &TCameraView::changed, pacer, &TRepaintPacer::PaintNow);
    camera->SetRunTimeMode(m_owner.RunTime()->ModeForNewControls());
    window.Area()->ShowControl(camera);
    return camera;
}

TProjectItem<TVisualJaugeData> *TWindowBinder::CreateGauge(const TVisualJaugeData &record, TProjectScreen &screen)
{
    if (auto &window = static_cast<TMyForm11 &>(screen); Keeps(window))
        return Keep(record, window);
    auto &window = static_cast<TMyForm11 &>(screen);
    auto *gauge = new TVQJaugeControl(window.Area(), record, &window);
    gauge->SetRunTimeMode(m_owner.RunTime()->ModeForNewControls());
    // Every gauge follows the switched power and its scale maximum.
    TGaugeFeed::Of(*m_owner.Lists()).Add(gauge);
    window.Area()->ShowControl(gauge);
    return gauge;
}

void TWindowBinder::DestroyScreen(TProjectScreen *screen)
{
    delete static_cast<TMyForm11 *>(screen);
}

void TWindowBinder::DestroyItem(TProjectItemBase *item)
{
    if (auto *deferred = dynamic_cast<TDeferredItemBase *>(item)) {
        static_cast<TMyForm11 *>(deferred->Screen())->Undefer(deferred);
        if (TEditHistory *history = m_owner.History())
            history->Forget(item);
        delete item;
        return;
    }
    delete dynamic_cast<QWidget *>(item);
}

void TWindowBinder::MakeControls(TMyForm11 &window)
{
    const std::vector<TDeferredItemBase *> deferred = window.TakeDeferred();
    if (deferred.empty())
        return;
    TProjectManager *project = m_owner.Project();
    // What their pictures have to say (one that cannot be read) comes in one box.
    m_owner.Dialogs()->BeginGathering();
    const auto said = qScopeGuard([this] { m_owner.Dialogs()->EndGathering(); });
    std::vector<TControlList::Replacement> made;
    made.reserve(deferred.size());
    for (TDeferredItemBase *item : deferred) {
        TProjectItemBase *control = project->MakeItem(*this, *m_owner.Lists(), item->KeptRecord());
        if (!control) {
            // What it shows went since it was read: the record stays, saved as it is.
            window.Defer(item);
            continue;
        }
        made.push_back({item, control, item->ListedAt()});
        // A control made after the states came shows them at once.
        if (auto *bound = dynamic_cast<TBoundControl *>(control); bound && bound->FollowsState())
            bound->RefreshComponentState();
    }
    project->ReplaceItems(made);
    if (TEditHistory *history = m_owner.History())
        history->ItemsReplaced(made);
    for (const TControlList::Replacement &replaced : made)
        delete replaced.Old;
}

void TWindowBinder::KeepControls(TMyForm11 &window)
{
    if (!window.ControlsMade())
        return;
    // Records whose control could not be made stay; the controls' records follow them.
    std::vector<TDeferredItemBase *> unmade = window.TakeDeferred();
    std::vector<TControlList::Replacement> kept;
    std::vector<QWidget *> controls;
    // In the order they stack, which is the order they will be made again.
    for (QObject *child : window.Area()->children()) {
        auto *control = qobject_cast<TVQControl *>(child);
        auto *item = dynamic_cast<TProjectItemBase *>(child);
        // One being discarded has left the project already.
        if (!control || !item || control->Discarded())
            continue;
        TDeferredItemBase *record = std::visit([&](const auto &r) -> TDeferredItemBase * { return Keep(r, window); },
                                               TProjectManager::RecordOf(*item));
        record->SetChanged(item->IsChanged());
        kept.push_back({item, record});
        controls.push_back(control);
    }
    window.KeepAgain(unmade);
    m_owner.Project()->ReplaceItems(kept);
    if (TEditHistory *history = m_owner.History())
        history->ItemsReplaced(kept);
    for (QWidget *control : controls)
        delete control;
    window.Area()->ControlsGone();
}
