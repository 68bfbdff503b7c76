#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// One cached picture: the image as loaded, drawn plain or transparent. A picture read from a file
// may give its decoded memory back (`Release`) and is decoded again from the file when next
// asked for; its size stays known meanwhile.
class TVQPicture
{
public:
    explicit TVQPicture(QImage image = QImage(), QString file = QString());

    bool IsEmpty() const { return m_size.isEmpty(); }
    int Width() const { return m_size.width(); }
    int Height() const { return m_size.height(); }
    const QImage &Image() const;
    // Transparent: pictures without an alpha channel lose the colour of their bottom-left pixel,
    // as bitmaps drawn transparent always have.
    const QPixmap &Pixmap(bool transparent) const;

    // What the decoded image and its pixmaps hold now.
    qint64 DecodedBytes() const;
    bool CanRelease() const { return !m_file.isEmpty() && !m_image.isNull(); }
    void Release();
    bool IsDecoded() const { return !m_image.isNull() || m_size.isEmpty(); }
    // When it was last asked for, on a counter all pictures share.
    quint64 LastUse() const { return m_lastUse; }

private:
    // Decoded again if released, and counted as used now.
    void Use() const;

    QString m_file;   // empty: the picture cannot be read again and is never released
    QSize m_size;
    mutable QImage m_image;
    mutable QPixmap m_plain;
    mutable QPixmap m_transparent;
    mutable bool m_madePlain = false;
    mutable bool m_madeTransparent = false;
    mutable quint64 m_lastUse = 0;
};
