#include "TWindowPlaces.h"

#include "EditorSettings.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

TWindowPlaces::TWindowPlaces(QWidget *window, const QString &key)
    : QObject(window)
    , m_window(window)
    , m_key(QStringLiteral("windows/") + key)
{
    window->installEventFilter(this);
}

void TWindowPlaces::Follow(QWidget *window, const QString &key)
{
    new TWindowPlaces(window, key);
}

bool TWindowPlaces::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show && !m_restored) {
            m_restored = true;
            Restore();
        } else if (event->type() == QEvent::Hide) {
            Remember();
        }
    }
    return QObject::eventFilter(watched, event);
}

void TWindowPlaces::Restore()
{
    const QSettings settings(EditorSettingsFile(), QSettings::IniFormat);
    const QRect kept = settings.value(m_key).toRect();
    if (kept.isValid())
        m_window->setGeometry(kept);
    KeepOnScreen(m_window);
}

void TWindowPlaces::Remember() const
{
    QSettings settings(EditorSettingsFile(), QSettings::IniFormat);
    settings.setValue(m_key, m_window->geometry());
}

void TWindowPlaces::KeepOnScreen(QWidget *window)
{
    QScreen *screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame's decorations count too: what is kept inside is the whole window.
    const QMargins frame(window->geometry().left() - window->frameGeometry().left(),
                         window->geometry().top() - window->frameGeometry().top(),
                         window->frameGeometry().right() - window->geometry().right(),
                         window->frameGeometry().bottom() - window->geometry().bottom());
    const QRect inside = area.marginsRemoved(frame);
    QRect placed = window->geometry();
    placed.setSize(placed.size().boundedTo(inside.size()));
    placed.moveLeft(std::clamp(placed.left(), inside.left(), inside.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), inside.top(), inside.bottom() - placed.height() + 1));
    if (placed != window->geometry())
        window->setGeometry(placed);
}
