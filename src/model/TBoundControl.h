#pragma once

#include <QtGlobal>

// The program-wide interaction mode of every control. NotSet is the mode before the first
// activation; it behaves as design time.
enum class RunMode : quint8 { NotSet = 0, RunTime = 1, DesignTime = 2, Test = 3 };

// What a screen control shows to the model objects it is bound to: its mode, and a way to make it
// re-read its state. Controls implement it; module objects, memo and variable items call it.
class TBoundControl
{
public:
    virtual ~TBoundControl() = default;
    virtual RunMode ControlMode() const = 0;
    virtual void RefreshComponentState() = 0;
    // The model object the control is registered with is being destroyed: forget it. Either of
    // the two may go first.
    virtual void ModelGone() {}

    // Design time, and the mode before the first activation, show no live state.
    bool FollowsState() const { return ControlMode() == RunMode::RunTime || ControlMode() == RunMode::Test; }
};
