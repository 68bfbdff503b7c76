#include "TObscuredWindows.h"

#include "TBoundControl.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <memory>
#include <utility>

namespace {

xcb_connection_t *X11Connection()
{
    const auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Adds visibility notices to what the window already reports to this program (the window's
// event mask is the program's own, set by Qt when it made the window).
void AskForVisibility(xcb_connection_t *connection, xcb_window_t window)
{
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&free)> attributes(
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr), &free);
    if (!attributes)
        return;
    const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_VISIBILITY_CHANGE;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
}

} // namespace

TObscuredWindows &TObscuredWindows::Instance()
{
    static TObscuredWindows *filter = [] {
        auto *made = new TObscuredWindows;  // lives as long as the application
        qApp->installNativeEventFilter(made);
        return made;
    }();
    return *filter;
}

void TObscuredWindows::Watch(QWidget *window)
{
    for (auto it = m_windows.begin(); it != m_windows.end();) {
        if (it->Window == window)
            Release(*it);
        if (it->Window.isNull() || it->Window == window)
            it = m_windows.erase(it);
        else
            ++it;
    }
    const quintptr id = window->winId();
    m_windows.insert(id, {window, false});
    if (xcb_connection_t *connection = X11Connection())
        AskForVisibility(connection, xcb_window_t(id));
}

void TObscuredWindows::Seen(quintptr windowId, bool hidden)
{
    const auto found = m_windows.find(windowId);
    if (found == m_windows.end() || found->Window.isNull())
        return;
    if (!hidden) {
        Release(*found);
    } else if (!found->Held && found->Window->updatesEnabled()) {
        found->Held = true;
        found->Window->setUpdatesEnabled(false);
        SetWaiting(*found->Window, true);
    }
}

bool TObscuredWindows::IsHeld(const QWidget *window) const
{
    const auto found = m_windows.constFind(window->internalWinId());
    return found != m_windows.constEnd() && found->Window == window && found->Held;
}

void TObscuredWindows::Release(TWatched &watched)
{
    // Its controls read the states they missed, then updates enabled again repaint the whole
    // window.
    if (std::exchange(watched.Held, false) && watched.Window) {
        SetWaiting(*watched.Window, false);
        watched.Window->setUpdatesEnabled(true);
    }
}

void TObscuredWindows::SetWaiting(QWidget &window, bool waiting)
{
    for (QWidget *child : window.findChildren<QWidget *>()) {
        if (auto *control = dynamic_cast<TBoundControl *>(child))
            control->SetWaiting(waiting);
    }
}

bool TObscuredWindows::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & ~0x80) == XCB_VISIBILITY_NOTIFY) {
        const auto *visibility = static_cast<const xcb_visibility_notify_event_t *>(message);
        Seen(visibility->window, visibility->state == XCB_VISIBILITY_FULLY_OBSCURED);
    }
    return false;
}
