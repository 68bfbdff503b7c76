#pragma once

#include "TPicturePaths.h"
#include "TVQControl.h"
#include "TVQImageManager.h"

#include <QString>

class TVQPicture;

// What the memo and variable controls share: an On and an Off picture with their own
// transparency and a text under the picture. A kind supplies its text, its record's validity
// and what a click does.
class TVQPicturePairControl : public TVQControl
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
    // Shows the On (0) or Off (1) picture for "On" and "Off"; false when nothing changed.
    bool ApplyState(const QString &name);
    const QString &CurrentStateName() const { return m_currentStateName; }
    int ImageIndex() const { return m_imageIndex; }
    const TVQPicture *Picture() const { return m_image; }
    void CheckSize() override;

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool ShowLabel() const { return m_showLabel; }
    void SetShowLabel(bool show);

    TControlSettings Settings() const override;
    void ApplySettings(const TControlSettings &settings) override;

    // The fields memo and variable records share: label, position, the two pictures, their
    // transparency and the read-only flag; applied from a record and written back into one.
    template <typename Record>
    void ApplyPictureRecord(const Record &record);
    template <typename Record>
    void WritePictureRecord(Record &record) const;

protected:
    // The text painted under the picture ("???" is painted for an empty one, nothing for a null one).
    virtual QString PaintedText() const = 0;

    void paintEvent(QPaintEvent *event) override;

private:
    void Reload();

    QString m_imageFiles[2];
    bool m_transparentFlags[2] = {false, false};
    int m_imageIndex = 0;
    const TVQPicture *m_image = nullptr;
    QString m_label = QStringLiteral("Shortcut");
    QString m_currentStateName;
    bool m_readOnly = false;
    bool m_showLabel = true;
    // The width of the label last measured, by its text's hash: a change of state sizes the
    // control again with the same label, which would be shaped again once the shared table of
    // widths has let it go (a project has more distinct labels than the table holds).
    size_t m_measuredHash = 0;
    int m_measuredWidth = 0;
};

template <typename Record>
void TVQPicturePairControl::ApplyPictureRecord(const Record &record)
{
    SetLabel(TPicturePaths::FromRecord(record.Label));
    move(record.Left, record.Top);
    SetImageFileName(0, TVQImageManager::PathOf(record.OnPicture));
    SetImageFileName(1, TVQImageManager::PathOf(record.OffPicture));
    SetTransparentMode(0, record.TransparentOn != 0);
    SetTransparentMode(1, record.TransparentOff != 0);
    m_readOnly = record.ReadOnly != 0;
}

template <typename Record>
void TVQPicturePairControl::WritePictureRecord(Record &record) const
{
    record.TransparentOn = GetTransparentMode(0) ? 1 : 0;
    record.TransparentOff = GetTransparentMode(1) ? 1 : 0;
    record.ReadOnly = m_readOnly ? 1 : 0;
    record.ShowLabel = m_showLabel ? 1 : 0;
    record.Left = quint16(x());
    record.Top = quint16(y());
    record.OnPicture = TPicturePaths::ToRecord(GetImageFileName(0));
    record.OffPicture = TPicturePaths::ToRecord(GetImageFileName(1));
    record.Label = TPicturePaths::ToRecord(Label());
}
