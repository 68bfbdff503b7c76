#pragma once

#include "TBoundControl.h"
#include "TPicturePaths.h"
#include "TProjectBinder.h"
#include "TVQBaseControl.h"
#include "TVQControlHost.h"
#include "TVQImageManager.h"
#include "VisualRecords.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <functional>

// The picture and text a record shows.
inline QString RecordPicture(const TVisualMemoData &r) { return TPicturePaths::FromRecord(r.OnPicture); }
inline QString RecordPicture(const TVisualVariableData &r) { return TPicturePaths::FromRecord(r.OnPicture); }
inline QString RecordPicture(const TVisualShortCut &r) { return TPicturePaths::FromRecord(r.Picture); }
inline QString RecordPicture(const TVisualJaugeData &r) { return TPicturePaths::FromRecord(r.Picture); }
inline QString RecordPicture(const TVisualAxisCamData &) { return {}; }
inline QString RecordText(const TVisualMemoData &r) { return r.ShowLabel ? TPicturePaths::FromRecord(r.Label) : QString(); }
inline QString RecordText(const TVisualVariableData &r) { return r.ShowLabel ? TPicturePaths::FromRecord(r.Label) : QString(); }
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
inline QSize RecordFace(const TVisualAxisCamData &r) { return {r.Width, r.Height}; }
inline bool RecordTransparent(const TVisualShortCut &r) { return r.Transparent != 0; }
inline bool RecordTransparent(const TVisualJaugeData &r) { return r.Transparent != 0; }
template <typename Record>
bool RecordTransparent(const Record &) { return true; }
template <typename Record>
QSize RecordFace(const Record &) { return {}; }

// The memo, variable, shortcut, gauge and camera controls until they have faces of their own:
// the record's picture (a frame of the view's size for a camera) with its text, moved with the
// mouse in design time, deleted from its menu, saved with every field as it was read.
template <typename Record>
class TVQRecordControl : public QWidget, public TBoundControl, public TProjectItem<Record>
{
public:
    TVQRecordControl(QWidget *parent, const Record &record, TVQControlHost *host)
        : QWidget(parent)
        , m_record(record)
        , m_host(host)
        , m_menu(new QMenu(this))
    {
        QAction *properties = m_menu->addAction(QStringLiteral("Properties"));
        properties->setObjectName(QStringLiteral("PropertiesMenu"));
        QObject::connect(properties, &QAction::triggered, this, [this] {
            if (m_host)
                m_host->EditProperties(this);
        });
        QAction *remove = m_menu->addAction(QStringLiteral("Delete"));
        remove->setObjectName(QStringLiteral("DeleteMenu"));
        QObject::connect(remove, &QAction::triggered, this, [this] { Delete(); });
        move(record.Left, record.Top);
        CheckSize();
    }
    ~TVQRecordControl() override
    {
        if (m_unbind)
            m_unbind();
    }

    // Called on destruction to leave the model item it was registered with.
    void SetUnbind(std::function<void()> unbind) { m_unbind = std::move(unbind); }
    // What a click in run time or test does (a shortcut shows its target screen).
    void SetOnClick(std::function<void(const Record &)> onClick) { m_onClick = std::move(onClick); }

    // A record edited by a property dialog, applied with its position and size.
    void SetRecord(const Record &record)
    {
        m_record = record;
        move(record.Left, record.Top);
        m_modified = true;
        CheckSize();
        update();
    }

    void SetRunTimeMode(quint8 mode)
    {
        if (m_record.Valid == 0)
            return;
        m_mode = mode;
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
    bool IsChanged() const override { return m_modified; }
    void ClearChanged() override { m_modified = false; }
    quint8 ControlMode() const override { return m_mode; }
    void RefreshComponentState() override { update(); }

    void Delete()
    {
        if (m_host && !m_host->ConfirmDelete(QStringLiteral("Do you want to remove this Object ?")))
            return;
        if (m_host)
            m_host->ControlRemoved(this);
        hide();
        this->deleteLater();
    }

protected:
    virtual void CheckSize()
    {
        const TVQPicture *picture = Picture();
        const QFontMetrics metrics(TVQBaseControl::LabelFont());
        const QString text = RecordText(m_record);
        QSize face = RecordFace(m_record);
        if (face.isEmpty())
            face = QSize(picture->Width() + 2, picture->Height());
        const int textHeight = text.isEmpty() ? 0 : metrics.height() + 2;
        resize(qMax(face.width(), metrics.horizontalAdvance(text) + 4), face.height() + textHeight + 1);
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
            const int textWidth = painter.fontMetrics().horizontalAdvance(text) + 2;
            TVQBaseControl::DrawOutlinedText(painter, QPoint(qMax(0, (width() - textWidth) / 2), faceHeight + 2), text);
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        const bool design = m_mode != ModeRunTime && m_mode != ModeTest;
        if (!design) {
            if (event->button() != Qt::RightButton && m_onClick)
                m_onClick(m_record);
            return;
        }
        if (event->button() == Qt::RightButton) {
            m_menu->popup(event->globalPosition().toPoint());
            return;
        }
        m_dragging = true;
        m_dragOrigin = event->position().toPoint();
        setCursor(Qt::SizeAllCursor);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (m_dragging) {
            move(pos() + event->position().toPoint() - m_dragOrigin);
            m_modified = true;
        }
    }
    void mouseReleaseEvent(QMouseEvent *) override
    {
        m_dragging = false;
        unsetCursor();
    }

private:
    Record m_record;
    TVQControlHost *m_host = nullptr;
    QMenu *m_menu = nullptr;
    quint8 m_mode = ModeDesignTime;
    bool m_dragging = false;
    bool m_modified = false;
    QPoint m_dragOrigin;
    std::function<void()> m_unbind;
    std::function<void(const Record &)> m_onClick;
};
