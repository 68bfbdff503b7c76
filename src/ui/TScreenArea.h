#pragma once

#include "ListItemData.h"

#include <QPixmap>
#include <QColor>
#include <QWidget>

#include <memory>

// The picture area of a screen: the background picture filling the client area; the controls
// stand on it; items dropped from the search lists land on it.
class TScreenArea : public QWidget
{
    Q_OBJECT

public:
    explicit TScreenArea(QWidget *parent);
    // The background is read from `file` when the screen is first painted; screens showing the
    // same file share one decoded picture, and a hidden screen holds none.
    void SetPictureFile(const QString &file, bool stretch, bool proportional);
    const QString &PictureFile() const { return m_pictureFile; }
    // The background, read now if it is not yet; null when the file cannot be decoded.
    const QPixmap &Picture();
    bool HoldsPicture() const { return m_picture != nullptr; }
    // The colour around the picture where it is smaller than its display: its top-left pixel's.
    QColor SurroundColour();
    void ReleasePicture();

    // Qt paints overlapping sibling widgets by recursion, one level per sibling: tens of thousands
    // on one screen overflow the stack. A screen shows at most this many controls; the others stay
    // hidden (and in the project, which keeps and saves them).
    static constexpr int MaxShownControls = 10000;
    // Shows a new control of the screen, unless the screen shows the most it may already.
    void ShowControl(QWidget *control)
    {
        if (m_shownControls < MaxShownControls) {
            ++m_shownControls;
            control->show();
        } else {
            ++m_notShown;
            control->hide();  // explicitly: not shown with its screen either
        }
    }
    int NotShown() const { return m_notShown; }
    // Every control went (kept as records while the screen is closed): none is counted any more.
    void ControlsGone() { m_shownControls = m_notShown = 0; }

signals:
    void menuRequested(const QPoint &globalPosition);
    // The background's file was read but holds no picture.
    void pictureUnreadable();
    void itemDropped(const ListItemData &item, const QPoint &at);

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QString m_pictureFile;
    std::shared_ptr<const QPixmap> m_picture;
    bool m_stretch = false;
    bool m_proportional = false;
    int m_shownControls = 0;
    int m_notShown = 0;
};
