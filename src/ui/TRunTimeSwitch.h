#pragma once

#include "TBoundControl.h"

class TDataFileManager;
class TForm1;

// The program-wide mode: the set-up of the applications' links, the three mode commands of the
// screens' menus, and every control of the project switched to the mode.
class TRunTimeSwitch
{
public:
    // The main window outlives the switch: it owns it.
    explicit TRunTimeSwitch(TForm1 &owner) : m_owner(owner) {}

    // The session's mode.
    RunMode Mode() const;
    // The mode a control made now starts in: the program's, design time before the first activation.
    RunMode ModeForNewControls() const;
    // Every control of the project takes the mode.
    void SwitchEveryControl(RunMode mode);

    // Opens every application's link (asking the user where none is set up), then shows the
    // "Connecting" window; "No communication port open" when no link could be opened.
    void CommandRunTime();
    // Every link closed, the controls back to design time.
    void CommandDesignTime();
    void CommandTest();

    // First-time set-up of an application's link with the user: the interface module decides
    // serial or UDP, then the port dialog shows. `byInterfaceModule`: the dialog follows the
    // interface module's type whatever the stored link kind (the project summary's "Connect").
    void SetupLink(TDataFileManager &application, bool byInterfaceModule = false);

private:
    TForm1 &m_owner;
};
