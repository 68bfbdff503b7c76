#include "TWindowBinder.h"

#include "TForm1.h"
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
    auto *control = MakeRecordControl(record, screen, m_owner.RunTime()->ModeForNewControls());
    control->SetOnClick([this](const TVisualShortCut &r) { m_owner.ShowScreen(r.TargetScreenId); });
    return control;
}

TProjectItem<TVisualMemoData> *TWindowBinder::CreateMemo(const TVisualMemoData &record, TProjectScreen &screen,
                                                         TVQQMemoBaseItem &memo)
{
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
    auto &window = static_cast<TMyForm11 &>(screen);
    auto *gauge = new TVQJaugeControl(window.Area(), record, &window);
    gauge->SetRunTimeMode(m_owner.RunTime()->ModeForNewControls());
    // Every gauge follows the switched power and its scale maximum, both held to 16 bits.
    TProgramLists *lists = m_owner.Lists();
    const auto follow = [gauge, lists] {
        gauge->SetMaximum(quint16(std::min<quint32>(lists->PowerScaleMaximum(), 0xFFFF)));
        gauge->SetPower(quint16(std::min<quint32>(lists->CurrentPower(), 0xFFFF)));
    };
    follow();
    QObject::connect(lists, &TProgramLists::powerChanged, gauge, follow);
    window.Area()->ShowControl(gauge);
    return gauge;
}

void TWindowBinder::DestroyScreen(TProjectScreen *screen)
{
    delete static_cast<TMyForm11 *>(screen);
}

void TWindowBinder::DestroyItem(TProjectItemBase *item)
{
    delete dynamic_cast<QWidget *>(item);
}
