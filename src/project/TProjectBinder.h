#pragma once

#include "TBoundControl.h"
#include "VisualRecords.h"

class TVQQMemoBaseItem;
class TVQQModuleBase;
class TVQQVariableBaseItem;
struct Param32Record;

// A screen as the project sees it: the window of the program, or a plain record in the tools.
class TProjectScreen
{
public:
    virtual ~TProjectScreen() = default;
    // The screen's record, edited in place by the screen settings.
    virtual TNewVisualScreen &ScreenRecord() = 0;
};

// A placed control as the project sees it. Controls reach it through two paths (their family's
// base and their record's item), so it is a virtual base.
class TProjectItemBase
{
public:
    virtual ~TProjectItemBase() = default;
    virtual quint16 ItemScreenId() const = 0;
    // The control's own changed flag (a move, an edit), which the project's modified test reads.
    virtual bool IsChanged() const { return false; }
    virtual void ClearChanged() {}
    // The project-wide mode switch; a control that shows nothing live ignores it.
    virtual void SetRunTimeMode(RunMode) {}
};

template <typename Record>
class TProjectItem : public virtual TProjectItemBase
{
public:
    // The record brought up to date from the control's state, as it is saved.
    virtual Record CurrentRecord() = 0;
};

// Turns records into screens and controls. The project decides which records are bound (their
// application, module, memo, variable and screen found); the binder makes the object, copies the
// record into it, sets design time and registers it with its model item. CreateOutput returns
// none when no control class serves that module type and IO number.
class TProjectBinder
{
public:
    virtual ~TProjectBinder() = default;

    virtual TProjectScreen *CreateScreen(const TNewVisualScreen &record) = 0;
    virtual TProjectItem<TNewVisualOutput> *CreateOutput(const TNewVisualOutput &record, TVQQModuleBase &module,
                                                         TProjectScreen &screen, const Param32Record *parameters) = 0;
    virtual TProjectItem<TVisualShortCut> *CreateShortcut(const TVisualShortCut &record, TProjectScreen &screen) = 0;
    virtual TProjectItem<TVisualMemoData> *CreateMemo(const TVisualMemoData &record, TProjectScreen &screen,
                                                      TVQQMemoBaseItem &memo) = 0;
    virtual TProjectItem<TVisualVariableData> *CreateVariable(const TVisualVariableData &record, TProjectScreen &screen,
                                                              TVQQVariableBaseItem &variable) = 0;
    virtual TProjectItem<TVisualAxisCamData> *CreateCamera(const TVisualAxisCamData &record, TProjectScreen &screen) = 0;
    virtual TProjectItem<TVisualJaugeData> *CreateGauge(const TVisualJaugeData &record, TProjectScreen &screen) = 0;

    // The project's file is being read (true) or has been (false): meanwhile a binder may keep the
    // controls of screens not shown as their records, to make them when the screen first shows.
    virtual void SetReading(bool) {}

    // Destroys what it created; the project has taken it out of its lists first.
    virtual void DestroyScreen(TProjectScreen *screen) = 0;
    virtual void DestroyItem(TProjectItemBase *item) = 0;
};
