#include "TVQQVariableBaseItem.h"

#include "TProgramLists.h"

#include "InstallationRecords.h"
#include "TDataFileManager.h"
#include "TFrameBuilder.h"
#include "TLinkSession.h"
#include "UserMessages.h"

TVQQVariableBaseItem::TVQQVariableBaseItem(TDataFileManager *application, VariableRecord *record, SerialPort *link)
    : m_application(application)
    , m_record(record)
    , m_link(link)
{
}

TVQQVariableBaseItem::~TVQQVariableBaseItem() = default;

void TVQQVariableBaseItem::SendStep()
{
}

QByteArray TVQQVariableBaseItem::GetValueText() const
{
    return {};
}

bool TVQQVariableBaseItem::HasLink() const
{
    if (m_link)
        return true;
    if (UserMessages *messages = m_application->Messages())
        messages->ShowMessage(QStringLiteral("No Serial Port Defined"));
    return false;
}

void TVQQVariableBaseItem::SendToggleVariable()
{
    if (HasLink())
        TFrameBuilder::BuildVariableToggle(*m_link, m_variableNumber);
}

void TVQQVariableBaseItem::SendWrap()
{
    if (HasLink())
        TFrameBuilder::BuildVariableCommand2(*m_link, m_variableNumber);
}

void TVQQVariableBaseItem::SendValueClick()
{
    if (GetMaxValue() > GetValue())
        SendStep();
    else
        SendWrap();
}

void TVQQVariableBaseItem::SetValue(QByteArrayView payload)
{
    if (!payload.isEmpty())
        m_value = quint8(payload[0]);
    m_controls.Refresh();
    // A new value, or the first report since the link opened, is announced once.
    if (m_value == m_announcedValue && m_reported == m_announcedReport)
        return;
    m_announcedValue = m_value;
    m_announcedReport = m_reported;
    if (TProgramLists *lists = m_application ? m_application->ProgramLists() : nullptr)
        lists->VariableValueChanged(*this);
}

QByteArray TVQQVariableBaseItem::GetStateText() const
{
    return m_value != 0 ? "On" : "Off";
}

QByteArray TVQQVariableBaseItem::GetKindText() const
{
    switch (m_record->VariableKind) {
    case 0: return "Boolean";
    case 1: return "Value";
    default: return "Variable";
    }
}

quint8 TVQQVariableBaseItem::GetMaxValue() const
{
    return m_record->MaxValue;
}

quint8 TVQQVariableBaseItem::GetVariableKind() const
{
    return m_record->VariableKind;
}

QByteArray TVQQVariableBaseItem::GetName() const
{
    return m_record->Name;
}

QByteArray TVQQVariableBooleen::GetValueText() const
{
    return GetValue() != 0 ? "true" : "false";
}

void TVQQVariableValeur::SendStep()
{
    if (HasLink())
        TFrameBuilder::BuildVariableCommandB(*Link(), GetVariableNumber());
}

QByteArray TVQQVariableValeur::GetValueText() const
{
    return QByteArray::number(GetValue());
}

void TVQQVariableBaseItem::MarkReported()
{
    m_reported = m_application->Session().Epoch();
}

StateTrust TVQQVariableBaseItem::Trust() const
{
    return m_application->Session().TrustOf(m_reported);
}
