#pragma once

#include <QtGlobal>

#include <utility>

// The program-wide interaction mode of every control. NotSet is the mode before the first
// activation; it behaves as design time.
enum class RunMode : quint8 { NotSet = 0, RunTime = 1, DesignTime = 2, Test = 3 };

// How far a state shown in run time can be trusted: reported since the link last opened (fresh),
// never reported (unknown), or reported before the link was lost or reopened (stale).
enum class StateTrust : quint8 { Fresh, Unknown, Stale };

// The parts of a module's state that status frames report one by one.
enum StatePart : quint8 { PartInputs = 1, PartOutputs = 2, PartLevels = 4, PartTemperature = 8 };

class TDataFileManager;

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
    // The trust of the state may have changed (a report, a link lost or back): repaint if so.
    virtual void RefreshTrust() {}
    // The application whose link the control's state comes from, or none.
    virtual TDataFileManager *BoundApplication() const { return nullptr; }

    // Design time, and the mode before the first activation, show no live state.
    bool FollowsState() const
    {
        const RunMode mode = ControlMode();
        return mode == RunMode::RunTime || mode == RunMode::Test;
    }

    // While its window cannot be seen at all, a control leaves the states it is told of to be read
    // when the window shows again: a refresh burst changes every module, and with every screen
    // open most lie under others. Such a window can be neither clicked nor painted meanwhile. One
    // whose model object went in the meantime has nothing left to read.
    void SetWaiting(bool waiting)
    {
        m_waiting = waiting;
        if (!waiting && std::exchange(m_missed, false) && FollowsState()) {
            RefreshComponentState();
            RefreshTrust();
        }
    }
    bool Waiting() const { return m_waiting; }
    // A state came while it waited.
    void Missed() { m_missed = true; }
    // It left the model object it was registered with, or that object is being destroyed: no
    // state is left to read.
    void Unbound() { m_missed = false; }
    void ModelLeft()
    {
        Unbound();
        ModelGone();
    }

private:
    bool m_waiting = false;
    bool m_missed = false;
};
