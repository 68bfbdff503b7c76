#pragma once

#include <QtCore/qnamespace.h>

class QPoint;
class QString;
class TProjectItemBase;
class TVQControl;

// What a control asks of the program around it: its deletion, the property dialog, taking it out
// of the project before it goes, and a move to remember. The screen windows implement it.
class TVQControlHost
{
public:
    virtual ~TVQControlHost() = default;
    // The delete question of the control (its own text) answered OK.
    virtual bool ConfirmDelete(const QString &text) = 0;
    // The user asked to delete the control: the host asks and, on OK, discards it.
    virtual void DeleteRequested(TVQControl *control) = 0;
    // A left press on the control in design time: false when it only changed the selection, and
    // no drag begins.
    virtual bool ControlPressed(TVQControl *, Qt::KeyboardModifiers) { return true; }
    // The dragged control moved by `delta`.
    virtual void ControlDragged(TVQControl *, const QPoint &) {}
    // The user dragged the control from `from` to where it stands now.
    virtual void ControlMoved(TVQControl *, const QPoint &) {}
    // A press and release in design time that moved nothing.
    virtual void ControlClicked(TVQControl *) {}
    // The property dialog of the control; true when the user confirmed it.
    virtual bool EditProperties(TVQControl *control) = 0;
    // The control is about to be destroyed: it leaves the project's lists.
    virtual void ControlRemoved(TProjectItemBase *item) = 0;
    // A click was refused (its link is lost): the host says so where the user looks.
    virtual void ClickRefused(const QString &) {}
};
