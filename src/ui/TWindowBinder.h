#pragma once

#include "TProjectBinder.h"

class TForm1;
class TMyForm11;
template <typename Record>
class TDeferredItem;

// Turns project records into screen windows and controls on them, registered with their model
// items, in the mode of the moment. On a screen not shown yet a control is kept as its record,
// and made when the screen first shows.
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
    void SetReading(bool reading) override { m_reading = reading; }

    // Makes the controls of the records the screen kept while it was not shown, each in the
    // place of its record in the project and in the history.
    void MakeControls(TMyForm11 &window);
    // The screen closed: its controls give their places back to records, and are destroyed.
    void KeepControls(TMyForm11 &window);

private:
    // While the file is read, the controls of a screen not shown are kept as their records. Any
    // other control placed on such a screen first has the screen's kept records made, so that
    // the controls stack in the order they came.
    bool Keeps(TMyForm11 &window);
    template <typename Record>
    TDeferredItem<Record> *Keep(const Record &record, TMyForm11 &window);

    TForm1 &m_owner;
    bool m_reading = false;
};
