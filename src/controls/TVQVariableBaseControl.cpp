#include "TVQVariableBaseControl.h"

#include "TPicturePaths.h"
#include "TVQControlHost.h"
#include "TVQQVariableBaseItem.h"

TVQVariableBaseControl::TVQVariableBaseControl(QWidget *parent, TVQQVariableBaseItem *variable, TVQControlHost *host)
    : TVQPicturePairControl(parent, host)
    , m_variable(variable)
{
    if (m_variable)
        m_variable->AddControl(this);
}

TVQVariableBaseControl::~TVQVariableBaseControl()
{
    if (m_variable)
        m_variable->RemoveControl(this);
}

void TVQVariableBaseControl::Removed()
{
    if (m_host)
        m_host->ControlRemoved(this);
}

QString TVQVariableBaseControl::PaintedText() const
{
    if (!m_showLabel && !m_showValue)
        return QString();
    QString text = m_showLabel ? Label() : QStringLiteral("");
    if (m_showValue) {
        if (!text.isEmpty())
            text += QStringLiteral(": ");
        text += m_variable ? QString::fromLatin1(m_variable->GetValueText()) : QString();
    }
    return text;
}

void TVQVariableBaseControl::SetDataToControl(const TVisualVariableData &record)
{
    m_record = record;
    ApplyPictureRecord(record);
    m_showValue = record.ShowValue != 0;
    CheckSize();
}

TVisualVariableData TVQVariableBaseControl::GetDataFromControl()
{
    m_record.TransparentOn = GetTransparentMode(0) ? 1 : 0;
    m_record.TransparentOff = GetTransparentMode(1) ? 1 : 0;
    m_record.ReadOnly = m_readOnly ? 1 : 0;
    m_record.ShowLabel = m_showLabel ? 1 : 0;
    m_record.ShowValue = m_showValue ? 1 : 0;
    m_record.Left = quint16(x());
    m_record.Top = quint16(y());
    m_record.OnPicture = TPicturePaths::ToRecord(GetImageFileName(0));
    m_record.OffPicture = TPicturePaths::ToRecord(GetImageFileName(1));
    m_record.Label = TPicturePaths::ToRecord(Label());
    return m_record;
}

bool TVQVariableBaseControl::SetValue(quint8 value)
{
    const QString text = QString::number(value);
    if (text == m_valueText)
        return false;
    m_valueText = text;
    return true;
}

void TVQVariableBaseControl::RefreshComponentState()
{
    if (!m_variable)
        return;
    const bool stateChanged = SetState(QString::fromLatin1(m_variable->GetStateText()));
    const bool valueChanged = SetValue(m_variable->GetValue());
    if (stateChanged || valueChanged) {
        CheckSize();
        update();
    }
}

void TVQVariableBaseControl::OnControlMouseDownChild()
{
    if (ControlMode() != ModeRunTime || m_readOnly || !m_variable)
        return;
    if (m_variable->GetVariableKind() == 0)
        m_variable->SendToggleVariable();
    else
        m_variable->SendValueClick();
}
