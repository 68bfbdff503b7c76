#pragma once

#include "TProjectBinder.h"
#include "TVQPicturePairControl.h"
#include "VisualRecords.h"

class TVQQMemoBaseItem;
class TVQQModuleBase;

// A memo on a screen: the On or Off picture its memo item reports, with the memo's text; a
// run-time click recalls the memo.
class TVQMemoBaseControl : public TVQPicturePairControl, public TProjectItem<TVisualMemoData>
{
    Q_OBJECT

public:
    // The memo item is not owned and must outlive the control; the module of its IO may go first.
    TVQMemoBaseControl(QWidget *parent, TVQQMemoBaseItem *memo, TVQControlHost *host);
    ~TVQMemoBaseControl() override;

    void SetDataToControl(const TVisualMemoData &record);
    TVisualMemoData GetDataFromControl();
    void RefreshComponentState() override;
    void ModelGone() override { m_module = nullptr; }
    TDataFileManager *BoundApplication() const override;
    virtual void SetState(const QString &name);
    TVQQMemoBaseItem *GetParentMemo() const { return m_memo; }
    PropertyLayout PropertyDialog() const override { return m_memo ? PropertyLayout::Memo : PropertyLayout::None; }
    std::array<QString, 2> PropertyInfos() const override;

    TVisualMemoData CurrentRecord() override { return GetDataFromControl(); }
    quint16 ItemScreenId() const override { return m_record.ScreenId; }

protected:
    QString PaintedText() const override;
    bool IsValidRecord() const override { return m_record.Valid != 0; }
    StateTrust StateTrustNow() const override;
    void ClickPress(Qt::MouseButton button, QPoint at) override;

private:
    TVQQMemoBaseItem *m_memo = nullptr;
    TVQQModuleBase *m_module = nullptr;  // the module of the memo's IO, which refreshes the control
    TVisualMemoData m_record;
};

// The kinds of memo controls: mixed, dimmer, and shutter (which ignores the state "None").
class TVQMemoMixteControl : public TVQMemoBaseControl
{
    Q_OBJECT
public:
    using TVQMemoBaseControl::TVQMemoBaseControl;
};

class TVQMemoDimControl : public TVQMemoBaseControl
{
    Q_OBJECT
public:
    using TVQMemoBaseControl::TVQMemoBaseControl;
};

class TVQMemoZulControl : public TVQMemoBaseControl
{
    Q_OBJECT
public:
    using TVQMemoBaseControl::TVQMemoBaseControl;
    void SetState(const QString &name) override;
};
