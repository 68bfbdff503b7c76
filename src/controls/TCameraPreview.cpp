#include "TCameraPreview.h"

#include "TCameraView.h"

#include <QPainter>

TCameraPreview::TCameraPreview(QWidget *parent)
    : QWidget(parent)
    , m_view(new TCameraView(this))
{
    connect(m_view, &TCameraView::changed, this, [this] { update(); });
}

void TCameraPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_view->Paint(painter, rect());
}

void TCameraPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->SetViewSize(size());
}
