#include "TVQMemoBaseControl.h"

#include "TPicturePaths.h"
#include "TVQControlHost.h"
#include "TVQQMemoBaseItem.h"
#include "TVQQModuleBase.h"

TVQMemoBaseControl::TVQMemoBaseControl(QWidget *parent, TVQQMemoBaseItem *memo, TVQControlHost *host)
    : TVQPicturePairControl(parent, host)
    , m_memo(memo)
{
    // Memo controls follow the module of the memo's IO.
    if (m_memo && m_memo->GetModule())
        m_memo->GetModule()->AddMemoControl(this);
}

TVQMemoBaseControl::~TVQMemoBaseControl()
{
    if (m_memo && m_memo->GetModule())
        m_memo->GetModule()->RemoveMemoControl(this);
}

void TVQMemoBaseControl::Removed()
{
    if (m_host)
        m_host->ControlRemoved(this);
}

QString TVQMemoBaseControl::PaintedText() const
{
    return m_showLabel ? (Label().isEmpty() ? QStringLiteral("") : Label()) : QString();
}

void TVQMemoBaseControl::SetDataToControl(const TVisualMemoData &record)
{
    m_record = record;
    ApplyPictureRecord(record);
    // The show-label flag is not read back: the text shows after every load.
}

TVisualMemoData TVQMemoBaseControl::GetDataFromControl()
{
    if (m_record.Valid != 0) {
        m_record.TransparentOn = GetTransparentMode(0) ? 1 : 0;
        m_record.TransparentOff = GetTransparentMode(1) ? 1 : 0;
        m_record.ReadOnly = m_readOnly ? 1 : 0;
        m_record.ShowLabel = m_showLabel ? 1 : 0;
        m_record.Left = quint16(x());
        m_record.Top = quint16(y());
        m_record.OnPicture = TPicturePaths::ToRecord(GetImageFileName(0));
        m_record.OffPicture = TPicturePaths::ToRecord(GetImageFileName(1));
        m_record.Label = TPicturePaths::ToRecord(Label());
    }
    return m_record;
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
    CheckSize();
    update();
}

void TVQMemoBaseControl::OnControlMouseDownChild()
{
    if (ControlMode() == ModeRunTime && !m_readOnly && m_memo)
        m_memo->SendRecall();
}

void TVQMemoZulControl::SetState(const QString &name)
{
    // A shutter memo whose shutter is in neither position keeps what it shows.
    if (name == QStringLiteral("None"))
        return;
    TVQMemoBaseControl::SetState(name);
}
