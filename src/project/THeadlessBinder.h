#pragma once

#include "TProjectBinder.h"

#include <memory>
#include <unordered_map>
#include <vector>

// Binds a project's records to the model without windows, for the command-line tools and tests:
// screens are plain records, controls keep their record and register with their model item as
// the program's controls do (an output control only when a control class serves its IO).
class THeadlessBinder : public TProjectBinder
{
public:
    THeadlessBinder();
    ~THeadlessBinder() override;

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
    std::unordered_map<TProjectScreen *, std::unique_ptr<TProjectScreen>> m_screens;
    // Found by address: a project of a million controls is torn down in proportion.
    std::unordered_map<TProjectItemBase *, std::unique_ptr<TProjectItemBase>> m_items;
};
