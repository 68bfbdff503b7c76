#pragma once

#include "TBoundControl.h"

#include <functional>

// A control stand-in that counts how often the model made it re-read its state. It leaves the
// model object it was registered with when it goes first, as real controls do.
class TestControl : public TBoundControl
{
public:
    explicit TestControl(RunMode mode = RunMode::RunTime) : Mode(mode) {}
    ~TestControl() override
    {
        if (m_leave)
            m_leave();
    }
    RunMode ControlMode() const override { return Mode; }
    void RefreshComponentState() override { ++Refreshes; }
    void ModelGone() override { m_leave = nullptr; }

    // Registers with a module object or a variable item.
    template <typename Model>
    void Bind(Model &model)
    {
        model.AddControl(this);
        m_leave = [&model, this] { model.RemoveControl(this); };
    }
    // Registers as a memo control of a module object.
    template <typename Module>
    void BindAsMemo(Module &module)
    {
        module.AddMemoControl(this);
        m_leave = [&module, this] { module.RemoveMemoControl(this); };
    }

    RunMode Mode;
    int Refreshes = 0;

private:
    std::function<void()> m_leave;
};
