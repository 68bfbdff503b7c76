#include "TVQMemoBaseControl.h"

#include "TCodePage.h"
#include "TPicturePaths.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"

TVQMemoBaseControl::TVQMemoBaseControl(QWidget *parent, TVQQMemoBaseItem *memo, TVQControlHost *host)
    : TVQPicturePairControl(parent, host)
    , m_memo(memo)
    , m_module(memo ? memo->GetModule() : nullptr)
{
    // Memo controls follow the module of the memo's IO.
    if (m_module)
        m_module->AddMemoControl(this);
}

TVQMemoBaseControl::~TVQMemoBaseControl()
{
    if (m_module)
        m_module->RemoveMemoControl(this);
}

TDataFileManager *TVQMemoBaseControl::BoundApplication() const
{
    return m_memo ? m_memo->GetApplication() : nullptr;
}

StateTrust TVQMemoBaseControl::StateTrustNow() const
{
    // A memo that follows no IO claims no state of a module.
    if (!m_memo || !m_module)
        return StateTrust::Fresh;
    return m_module->Trust(m_module->ChannelPart(m_memo->GetChannel()));
}

QString TVQMemoBaseControl::PaintedText() const
{
    return ShowLabel() ? (Label().isEmpty() ? QStringLiteral("") : Label()) : QString();
}

void TVQMemoBaseControl::SetDataToControl(const TVisualMemoData &record)
{
    m_record = record;
    ApplyPictureRecord(record);
    // The show-label flag is not read back: the text shows after every load.
}

TVisualMemoData TVQMemoBaseControl::GetDataFromControl()
{
    if (m_record.Valid != 0)
        WritePictureRecord(m_record);
    return m_record;
}

std::array<QString, 2> TVQMemoBaseControl::PropertyInfos() const
{
    if (!m_memo)
        return {};
    return {QString::fromLatin1(m_memo->GetKindText()), TCodePage::ToDisplay(m_memo->GetName())};
}

void TVQMemoBaseControl::RefreshComponentState()
{
    if (m_memo)
        SetState(QString::fromLatin1(m_memo->GetStateText()));
}

void TVQMemoBaseControl::SetState(const QString &name)
{
    if (!ApplyState(name))
        return;
    Resize();
    update();
}

void TVQMemoBaseControl::ClickPress(Qt::MouseButton, QPoint)
{
    if (ControlMode() == RunMode::RunTime && !ReadOnly() && m_memo)
        m_memo->SendRecall();
}

void TVQMemoZulControl::SetState(const QString &name)
{
    // A shutter memo whose shutter is in neither position keeps what it shows.
    if (name == QStringLiteral("None"))
        return;
    TVQMemoBaseControl::SetState(name);
}
