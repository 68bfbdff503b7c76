#include "TVQVariableBaseControl.h"

#include "TCodePage.h"
#include "TPicturePaths.h"
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

TDataFileManager *TVQVariableBaseControl::BoundApplication() const
{
    return m_variable ? m_variable->GetApplication() : nullptr;
}

StateTrust TVQVariableBaseControl::StateTrustNow() const
{
    return m_variable ? m_variable->Trust() : StateTrust::Fresh;
}

void TVQVariableBaseControl::SetShowValue(bool show)
{
    ChangeAndResize(m_showValue, show);
}

QString TVQVariableBaseControl::PaintedText() const
{
    if (!ShowLabel() && !m_showValue)
        return QString();
    QString text = ShowLabel() ? Label() : QStringLiteral("");
    if (m_showValue) {
        if (!text.isEmpty())
            text += QStringLiteral(": ");
        if (Trust() == StateTrust::Unknown)
            text += QStringLiteral("?");
        else
            text += m_variable ? QString::fromLatin1(m_variable->GetValueText()) : QString();
    }
    return text;
}

void TVQVariableBaseControl::SetDataToControl(const TVisualVariableData &record)
{
    m_record = record;
    ApplyPictureRecord(record);
    m_showValue = record.ShowValue != 0;
    Resize();
}

TVisualVariableData TVQVariableBaseControl::GetDataFromControl()
{
    WritePictureRecord(m_record);
    m_record.ShowValue = m_showValue ? 1 : 0;
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
        Resize();
        update();
    }
}

void TVQVariableBaseControl::ClickPress(Qt::MouseButton, QPoint)
{
    if (ControlMode() != RunMode::RunTime || ReadOnly() || !m_variable)
        return;
    if (m_variable->GetVariableKind() == 0)
        m_variable->SendToggleVariable();
    else
        m_variable->SendValueClick();
}

std::array<QString, 2> TVQVariableBaseControl::PropertyInfos() const
{
    if (!m_variable)
        return {};
    return {QString::fromLatin1(m_variable->GetKindText()), TCodePage::ToDisplay(m_variable->GetName())};
}

TControlSettings TVQVariableBaseControl::Settings() const
{
    TControlSettings settings = TVQPicturePairControl::Settings();
    settings.ShowValue = m_showValue;
    return settings;
}

void TVQVariableBaseControl::ApplySettings(const TControlSettings &settings)
{
    m_showValue = settings.ShowValue;
    TVQPicturePairControl::ApplySettings(settings);
}
