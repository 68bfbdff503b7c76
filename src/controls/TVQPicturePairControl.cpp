#include "TVQPicturePairControl.h"

#include "TVQBaseControl.h"
#include "TVQControlHost.h"
#include "TVQImageManager.h"

#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

TVQPicturePairControl::TVQPicturePairControl(QWidget *parent, TVQControlHost *host)
    : QWidget(parent)
    , m_host(host)
    , m_image(TVQImageManager::GetInstance().GetImage(QStringLiteral("IcoDefaultImage")))
    , m_menu(new QMenu(this))
{
    QAction *properties = m_menu->addAction(QStringLiteral("Properties"));
    properties->setObjectName(QStringLiteral("PropertiesMenu"));
    connect(properties, &QAction::triggered, this, &TVQPicturePairControl::DisplayPropertiesItem);
    QAction *remove = m_menu->addAction(QStringLiteral("Delete"));
    remove->setObjectName(QStringLiteral("DeleteMenu"));
    connect(remove, &QAction::triggered, this, &TVQPicturePairControl::DisplayDeleteItem);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void TVQPicturePairControl::SetImageFileName(int index, const QString &file)
{
    if (index < 0 || index > 1) {
        QMessageBox::warning(this, QString(), QStringLiteral("Index out of range"));
        return;
    }
    if (m_imageFiles[index] == file)
        return;
    m_imageFiles[index] = file;
    Reload();
    CheckSize();
    update();
}

QString TVQPicturePairControl::GetImageFileName(int index) const
{
    return index == 0 || index == 1 ? m_imageFiles[index] : QString();
}

void TVQPicturePairControl::SetTransparentMode(int index, bool transparent)
{
    if (index < 0 || index > 1 || m_transparentFlags[index] == transparent)
        return;
    m_transparentFlags[index] = transparent;
    update();
}

bool TVQPicturePairControl::GetTransparentMode(int index) const
{
    return (index == 0 || index == 1) && m_transparentFlags[index];
}

void TVQPicturePairControl::SetLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    CheckSize();
    update();
}

void TVQPicturePairControl::SetRunTimeMode(quint8 mode)
{
    if (!IsValidRecord())
        return;
    m_mode = mode;
    CheckSize();
    update();
}

bool TVQPicturePairControl::ApplyState(const QString &name)
{
    if (name == m_currentStateName)
        return false;
    m_currentStateName = name;
    if (name == QStringLiteral("On"))
        m_imageIndex = 0;
    else if (name == QStringLiteral("Off"))
        m_imageIndex = 1;
    Reload();
    return true;
}

void TVQPicturePairControl::Reload()
{
    const QString &file = m_imageFiles[m_imageIndex];
    m_image = TVQImageManager::GetInstance().GetImage(file.isEmpty() ? QStringLiteral("IcoDefaultImage") : file);
}

void TVQPicturePairControl::CheckSize()
{
    const QFontMetrics metrics(TVQBaseControl::LabelFont());
    QString text = PaintedText();
    if (text.isEmpty())
        text = QStringLiteral("???");
    const bool shown = !PaintedText().isNull();
    const int labelWidth = shown ? metrics.horizontalAdvance(text) + 2 : 0;
    const int labelHeight = shown ? metrics.height() + 2 : 0;
    const int w = qMax(m_image->Width(), labelWidth);
    const int h = m_image->Height() + labelHeight + 1;
    if (w != width() || h != height())
        resize(w, h);
}

void TVQPicturePairControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_image->IsEmpty())
        painter.drawPixmap((width() - m_image->Width()) / 2, 0, m_image->Pixmap(m_transparentFlags[m_imageIndex]));
    const QString painted = PaintedText();
    if (painted.isNull())
        return;
    const QString text = painted.isEmpty() ? QStringLiteral("???") : painted;
    painter.setFont(TVQBaseControl::LabelFont());
    const int textWidth = painter.fontMetrics().horizontalAdvance(text) + 2;
    TVQBaseControl::DrawOutlinedText(painter, QPoint(qMax(0, (width() - textWidth) / 2), m_image->Height() + 2), text);
}

void TVQPicturePairControl::mousePressEvent(QMouseEvent *event)
{
    const bool design = m_mode != ModeRunTime && m_mode != ModeTest;
    if (event->button() == Qt::RightButton) {
        if (design)
            m_menu->popup(event->globalPosition().toPoint());
        return;
    }
    if (design) {
        m_dragging = true;
        setCursor(Qt::SizeAllCursor);
        m_dragOrigin = event->position().toPoint();
    } else {
        OnControlMouseDownChild();
    }
}

void TVQPicturePairControl::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && m_mode != ModeRunTime && m_mode != ModeTest) {
        move(pos() + event->position().toPoint() - m_dragOrigin);
        m_modified = true;
    }
}

void TVQPicturePairControl::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
    unsetCursor();
}

void TVQPicturePairControl::DisplayPropertiesItem()
{
    if (m_mode == ModeRunTime || m_mode == ModeTest)
        return;
    if (m_host && m_host->EditProperties(this))
        m_modified = true;
}

void TVQPicturePairControl::DisplayDeleteItem()
{
    if (m_mode == ModeRunTime || m_mode == ModeTest)
        return;
    if (m_host && !m_host->ConfirmDelete(QStringLiteral("Do you want to remove this Object ?")))
        return;
    Removed();
    hide();
    deleteLater();
}
