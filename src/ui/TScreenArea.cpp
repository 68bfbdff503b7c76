#include "TScreenArea.h"

#include "TBackgroundReader.h"

#include <QContextMenuEvent>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

#include <map>

TScreenArea::TScreenArea(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    // The area paints every pixel of itself: the window under it is not filled first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {

// The decoded backgrounds of the screens shown now, by file: one copy for every screen using it,
// gone with the last screen that shows it.
std::shared_ptr<const QPixmap> SharedBackground(const QString &file)
{
    static std::map<QString, std::weak_ptr<const QPixmap>> shown;
    std::erase_if(shown, [](const auto &entry) { return entry.second.expired(); });
    if (auto picture = shown[file].lock())
        return picture;
    auto picture = std::make_shared<const QPixmap>(QPixmap::fromImage(TBackgroundReader::Read(file)));
    shown[file] = picture;
    return picture;
}

} // namespace

void TScreenArea::SetPictureFile(const QString &file, bool stretch, bool proportional)
{
    if (file != m_pictureFile)
        m_picture.reset();
    m_pictureFile = file;
    m_stretch = stretch;
    m_proportional = proportional;
    update();
}

const QPixmap &TScreenArea::Picture()
{
    if (!m_picture && !m_pictureFile.isEmpty()) {
        m_picture = SharedBackground(m_pictureFile);
        if (m_picture->isNull())
            QTimer::singleShot(0, this, &TScreenArea::pictureUnreadable);
    }
    static const QPixmap none;
    return m_picture ? *m_picture : none;
}

QColor TScreenArea::SurroundColour()
{
    const QPixmap &picture = Picture();
    return picture.isNull() ? palette().color(QPalette::Window) : picture.copy(0, 0, 1, 1).toImage().pixelColor(0, 0);
}

void TScreenArea::ReleasePicture()
{
    m_picture.reset();
}

void TScreenArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPixmap &picture = Picture();
    // The window's colour where the picture leaves the area uncovered or lets it through.
    const QRect covered = picture.isNull() || picture.hasAlphaChannel() ? QRect()
                          : !m_stretch                                  ? picture.rect()
                          : !m_proportional                             ? rect()
                                                                        : QRect(QPoint(0, 0), picture.size().scaled(size(), Qt::KeepAspectRatio));
    for (const QRect &part : event->region() - covered)
        painter.fillRect(part, palette().window());
    if (picture.isNull())
        return;
    if (!m_stretch) {
        // Only the parts to repaint: a whole picture under a clip of scattered controls costs the
        // whole picture's lines.
        for (const QRect &part : event->region()) {
            const QRect source = part & picture.rect();
            if (!source.isEmpty())
                painter.drawPixmap(source.topLeft(), picture, source);
        }
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_proportional) {
        painter.drawPixmap(rect(), picture);
        return;
    }
    const QSize size = picture.size().scaled(this->size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(QPoint(0, 0), size), picture);
}

void TScreenArea::contextMenuEvent(QContextMenuEvent *event)
{
    emit menuRequested(event->globalPos());
}

void TScreenArea::dragEnterEvent(QDragEnterEvent *event)
{
    // Only the entries of the search lists are accepted.
    if (qobject_cast<const TListItemMime *>(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TScreenArea::dragMoveEvent(QDragMoveEvent *event)
{
    if (qobject_cast<const TListItemMime *>(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TScreenArea::dropEvent(QDropEvent *event)
{
    const auto *mime = qobject_cast<const TListItemMime *>(event->mimeData());
    if (!mime) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit itemDropped(mime->Item(), event->position().toPoint());
}
