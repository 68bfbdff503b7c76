#pragma once

#include "TProjectBinder.h"
#include "TVQPicturePairControl.h"
#include "VisualRecords.h"

class TVQQVariableBaseItem;

// A variable on a screen: the On or Off picture of its state, its text and, optionally, its
// value; a run-time click toggles a boolean, steps a value or wraps it at its maximum.
class TVQVariableBaseControl : public TVQPicturePairControl, public TProjectItem<TVisualVariableData>
{
    Q_OBJECT

public:
    // The variable item is not owned; either may go first.
    TVQVariableBaseControl(QWidget *parent, TVQQVariableBaseItem *variable, TVQControlHost *host);
    ~TVQVariableBaseControl() override;

    void SetDataToControl(const TVisualVariableData &record);
    TVisualVariableData GetDataFromControl();
    void RefreshComponentState() override;
    void ModelGone() override { m_variable = nullptr; }
    TDataFileManager *BoundApplication() const override;
    bool SetState(const QString &name) { return ApplyState(name); }
    bool SetValue(quint8 value);
    TVQQVariableBaseItem *GetParentVariable() const { return m_variable; }
    PropertyLayout PropertyDialog() const override { return m_variable ? PropertyLayout::Variable : PropertyLayout::None; }
    std::array<QString, 2> PropertyInfos() const override;
    TControlSettings Settings() const override;
    void ApplySettings(const TControlSettings &settings) override;
    QString DisplayText() const { return PaintedText(); }

    TVisualVariableData CurrentRecord() override { return GetDataFromControl(); }
    quint16 ItemScreenId() const override { return m_record.ScreenId; }

    bool ShowValue() const { return m_showValue; }
    void SetShowValue(bool show);

protected:
    StateTrust StateTrustNow() const override;
    QString PaintedText() const override;
    bool IsValidRecord() const override { return m_record.Valid != 0; }
    void ClickPress(Qt::MouseButton button, QPoint at) override;

private:
    TVQQVariableBaseItem *m_variable = nullptr;
    TVisualVariableData m_record;
    QString m_valueText;
    bool m_showValue = false;
};

// The boolean and value kinds.
class TVQVariableBoolControl : public TVQVariableBaseControl
{
    Q_OBJECT
public:
    using TVQVariableBaseControl::TVQVariableBaseControl;
};

class TVQVariableValControl : public TVQVariableBaseControl
{
    Q_OBJECT
public:
    using TVQVariableBaseControl::TVQVariableBaseControl;
};
