#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Holds a window's repaints to a few a second while its controls change faster than that (a
// refresh burst changes a control with every frame, and every repaint is a paint and a flush of
// the window): a change after a quiet spell paints at once, the changes that follow within the
// interval paint together when it ends, and so on until an interval passes without a change.
// Only while `paced` says so, and never while a mouse button is down (a drag paints as it goes).
class TRepaintPacer : public QObject
{
    Q_OBJECT

public:
    static constexpr int Interval = 100;  // milliseconds between two repaints of a busy window

    TRepaintPacer(QWidget *window, std::function<bool()> paced);

    bool IsHolding() const { return m_holding; }
    bool IsQuiet() const { return !m_timer.isActive(); }
    // The interval's end: paints what was held, or lets the window go quiet.
    void IntervalEnded();
    // A change that must show at once (a camera's new picture): what is held paints now, or the
    // next repaint is not held.
    void PaintNow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<bool()> m_paced;
    QTimer m_timer;
    bool m_holding = false;
    bool m_releasing = false;
    bool m_letThrough = false;
};
