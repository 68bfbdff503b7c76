#pragma once

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QPointer>
#include <QWidget>

// Holds the repaints of a screen window that other windows hide completely, and paints it whole
// the moment any part of it shows again, its controls having first read the states they were told
// of meanwhile: with every screen open, most lie under others, and a refresh or a mode switch would
// otherwise paint them all for nothing. The X server says which
// windows are fully hidden (its visibility notices, asked for on each watched window). Where no
// one says so (another platform, a compositing window manager), every window paints as before.
class TObscuredWindows : public QAbstractNativeEventFilter
{
public:
    // The one filter of the application, installed on first use.
    static TObscuredWindows &Instance();

    // Called before a screen window is shown: asks the X server to report when it is hidden or
    // shown again, and lets it paint (a window shown is never held from a time it was hidden).
    void Watch(QWidget *window);
    // The X server's word on a window: hidden completely, or some part of it visible.
    void Seen(quintptr windowId, bool hidden);
    bool IsHeld(const QWidget *window) const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct TWatched
    {
        QPointer<QWidget> Window;
        bool Held = false;
    };

    TObscuredWindows() = default;
    static void Release(TWatched &watched);
    // The window's controls wait for it to show before they read their states, or read them now.
    static void SetWaiting(QWidget &window, bool waiting);

    QHash<quintptr, TWatched> m_windows;  // by the platform window's id
};
