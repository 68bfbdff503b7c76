#pragma once

#include "TBoundControl.h"

// A control stand-in that counts how often the model made it re-read its state.
class TestControl : public TBoundControl
{
public:
    explicit TestControl(quint8 mode = ModeRunTime) : Mode(mode) {}
    quint8 ControlMode() const override { return Mode; }
    void RefreshComponentState() override { ++Refreshes; }

    quint8 Mode;
    int Refreshes = 0;
};
