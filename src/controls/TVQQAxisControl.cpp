#include "TVQQAxisControl.h"

#include "TCameraView.h"

#include <QPainter>

TVQQAxisControl::TVQQAxisControl(QWidget *parent, const TVisualAxisCamData &record, TVQControlHost *host)
    : TVQRecordControl<TVisualAxisCamData>(parent, record, host)
    , m_view(new TCameraView(this))
{
    m_view->SetCamera(record);
    connect(m_view, &TCameraView::changed, this, [this] { update(); });
    CheckSize();
}

void TVQQAxisControl::SetRunTimeMode(RunMode mode)
{
    TVQRecordControl<TVisualAxisCamData>::SetRunTimeMode(mode);
    FollowVisibility();
}

void TVQQAxisControl::CheckSize()
{
    const QSize face = RecordFace(StoredRecord());
    if (face != size())
        resize(face);
}

void TVQQAxisControl::RecordApplied()
{
    if (m_view)
        m_view->SetCamera(StoredRecord());
}

void TVQQAxisControl::FollowVisibility()
{
    if (m_view)
        m_view->SetPlaying(!InDesign() && isVisible());
}

void TVQQAxisControl::showEvent(QShowEvent *event)
{
    TVQRecordControl<TVisualAxisCamData>::showEvent(event);
    FollowVisibility();
}

void TVQQAxisControl::hideEvent(QHideEvent *event)
{
    TVQRecordControl<TVisualAxisCamData>::hideEvent(event);
    FollowVisibility();
}

void TVQQAxisControl::resizeEvent(QResizeEvent *event)
{
    TVQRecordControl<TVisualAxisCamData>::resizeEvent(event);
    m_view->SetViewSize(size());
}

void TVQQAxisControl::moveEvent(QMoveEvent *event)
{
    TVQRecordControl<TVisualAxisCamData>::moveEvent(event);
    // The design face shows the position.
    if (InDesign())
        update();
}

void TVQQAxisControl::DrawCrossOutlined(QPainter &painter, QPoint topLeft, const QString &text)
{
    const int baseline = topLeft.y() + painter.fontMetrics().ascent();
    painter.setPen(Qt::white);
    painter.drawText(topLeft.x() - 1, baseline, text);
    painter.drawText(topLeft.x() + 1, baseline, text);
    painter.drawText(topLeft.x(), baseline - 1, text);
    painter.drawText(topLeft.x(), baseline + 1, text);
    painter.setPen(Qt::black);
    painter.drawText(topLeft.x(), baseline, text);
}

void TVQQAxisControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!InDesign()) {
        m_view->Paint(painter, rect());
        return;
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setFont(TVQBaseControl::LabelFont());
    DrawCrossOutlined(painter, QPoint(5, 5), QString::number(x()));
    DrawCrossOutlined(painter, QPoint(5, 20), QString::number(y()));
    const QString name = RecordText(StoredRecord());
    const QSize nameSize = painter.fontMetrics().size(Qt::TextSingleLine, name);
    DrawCrossOutlined(painter, QPoint((width() - nameSize.width()) / 2, (height() - nameSize.height()) / 2), name);
}
