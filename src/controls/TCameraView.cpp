#include "TCameraView.h"

#include "TCodePage.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QRect>
#include <QTimer>

TCameraView::TCameraView(QObject *parent)
    : QObject(parent)
{
}

TCameraStream *TCameraView::Stream()
{
    // Made when first played (or looked at): a project's cameras in design time never stream.
    if (m_stream)
        return m_stream;
    m_stream = new TCameraStream(this);
    m_stream->SetSource(m_address, m_user, m_password);
    connect(m_stream, &TCameraStream::stateChanged, this, &TCameraView::changed);
    // Pictures are decoded when the event loop comes back: those that arrived meanwhile were
    // replaced by the newest, which alone is decoded.
    connect(m_stream, &TCameraStream::frameArrived, this, [this] {
        if (m_decodePending)
            return;
        m_decodePending = true;
        QTimer::singleShot(0, this, &TCameraView::DecodeNewest);
    });
    return m_stream;
}

bool TCameraView::IsPlaying() const
{
    return m_stream && m_stream->IsRunning();
}

void TCameraView::SetCamera(const TVisualAxisCamData &record)
{
    if (record.UseLogin != 0)
        SetCamera(record.Address, TCodePage::ToDisplay(record.Login), TCodePage::ToDisplay(record.Password));
    else
        SetCamera(record.Address, QString::fromLatin1(TCameraStream::FactoryUser), QString::fromLatin1(TCameraStream::FactoryPassword));
}

void TCameraView::SetCamera(const QByteArray &address, const QString &user, const QString &password)
{
    // Another camera or account: the last picture is no longer what this view shows.
    m_picture = QImage();
    m_address = address;
    m_user = user;
    m_password = password;
    if (m_stream)
        m_stream->SetSource(address, user, password);
    emit changed();
}

void TCameraView::SetViewSize(QSize size)
{
    m_viewSize = size;
}

void TCameraView::SetPlaying(bool playing)
{
    if (playing == IsPlaying())
        return;
    if (playing)
        Stream()->Start();
    else
        m_stream->Stop();
}

void TCameraView::DecodeNewest()
{
    m_decodePending = false;
    QByteArray jpeg;
    if (!m_stream->TakeNewest(jpeg))
        return;
    QImage picture = Decode(jpeg, m_viewSize);
    if (picture.isNull()) {
        ++m_unreadable;
        m_stream->PictureUnreadable();
        return;
    }
    m_stream->PictureShown();
    ++m_decoded;
    m_picture = std::move(picture);
    emit changed();
}

QImage TCameraView::Decode(const QByteArray &jpeg, QSize view)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    // Decoded by what the bytes are (a camera may send PNG), not by what the part claims.
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize full = reader.size();
    if (!full.isValid() || full.isEmpty() || full.width() > LargestPicture || full.height() > LargestPicture)
        return {};
    if (view.isValid() && !view.isEmpty()) {
        const QSize target = full.scaled(view, Qt::KeepAspectRatio);
        if (target.width() < full.width() && !target.isEmpty())
            reader.setScaledSize(target);
    }
    return reader.read();
}

QRect TCameraView::Fitted(QSize picture, const QRect &area)
{
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSize size = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                 size.width(), size.height());
}

QString TCameraView::StateText(CameraState state)
{
    switch (state) {
    case CameraState::Connecting: return QStringLiteral("No picture — connecting…");
    case CameraState::Refused: return QStringLiteral("Access refused");
    case CameraState::Stopped: return QStringLiteral("Stream stopped");
    case CameraState::Off:
    case CameraState::Playing: break;
    }
    return {};
}

void TCameraView::Paint(QPainter &painter, const QRect &area) const
{
    painter.fillRect(area, Qt::black);
    const QString text = StateText(m_stream ? m_stream->State() : CameraState::Off);
    if (!m_picture.isNull()) {
        painter.save();
        if (!text.isEmpty())
            painter.setOpacity(0.35);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(Fitted(m_picture.size(), area), m_picture);
        painter.restore();
    }
    if (text.isEmpty())
        return;
    // The state, and below it why, in white on a dark band that keeps it readable over any picture.
    painter.save();
    QFont font = painter.font();
    font.setPointSize(8);
    painter.setFont(font);
    const QString detail = m_stream ? m_stream->Detail() : QString();
    const QString shown = detail.isEmpty() ? text : text + QLatin1Char('\n') + detail;
    const QRect room = area.adjusted(4, 4, -4, -4);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    if (m_textPlace.Text != shown || m_textPlace.Room != room.size() || !(m_textPlace.Font == font)) {
        m_textPlace = {shown, font, room.size(), painter.boundingRect(QRect(QPoint(), room.size()), flags, shown)};
    }
    const QRect used = m_textPlace.Used.translated(room.topLeft()).intersected(area);
    painter.fillRect(used.adjusted(-3, -2, 3, 2).intersected(area), QColor(0, 0, 0, 170));
    painter.setPen(Qt::white);
    painter.drawText(room, flags, shown);
    painter.restore();
}
