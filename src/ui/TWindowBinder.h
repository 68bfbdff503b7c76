#pragma once

#include "TProjectBinder.h"

class TForm1;

// Turns project records into screen windows and controls on them, registered with their model
// items, in design time.
class TWindowBinder : public TProjectBinder
{
public:
    explicit TWindowBinder(TForm1 &owner) : m_owner(owner) {}

    TProjectScreen *CreateScreen(const TNewVisualScreen &record) override;
    TProjectItem<TNewVisualOutput> *CreateOutput(const TNewVisualOutput &record, TVQQModuleBase &module,
                                                 TProjectScreen &screen, const Param32Record *parameters) override;
    TProjectItem<TVisualShortCut> *CreateShortcut(const TVisualShortCut &record, TProjectScreen &screen) override;
    TProjectItem<TVisualMemoData> *CreateMemo(const TVisualMemoData &record, TProjectScreen &screen,
                                              TVQQMemoBaseItem &memo) override;
    TProjectItem<TVisualVariableData> *CreateVariable(const TVisualVariableData &record, TProjectScreen &screen,
                                                      TVQQVariableBaseItem &variable) override;
    TProjectItem<TVisualAxisCamData> *CreateCamera(const TVisualAxisCamData &record, TProjectScreen &screen) override;
    TProjectItem<TVisualJaugeData> *CreateGauge(const TVisualJaugeData &record, TProjectScreen &screen) override;
    void DestroyScreen(TProjectScreen *screen) override;
    void DestroyItem(TProjectItemBase *item) override;

private:
    TForm1 &m_owner;
};
