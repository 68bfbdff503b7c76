#pragma once

#include "TProjectBinder.h"
#include "TVQControl.h"
#include "VisualRecords.h"

#include <QString>
#include <QVarLengthArray>

#include <vector>

class QPainter;
class TVQPicture;
class TVQQModuleBase;
struct Param32Record;

// One displayable state of a kind of control (its controls share the table).
struct ControlStateInfo
{
    QString Name;          // key for SetState ("On", "Off")
    QString DisplayText;   // the value text that follows the label when values are shown
    QString Images[2];     // slot 0 the built-in key, slot 1 the picture file a control starts with
};

// What the controls of a module's channel share: a small painted control showing its state's
// picture over a label. Outside design time a click goes to the kind, which sends a command in
// run time or changes the simulated state in test.
class TVQBaseControl : public TVQControl, public TProjectItem<TNewVisualOutput>
{
    Q_OBJECT

public:
    // The module is not owned; `host` may be null and must outlive the control.
    TVQBaseControl(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);
    ~TVQBaseControl() override;

    // The kind's states, kept by address (a static table shared by every control of the kind);
    // each control keeps only what its record sets for each state: the picture and transparency.
    void Initialize(const std::vector<ControlStateInfo> &states);

    // The item record applied to the control, and the record filled from it.
    void SetDataToControl(const TNewVisualOutput &record);
    TNewVisualOutput GetDataControl();
    const TNewVisualOutput &ItemRecord() const { return m_record; }

    void SetState(const QString &name);
    const QString &CurrentStateName() const { return m_currentStateName; }
    QString GetStateImageFilename(int state) const;
    void SetStateImageFilename(int state, const QString &file);
    bool GetStateTransparentImage(int state) const;
    void SetStateTransparentImage(int state, bool transparent);
    void SetLabel(const QString &label);
    void SetComponentLabel(const QString &label);
    void SetShowLabel(bool show);
    void SetShowValue(bool show);
    virtual void SetDisplayType(quint8 type);
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    PropertyLayout PropertyDialog() const override;
    std::array<QString, 2> PropertyInfos() const override;
    TControlSettings Settings() const override;
    void ApplySettings(const TControlSettings &settings) override;

    // The module's status changed: map it to a state.
    void RefreshComponentState() override {}
    // The module object went first: the control stays, showing its last state, and sends nothing.
    void ModelGone() override { m_module = nullptr; }
    TDataFileManager *BoundApplication() const override;
    // The parts of the module's state the control shows.
    virtual quint8 StateParts() const { return PartOutputs; }
    // The IO's scaling parameters; the base accepts anything.
    virtual bool SetParametreIO(const Param32Record *parameters);

    void CheckSize() override;
    virtual int ComputeMaxWidth();
    virtual int ComputeMaxHeight();
    virtual QString GetLabelText();

    TVQQModuleBase *GetParentModule() const { return m_module; }
    quint16 IOIndex() const { return m_ioIndex; }
    const TVQPicture *Picture() const { return m_image; }
    bool ReadOnly() const { return m_readOnly; }
    bool ShowLabel() const { return m_showLabel; }
    bool ShowValue() const { return m_showValue; }
    quint8 DisplayType() const { return m_displayType; }
    const QString &ComponentLabel() const { return m_componentLabel; }

    // TProjectItem
    TNewVisualOutput CurrentRecord() override { return GetDataControl(); }
    quint16 ItemScreenId() const override { return m_record.ScreenId; }

    // The labels' font ("Arial") at a point size, and its metrics: made once for the program.
    static const QFont &LabelFont(int pointSize = 8);
    static const QFontMetrics &LabelMetrics(int pointSize = 8);
    // The advance of a text in the label font.
    static int LabelWidth(const QString &text, int pointSize = 8);
    // LabelWidth of the control's own label text, not measured again while it stays the same.
    int MeasuredWidth(const QString &text);
    // Plain text in the painter's font and pen with its top at `top`: from `left`, or centred on
    // `centre` (half the width truncated toward zero).
    static void DrawTextTop(QPainter &painter, int left, int top, const QString &text);
    static void DrawCentredText(QPainter &painter, int centre, int top, const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    // The picture centred at the top and the outlined text under it; the value controls draw the
    // text whatever the show flags say.
    void PaintIconFace(QPainter &painter, bool alwaysText);
    // The value controls' text line: the label and a space when shown, then the value.
    QString LabelWithValue(const QString &value);
    // The value controls' icon width, measured with their widest value; they are always saved
    // with the value shown.
    int ValueIconWidth(const QString &widestValue);
    bool IsValidRecord() const override { return m_record.Valid != 0; }
    StateTrust StateTrustNow() const override;
    // The value a control shows, or "?" while its state is unknown.
    QString ValueOrUnknown(const QString &value) const { return Trust() == StateTrust::Unknown ? QStringLiteral("?") : value; }
    void ClickPress(Qt::MouseButton button, QPoint at) override;
    void ClickMove(QPoint at) override;
    void ClickRelease(Qt::MouseButton button, QPoint at) override;
    void Removed() override;

    // What a kind does with a press, a move and a release in run time and test.
    virtual void OnControlMouseDownChild(Qt::MouseButton button, QPoint at);
    virtual void OnControlMouseUpChild(Qt::MouseButton button, QPoint at);
    virtual void OnControlMouseMoveChild(QPoint at);

    void SetStateImage();
    const ControlStateInfo *CurrentState() const;

    int m_imageWidth = 0;
    int m_imageHeight = 0;
    // The widths of the last two texts MeasuredWidth measured (the sizing samples), with the
    // texts' hashes; the older one is replaced first.
    size_t m_measuredHash[2] = {0, 0};
    int m_measuredWidth[2] = {0, 0};
    quint8 m_measuredOlder = 0;
    int m_labelHeight = 0;

private:
    // The menu texts of the output controls.
    static const MenuTexts &Texts();

    TVQQModuleBase *m_module = nullptr;
    quint16 m_ioIndex = 0;
    // What the record sets for one of the kind's states.
    struct StateFace
    {
        QString File;
        bool Transparent = false;
    };
    const std::vector<ControlStateInfo> *m_states = nullptr;
    QVarLengthArray<StateFace, 2> m_faces;
    int m_currentState = -1;
    QString m_currentStateName;
    const TVQPicture *m_image = nullptr;
    QString m_label;
    QString m_componentLabel;
    bool m_showValue = false;
    bool m_showLabel = true;
    bool m_readOnly = false;
    quint8 m_displayType = 0;
    TNewVisualOutput m_record;
};
