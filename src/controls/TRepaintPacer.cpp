#include "TRepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <utility>

TRepaintPacer::TRepaintPacer(QWidget *window, std::function<bool()> paced)
    : QObject(window), m_window(window), m_paced(std::move(paced))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(Interval);
    connect(&m_timer, &QTimer::timeout, this, &TRepaintPacer::IntervalEnded);
    window->installEventFilter(this);
}

void TRepaintPacer::IntervalEnded()
{
    m_timer.stop();
    if (!m_holding)
        return;
    m_holding = false;
    m_timer.start();
    // Qt posts no further request while one it posted is unanswered: this one paints all held.
    QEvent request(QEvent::UpdateRequest);
    m_releasing = true;
    QCoreApplication::sendEvent(m_window, &request);
    m_releasing = false;
}

void TRepaintPacer::PaintNow()
{
    if (m_holding) {
        m_timer.stop();
        IntervalEnded();
    } else {
        m_letThrough = true;
    }
}

bool TRepaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_releasing)
        return false;
    const bool urgent = std::exchange(m_letThrough, false);
    if (!m_paced() || QGuiApplication::mouseButtons() != Qt::NoButton)
        return false;
    if (urgent || !m_timer.isActive()) {
        m_timer.start();
        return false;
    }
    m_holding = true;
    return true;
}
