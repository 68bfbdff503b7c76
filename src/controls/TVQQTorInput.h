#pragma once

#include "TVQBaseControl.h"

#include <QBasicTimer>

// A push-button input: shows the input's state; in run time a press sends press (1) and
// release (2), or on a long-press input held 400 ms, long press (3) and its release (4).
class TVQQTorInput : public TVQBaseControl
{
    Q_OBJECT

public:
    TVQQTorInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);

    void RefreshComponentState() override;
    quint8 StateParts() const override { return PartInputs; }
    // The long-press timer's handler: the press has lasted 400 ms.
    void TimerFunction();
    bool LongPressTiming() const { return m_longPressTimer.isActive(); }
    static constexpr int LongPressTime = 400;  // milliseconds
    bool IsLongPressIO() const { return m_longPressIO; }

protected:
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;
    void OnControlMouseUpChild(Qt::MouseButton button, QPoint at) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // A basic timer: no object and no connection for each of thousands of inputs.
    QBasicTimer m_longPressTimer;
    bool m_longPressSent = false;
    bool m_longPressIO = false;
};
