#pragma once

#include "TVQBaseControl.h"

class QTimer;

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
    QTimer *LongPressTimer() const { return m_longPressTimer; }
    bool IsLongPressIO() const { return m_longPressIO; }

protected:
    void OnControlMouseDownChild(Qt::MouseButton button, QPoint at) override;
    void OnControlMouseUpChild(Qt::MouseButton button, QPoint at) override;

private:
    QTimer *m_longPressTimer = nullptr;
    bool m_longPressSent = false;
    bool m_longPressIO = false;
};
