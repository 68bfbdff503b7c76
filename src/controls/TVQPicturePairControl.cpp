#include "TVQPicturePairControl.h"

#include "TOutlinedLabel.h"
#include "TVQBaseControl.h"
#include "TVQImageManager.h"

#include <QMessageBox>
#include <QPainter>

TVQPicturePairControl::TVQPicturePairControl(QWidget *parent, TVQControlHost *host)
    : TVQControl(parent, host, ItemTexts())
    , m_image(TVQImageManager::GetInstance().GetImage(QStringLiteral("IcoDefaultImage")))
{
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
    Resize();
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
    ChangeAndResize(m_label, label);
}

void TVQPicturePairControl::SetShowLabel(bool show)
{
    ChangeAndResize(m_showLabel, show);
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
    const QFontMetrics &metrics = TVQBaseControl::LabelMetrics();
    QString text = PaintedText();
    if (text.isEmpty())
        text = QStringLiteral("???");
    const bool shown = !PaintedText().isNull();
    if (const size_t hash = qHash(text, 1); shown && (hash != m_measuredHash || hash == 0)) {
        m_measuredWidth = TVQBaseControl::LabelWidth(text);
        m_measuredHash = hash;
    }
    const int labelWidth = shown ? m_measuredWidth + 2 : 0;
    const int labelHeight = shown ? metrics.height() + 2 : 0;
    const int w = qMax(m_image->Width(), labelWidth);
    const int h = m_image->Height() + labelHeight + 1;
    if (w != width() || h != height())
        resize(w, h);
}

void TVQPicturePairControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_image->IsEmpty()) {
        painter.setOpacity(FaceOpacity());
        painter.drawPixmap((width() - m_image->Width()) / 2, 0, m_image->Pixmap(m_transparentFlags[m_imageIndex]));
        painter.setOpacity(1.0);
    }
    const QString painted = PaintedText();
    if (painted.isNull())
        return;
    const QString text = painted.isEmpty() ? QStringLiteral("???") : painted;
    painter.setFont(TVQBaseControl::LabelFont());
    TOutlinedLabel::DrawCentred(painter, width(), m_image->Height() + 2, text);
}

TControlSettings TVQPicturePairControl::Settings() const
{
    TControlSettings settings;
    settings.Label = m_label;
    for (int state = 0; state < 2; ++state) {
        settings.Pictures[state] = m_imageFiles[state];
        settings.Transparent[state] = m_transparentFlags[state];
    }
    settings.ReadOnly = m_readOnly;
    settings.ShowLabel = m_showLabel;
    return settings;
}

void TVQPicturePairControl::ApplySettings(const TControlSettings &settings)
{
    SetLabel(settings.Label);
    for (int state = 0; state < 2; ++state) {
        SetImageFileName(state, settings.Pictures[state]);
        SetTransparentMode(state, settings.Transparent[state]);
    }
    m_readOnly = settings.ReadOnly;
    SetShowLabel(settings.ShowLabel);
    Resize();
    update();
}
