#pragma once

#include "TBoundControl.h"
#include "TPicturePaths.h"

#include <QString>
#include <QWidget>

class QMenu;
class TVQControlHost;
class TVQPicture;

// What the memo and variable controls share: an On and an Off picture with their own
// transparency, a text under the picture, design-time moving with a Properties/Delete menu, and
// the three modes. A kind supplies its text, its record's validity and what a click does.
class TVQPicturePairControl : public QWidget, public TBoundControl
{
    Q_OBJECT

public:
    TVQPicturePairControl(QWidget *parent, TVQControlHost *host);

    // Index 0 the On picture, 1 the Off picture; any other index: "Index out of range".
    void SetImageFileName(int index, const QString &file);
    QString GetImageFileName(int index) const;
    void SetTransparentMode(int index, bool transparent);
    bool GetTransparentMode(int index) const;
    void SetLabel(const QString &label);
    const QString &Label() const { return m_label; }
    // Ignored while the record is not valid.
    void SetRunTimeMode(quint8 mode);
    // Shows the On (0) or Off (1) picture for "On" and "Off"; false when nothing changed.
    bool ApplyState(const QString &name);
    const QString &CurrentStateName() const { return m_currentStateName; }
    int ImageIndex() const { return m_imageIndex; }
    const TVQPicture *Picture() const { return m_image; }
    QMenu *ContextMenu() const { return m_menu; }
    void DisplayPropertiesItem();
    void DisplayDeleteItem();
    void CheckSize();
    // Applies the fields memo and variable records share: label, position, the two pictures,
    // their transparency and the read-only flag.
    template <typename Record>
    void ApplyPictureRecord(const Record &record);

    quint8 ControlMode() const override { return m_mode; }
    bool IsModifiedControl() const { return m_modified; }
    void ClearModifiedControl() { m_modified = false; }

    bool m_readOnly = false;
    bool m_showLabel = true;

protected:
    // The text painted under the picture ("???" is painted for an empty one).
    virtual QString PaintedText() const = 0;
    virtual bool IsValidRecord() const = 0;
    virtual void OnControlMouseDownChild() = 0;
    // Called before the control leaves its screen and goes.
    virtual void Removed() {}

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    TVQControlHost *m_host = nullptr;

private:
    void Reload();

    QString m_imageFiles[2];
    bool m_transparentFlags[2] = {false, false};
    int m_imageIndex = 0;
    const TVQPicture *m_image = nullptr;
    QString m_label = QStringLiteral("Shortcut");
    QString m_currentStateName;
    quint8 m_mode = ModeNotSet;
    bool m_dragging = false;
    bool m_modified = false;
    QPoint m_dragOrigin;
    QMenu *m_menu = nullptr;
};

template <typename Record>
void TVQPicturePairControl::ApplyPictureRecord(const Record &record)
{
    SetLabel(TPicturePaths::FromRecord(record.Label));
    move(record.Left, record.Top);
    SetImageFileName(0, TPicturePaths::FromRecord(record.OnPicture));
    SetImageFileName(1, TPicturePaths::FromRecord(record.OffPicture));
    SetTransparentMode(0, record.TransparentOn != 0);
    SetTransparentMode(1, record.TransparentOff != 0);
    m_readOnly = record.ReadOnly != 0;
}
