#pragma once

#include <QtGlobal>

// The program-wide interaction mode of every control.
enum ControlModes : quint8 { ModeNotSet = 0, ModeRunTime = 1, ModeDesignTime = 2, ModeTest = 3 };

// What a screen control shows to the model objects it is bound to: its mode, and a way to make it
// re-read its state. Controls implement it; module objects, memo and variable items call it.
class TBoundControl
{
public:
    virtual ~TBoundControl() = default;
    virtual quint8 ControlMode() const = 0;
    virtual void RefreshComponentState() = 0;

    // Design time, and the mode before the first activation, show no live state.
    bool FollowsState() const { return ControlMode() != ModeDesignTime && ControlMode() != ModeNotSet; }
};
