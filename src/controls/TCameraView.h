#pragma once

#include "TCameraStream.h"
#include "VisualRecords.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QSize>

class QPainter;
class QRect;

// What a camera view shows: the stream of a camera record, each newest picture decoded at the
// view's size (libjpeg scales while decoding, far cheaper than decoding whole and scaling), and
// the stream's state written over the last picture, dimmed, when it is not playing. Used by the
// camera control on its screen and by the camera dialog's preview.
class TCameraView : public QObject
{
    Q_OBJECT

public:
    explicit TCameraView(QObject *parent = nullptr);

    // The camera and account of a record: its own log-in with "use login", else the factory account.
    void SetCamera(const TVisualAxisCamData &record);
    void SetCamera(const QByteArray &address, const QString &user, const QString &password);
    // The size pictures are decoded at.
    void SetViewSize(QSize size);
    QSize ViewSize() const { return m_viewSize; }
    void SetPlaying(bool playing);
    bool IsPlaying() const;

    // The stream, made if it is not yet.
    TCameraStream *Stream();
    const QImage &Picture() const { return m_picture; }
    qsizetype PicturesDecoded() const { return m_decoded; }
    qsizetype PicturesUnreadable() const { return m_unreadable; }

    // The picture scaled into `area` with its aspect ratio kept on black, and the state's words.
    void Paint(QPainter &painter, const QRect &area) const;

    // A JPEG decoded at the largest size that fits `view` with its aspect ratio kept (never larger
    // than the picture); a null image for bytes that are no picture or claim an absurd size.
    static QImage Decode(const QByteArray &jpeg, QSize view);
    // Where a picture of `picture` size stands in `area`: as large as fits, centred.
    static QRect Fitted(QSize picture, const QRect &area);
    // The words a state shows; none while playing or off.
    static QString StateText(CameraState state);

    // A picture beyond this in either direction is not decoded.
    static constexpr int LargestPicture = 8192;

signals:
    // The picture or the state changed: repaint.
    void changed();

private:
    void DecodeNewest();

    TCameraStream *m_stream = nullptr;
    QByteArray m_address;  // the camera, kept for the stream made at the first play
    QString m_user;
    QString m_password;
    QImage m_picture;
    QSize m_viewSize;
    bool m_decodePending = false;
    qsizetype m_decoded = 0;
    qsizetype m_unreadable = 0;
    // Where the state's text last went in its room: laid out again only when it or the room changes.
    struct TextPlace
    {
        QString Text;
        QFont Font;
        QSize Room;
        QRect Used;  // from the room's top left
    };
    mutable TextPlace m_textPlace;
};
