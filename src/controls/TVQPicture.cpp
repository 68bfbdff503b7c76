#include "TVQPicture.h"

#include "TVQImageManager.h"

#include <QBitmap>

namespace {

quint64 s_uses = 0;

} // namespace

TVQPicture::TVQPicture(QImage image, QString file)
    : m_file(std::move(file))
    , m_size(image.size())
    , m_image(std::move(image))
    , m_lastUse(++s_uses)
{
}

void TVQPicture::Use() const
{
    m_lastUse = ++s_uses;
    if (!m_image.isNull() || m_size.isEmpty())
        return;
    m_image = TVQImageManager::Decode(m_file, nullptr);
    if (m_image.size() != m_size)  // the file changed meanwhile: drawn as it was first read
        m_image = m_image.isNull() ? QImage(m_size, QImage::Format_ARGB32_Premultiplied) : m_image.scaled(m_size);
    TVQImageManager::GetInstance().KeepWithinBudget(this);
}

const QImage &TVQPicture::Image() const
{
    Use();
    return m_image;
}

const QPixmap &TVQPicture::Pixmap(bool transparent) const
{
    Use();
    if (!transparent || m_image.hasAlphaChannel()) {
        if (!m_madePlain) {
            m_plain = QPixmap::fromImage(m_image);
            m_madePlain = true;
        }
        return m_plain;
    }
    if (!m_madeTransparent) {
        m_transparent = QPixmap::fromImage(m_image);
        if (!m_image.isNull()) {
            const QRgb key = m_image.pixel(0, m_image.height() - 1);
            m_transparent.setMask(QBitmap::fromImage(m_image.createMaskFromColor(key, Qt::MaskInColor)));
        }
        m_madeTransparent = true;
    }
    return m_transparent;
}

qint64 TVQPicture::DecodedBytes() const
{
    const qint64 image = m_image.sizeInBytes();
    return image * (1 + (m_madePlain ? 1 : 0) + (m_madeTransparent ? 1 : 0));
}

void TVQPicture::Release()
{
    if (!CanRelease())
        return;
    m_image = QImage();
    m_plain = QPixmap();
    m_transparent = QPixmap();
    m_madePlain = false;
    m_madeTransparent = false;
}
