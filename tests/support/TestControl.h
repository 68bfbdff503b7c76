#pragma once

#include "TBoundControl.h"

// A control stand-in that counts how often the model made it re-read its state.
class TestControl : public TBoundControl
{
public:
    explicit TestControl(RunMode mode = RunMode::RunTime) : Mode(mode) {}
    RunMode ControlMode() const override { return Mode; }
    void RefreshComponentState() override { ++Refreshes; }

    RunMode Mode;
    int Refreshes = 0;
};
