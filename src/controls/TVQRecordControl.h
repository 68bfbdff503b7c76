#pragma once

#include "TOutlinedLabel.h"
#include "TPicturePaths.h"
#include "TProjectBinder.h"
#include "TVQBaseControl.h"
#include "TVQControl.h"
#include "TVQImageManager.h"
#include "VisualRecords.h"

#include <QPainter>

#include <algorithm>
#include <functional>

// The picture and text a record shows.
inline QString RecordPicture(const TVisualShortCut &r) { return TPicturePaths::FromRecord(r.Picture); }
inline QString RecordPicture(const TVisualJaugeData &r) { return TPicturePaths::FromRecord(r.Picture); }
inline QString RecordPicture(const TVisualAxisCamData &) { return {}; }
// A shown caption that is empty is drawn and measured as "???".
inline QString ShownCaption(bool shown, const QByteArray &label)
{
    if (!shown)
        return {};
    return label.isEmpty() ? QStringLiteral("???") : TPicturePaths::FromRecord(label);
}
inline QString RecordText(const TVisualShortCut &r) { return ShownCaption(r.ShowLabel != 0, r.Label); }
inline QString RecordText(const TVisualJaugeData &r) { return ShownCaption(r.ShowLabel != 0, r.Label); }
inline QString RecordText(const TVisualAxisCamData &r) { return TPicturePaths::FromRecord(r.CameraName); }
// A camera's view is at most as large as a display.
inline QSize RecordFace(const TVisualAxisCamData &r)
{
    return {std::min<int>(r.Width, MaxDisplayWidth), std::min<int>(r.Height, MaxDisplayHeight)};
}
inline bool RecordTransparent(const TVisualShortCut &r) { return r.Transparent != 0; }
inline bool RecordTransparent(const TVisualJaugeData &r) { return r.Transparent != 0; }
template <typename Record>
bool RecordTransparent(const Record &) { return true; }
template <typename Record>
QSize RecordFace(const Record &) { return {}; }
// Shortcuts, gauges and cameras each have a dialog of their own.
inline PropertyLayout RecordDialog(const TVisualShortCut &) { return PropertyLayout::Shortcut; }
inline PropertyLayout RecordDialog(const TVisualJaugeData &) { return PropertyLayout::Gauge; }
inline PropertyLayout RecordDialog(const TVisualAxisCamData &) { return PropertyLayout::Camera; }

// The shortcut, gauge and camera controls: the record's picture (a frame of the view's size for
// a camera) with its text, saved with every field as it was read.
template <typename Record>
class TVQRecordControl : public TVQControl, public TProjectItem<Record>
{
public:
    TVQRecordControl(QWidget *parent, const Record &record, TVQControlHost *host)
        : TVQControl(parent, host, ItemTexts(), RunMode::DesignTime)
        , m_record(record)
    {
        move(record.Left, record.Top);
        Resize();
    }

    // What a click in run time or test does (a shortcut shows its target screen).
    void SetOnClick(std::function<void(const Record &)> onClick) { m_onClick = std::move(onClick); }

    // A record edited by a property dialog, applied with its position and size.
    void SetRecord(const Record &record)
    {
        m_record = record;
        move(record.Left, record.Top);
        MarkChanged();
        RecordApplied();
        CheckSize();
        update();
    }

    Record CurrentRecord() override
    {
        m_record.Left = quint16(x());
        m_record.Top = quint16(y());
        return m_record;
    }
    // The record as last applied, without the current position.
    const Record &StoredRecord() const { return m_record; }
    quint16 ItemScreenId() const override { return m_record.ScreenId; }
    void RefreshComponentState() override { update(); }
    PropertyLayout PropertyDialog() const override { return RecordDialog(m_record); }

    void CheckSize() override
    {
        const TVQPicture *picture = Picture();
        const QFontMetrics &metrics = TVQBaseControl::LabelMetrics();
        const QString text = RecordText(m_record);
        QSize face = RecordFace(m_record);
        // A picture's control is as wide as the picture or its caption (text width + 2); a
        // camera's view keeps a margin around its name.
        int textWidth = text.isEmpty() ? 0 : TVQBaseControl::LabelWidth(text) + 4;
        if (face.isEmpty()) {
            face = QSize(picture->Width(), picture->Height());
            textWidth = text.isEmpty() ? 0 : TVQBaseControl::LabelWidth(text) + 2;
        }
        const int textHeight = text.isEmpty() ? 0 : metrics.height() + 2;
        const QSize size(qMax(face.width(), textWidth), face.height() + textHeight + 1);
        if (size != this->size())
            resize(size);
    }

protected:
    // A record from a property dialog has just replaced the control's.
    virtual void RecordApplied() {}
    bool IsValidRecord() const override { return m_record.Valid != 0; }
    void ClickPress(Qt::MouseButton, QPoint) override
    {
        if (m_onClick)
            m_onClick(m_record);
    }

    const TVQPicture *Picture() const
    {
        const QString name = RecordPicture(m_record);
        return TVQImageManager::GetInstance().GetImage(name.isEmpty() ? QStringLiteral("IcoDefaultImage") : name);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QSize face = RecordFace(m_record);
        int faceHeight = 0;
        if (!face.isEmpty()) {
            painter.setPen(QPen(QColor(60, 64, 72), 1));
            painter.setBrush(QColor(30, 34, 40));
            painter.drawRect(QRect(QPoint(0, 0), face - QSize(1, 1)));
            faceHeight = face.height();
        } else {
            const TVQPicture *picture = Picture();
            painter.drawPixmap((width() - picture->Width()) / 2, 0, picture->Pixmap(RecordTransparent(m_record)));
            faceHeight = picture->Height();
        }
        const QString text = RecordText(m_record);
        if (!text.isEmpty()) {
            painter.setFont(TVQBaseControl::LabelFont());
            TOutlinedLabel::DrawCentred(painter, width(), faceHeight + 2, text);
        }
    }

private:
    Record m_record;
    std::function<void(const Record &)> m_onClick;
};
