#include "TWindowBinder.h"

#include "TForm1.h"
#include "TMyForm11.h"
#include "TVisualDefaults.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"
#include "TVQQTorInput.h"
#include "TVQQTorOutput.h"
#include "TVQQValueOutput.h"
#include "TVQQVariableBaseItem.h"
#include "TVQQZulOutput.h"
#include "TVQRecordControl.h"

namespace {

template <typename Record>
TVQRecordControl<Record> *MakeRecordControl(const Record &record, TProjectScreen &screen)
{
    auto &window = static_cast<TMyForm11 &>(screen);
    auto *control = new TVQRecordControl<Record>(window.Area(), record, &window);
    control->SetRunTimeMode(2);
    control->setContextMenuPolicy(Qt::PreventContextMenu);
    control->show();
    return control;
}

} // namespace

TProjectScreen *TWindowBinder::CreateScreen(const TNewVisualScreen &record)
{
    return new TMyForm11(&m_owner, record);
}

TProjectItem<TNewVisualOutput> *TWindowBinder::CreateOutput(const TNewVisualOutput &record, TVQQModuleBase &module,
                                                             TProjectScreen &screen, const Param32Record *parameters)
{
    auto &window = static_cast<TMyForm11 &>(screen);
    TVQBaseControl *control = nullptr;
    switch (TVisualDefaults::ControlClassFor(module.GetModuleType(), record.IoNumber)) {
    case ControlClass::TorInput:
        control = new TVQQTorInput(window.Area(), &module, record.IoNumber, &window);
        break;
    case ControlClass::TorOutput:
        control = new TVQQTorOutput(window.Area(), &module, record.IoNumber, &window);
        break;
    case ControlClass::ZulOutput:
        control = new TVQQZulOutput(window.Area(), &module, record.IoNumber, &window);
        break;
    case ControlClass::DimOutput:
        control = new TVQQValueOutput(window.Area(), &module, record.IoNumber, &window, TVQQValueOutput::Value::DimmerLevel);
        break;
    case ControlClass::SensorInput:
        control = new TVQQValueOutput(window.Area(), &module, record.IoNumber, &window, TVQQValueOutput::Value::Temperature);
        break;
    case ControlClass::In10VInput:
        control = new TVQQValueOutput(window.Area(), &module, record.IoNumber, &window, TVQQValueOutput::Value::InputPercent);
        break;
    case ControlClass::None:
        return nullptr;
    }
    control->setContextMenuPolicy(Qt::PreventContextMenu);
    control->SetDataToControl(record);
    control->SetRunTimeMode(2);
    module.AddControl(control);
    control->SetParametreIO(parameters);
    control->show();
    return control;
}

TProjectItem<TVisualShortCut> *TWindowBinder::CreateShortcut(const TVisualShortCut &record, TProjectScreen &screen)
{
    return MakeRecordControl(record, screen);
}

TProjectItem<TVisualMemoData> *TWindowBinder::CreateMemo(const TVisualMemoData &record, TProjectScreen &screen,
                                                         TVQQMemoBaseItem &memo)
{
    if (memo.GetMemoKind() > 2)
        return nullptr;
    auto *control = MakeRecordControl(record, screen);
    if (TVQQModuleBase *module = memo.GetModule()) {
        module->AddMemoControl(control);
        control->SetUnbind([module, control] { module->RemoveMemoControl(control); });
    }
    return control;
}

TProjectItem<TVisualVariableData> *TWindowBinder::CreateVariable(const TVisualVariableData &record, TProjectScreen &screen,
                                                                 TVQQVariableBaseItem &variable)
{
    if (variable.GetVariableKind() > 1)
        return nullptr;
    auto *control = MakeRecordControl(record, screen);
    variable.AddControl(control);
    control->SetUnbind([&variable, control] { variable.RemoveControl(control); });
    return control;
}

TProjectItem<TVisualAxisCamData> *TWindowBinder::CreateCamera(const TVisualAxisCamData &record, TProjectScreen &screen)
{
    return MakeRecordControl(record, screen);
}

TProjectItem<TVisualJaugeData> *TWindowBinder::CreateGauge(const TVisualJaugeData &record, TProjectScreen &screen)
{
    return MakeRecordControl(record, screen);
}

void TWindowBinder::DestroyScreen(TProjectScreen *screen)
{
    delete static_cast<TMyForm11 *>(screen);
}

void TWindowBinder::DestroyItem(TProjectItemBase *item)
{
    delete dynamic_cast<QWidget *>(item);
}
