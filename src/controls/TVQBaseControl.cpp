#include "TVQBaseControl.h"

#include "TCodePage.h"
#include "TOutlinedLabel.h"
#include "TPicturePaths.h"
#include "TVQImageManager.h"
#include "TVQQModuleBase.h"

#include <QFontMetrics>
#include <QPainter>

TVQBaseControl::TVQBaseControl(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQControl(parent, host, Texts())
    , m_module(module)
    , m_ioIndex(ioIndex)
    , m_image(TVQImageManager::GetInstance().GetImage(QStringLiteral("IcoDefaultImage")))
{
    move(0, 0);
    setMouseTracking(true);
}

const TVQControl::MenuTexts &TVQBaseControl::Texts()
{
    static const MenuTexts texts{QString::fromUtf8("Propriétés"), QStringLiteral("Properties"), QStringLiteral("OtherMenuItem"),
                                 QStringLiteral("Do you to remove this Object ?")};
    return texts;
}

TVQBaseControl::~TVQBaseControl()
{
    if (m_module)
        m_module->RemoveControl(this);
}

int TVQBaseControl::MeasuredWidth(const QString &text)
{
    // A control is sized again and again (at each mode, each change of its record) with the same
    // samples: the last two texts are remembered by their hashes, which cost less memory than the
    // texts, so that neither is shaped again while it stays the same. Painting measures none.
    const size_t hash = qHash(text, 1);
    for (int i = 0; i < 2; ++i) {
        if (hash == m_measuredHash[i] && hash != 0) {
            m_measuredOlder = quint8(1 - i);
            return m_measuredWidth[i];
        }
    }
    const int slot = m_measuredOlder;
    m_measuredHash[slot] = hash;
    m_measuredWidth[slot] = LabelWidth(text);
    m_measuredOlder = quint8(1 - slot);
    return m_measuredWidth[slot];
}

void TVQBaseControl::Initialize(const std::vector<ControlStateInfo> &states)
{
    m_states = &states;
    m_faces.clear();
    for (const ControlStateInfo &state : states)
        m_faces.append({state.Images[1], false});
    m_currentState = states.empty() ? -1 : 0;
    m_currentStateName = states.empty() ? QString() : states.front().Name;
}

const ControlStateInfo *TVQBaseControl::CurrentState() const
{
    return m_currentState >= 0 ? &(*m_states)[size_t(m_currentState)] : nullptr;
}

void TVQBaseControl::SetStateImage()
{
    // The picture always comes from slot 1 of the current state.
    if (m_currentState >= 0)
        m_image = TVQImageManager::GetInstance().GetImage(m_faces[m_currentState].File);
}

void TVQBaseControl::SetState(const QString &name)
{
    if (m_faces.isEmpty() || name == m_currentStateName)
        return;
    for (size_t i = 0; i < m_states->size(); ++i) {
        if ((*m_states)[i].Name == name) {
            m_currentState = int(i);
            m_currentStateName = name;
            SetStateImage();
            Resize();
            update();
            return;
        }
    }
}

QString TVQBaseControl::GetStateImageFilename(int state) const
{
    return state >= 0 && state < m_faces.size() ? m_faces[state].File : QString();
}

void TVQBaseControl::SetStateImageFilename(int state, const QString &file)
{
    if (state < 0 || state >= m_faces.size())
        return;
    m_faces[state].File = file;
    if (state == m_currentState)
        SetStateImage();
    Resize();
    update();
}

bool TVQBaseControl::GetStateTransparentImage(int state) const
{
    return state >= 0 && state < m_faces.size() && m_faces[state].Transparent;
}

void TVQBaseControl::SetStateTransparentImage(int state, bool transparent)
{
    if (state < 0 || state >= m_faces.size())
        return;
    // The flag is read when the picture is drawn.
    m_faces[state].Transparent = transparent;
    update();
}

void TVQBaseControl::SetLabel(const QString &label)
{
    ChangeAndResize(m_label, label);
}

void TVQBaseControl::SetComponentLabel(const QString &label)
{
    ChangeAndResize(m_componentLabel, label);
}

void TVQBaseControl::SetShowLabel(bool show)
{
    ChangeAndResize(m_showLabel, show);
}

void TVQBaseControl::SetShowValue(bool show)
{
    ChangeAndResize(m_showValue, show);
}

void TVQBaseControl::SetDisplayType(quint8 type)
{
    ChangeAndResize(m_displayType, type);
}

bool TVQBaseControl::SetParametreIO(const Param32Record *)
{
    return true;
}

void TVQBaseControl::SetDataToControl(const TNewVisualOutput &record)
{
    const SizeHold hold(*this);
    m_record = record;
    m_componentLabel = TPicturePaths::FromRecord(record.Label);
    m_label = m_componentLabel;
    SetLabel(m_componentLabel);
    SetStateImageFilename(0, TVQImageManager::PathOf(record.OnPicture));
    SetStateImageFilename(1, TVQImageManager::PathOf(record.OffPicture));
    move(record.Left, record.Top);
    SetStateTransparentImage(0, record.TransparentOn != 0);
    SetStateTransparentImage(1, record.TransparentOff != 0);
    m_readOnly = record.ReadOnly != 0;
    SetDisplayType(record.DisplayType);
    m_showLabel = record.ShowLabel != 0;
    m_showValue = record.ShowValue != 0;
    Resize();
    update();
}

TNewVisualOutput TVQBaseControl::GetDataControl()
{
    m_record.TransparentOn = GetStateTransparentImage(0) ? 1 : 0;
    m_record.TransparentOff = GetStateTransparentImage(1) ? 1 : 0;
    m_record.Left = quint16(x());
    m_record.Top = quint16(y());
    // Texts that did not change keep the bytes they were read with, not a copy made now.
    const auto keep = [](QByteArray &field, QByteArray text) {
        if (field != text)
            field = std::move(text);
    };
    keep(m_record.OnPicture, TPicturePaths::ToRecord(GetStateImageFilename(0)));
    keep(m_record.OffPicture, TPicturePaths::ToRecord(GetStateImageFilename(1)));
    keep(m_record.Label, TPicturePaths::ToRecord(m_componentLabel));
    m_record.ReadOnly = m_readOnly ? 1 : 0;
    m_record.DisplayType = m_displayType;
    m_record.ShowLabel = m_showLabel ? 1 : 0;
    m_record.ShowValue = m_showValue ? 1 : 0;
    return m_record;
}

QString TVQBaseControl::GetLabelText()
{
    QString text;
    if (m_showLabel)
        text = m_componentLabel;
    if (m_showValue) {
        if (m_showLabel)
            text += QLatin1Char(' ');
        if (const ControlStateInfo *state = CurrentState())
            text += ValueOrUnknown(state->DisplayText);
    }
    return text;
}

int TVQBaseControl::ComputeMaxWidth()
{
    QString sample = m_showLabel ? m_componentLabel : QString();
    if (m_showValue)
        sample += QStringLiteral(" Off");  // stands for the widest value
    const int w = MeasuredWidth(sample) + 2 + 2;
    m_imageWidth = (m_image ? m_image->Width() : 0) + 2;
    return m_imageWidth > w ? m_imageWidth : w;
}

int TVQBaseControl::ComputeMaxHeight()
{
    if (m_showLabel)
        m_labelHeight = LabelMetrics().height() + 2;
    m_imageHeight = m_image ? m_image->Height() : 0;
    return m_imageHeight + m_labelHeight + 1;
}

void TVQBaseControl::CheckSize()
{
    int w = ComputeMaxWidth();
    if (w == 0)
        w = m_image ? m_image->Width() : 0;
    const int h = ComputeMaxHeight();
    if (w != width() || h != height())
        resize(w, h);
}

void TVQBaseControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintIconFace(painter, false);
}

void TVQBaseControl::PaintIconFace(QPainter &painter, bool alwaysText)
{
    const int x = (width() - m_imageWidth) / 2;
    if (m_image && !m_image->IsEmpty()) {
        painter.setOpacity(FaceOpacity());
        painter.drawPixmap(x, 0, m_image->Pixmap(m_currentState >= 0 && m_faces[m_currentState].Transparent));
        painter.setOpacity(1.0);
    }
    painter.setFont(LabelFont());
    if (alwaysText || m_showLabel || m_showValue) {
        // Centred by the width kept with the label's picture: a text is shaped when first drawn only.
        TOutlinedLabel::DrawCentred(painter, width(), m_imageHeight + 2, GetLabelText());
    }
}

QString TVQBaseControl::LabelWithValue(const QString &value)
{
    return (ShowLabel() ? ComponentLabel() + QLatin1Char(' ') : QString()) + value;
}

int TVQBaseControl::ValueIconWidth(const QString &widestValue)
{
    SetShowValue(true);
    const QString sample = (ShowLabel() ? ComponentLabel() : QString()) + QLatin1Char(' ') + widestValue;
    const int w = MeasuredWidth(sample) + 2 + 2;
    m_imageWidth = (m_image ? m_image->Width() : 0) + 2;
    return std::max(m_imageWidth, w);
}

TDataFileManager *TVQBaseControl::BoundApplication() const
{
    return m_module ? m_module->GetApplication() : nullptr;
}

StateTrust TVQBaseControl::StateTrustNow() const
{
    return m_module ? m_module->Trust(StateParts()) : StateTrust::Fresh;
}

void TVQBaseControl::ClickPress(Qt::MouseButton button, QPoint at)
{
    if (!m_module || (ControlMode() == RunMode::RunTime && m_readOnly))
        return;
    OnControlMouseDownChild(button, at);
}

void TVQBaseControl::ClickMove(QPoint at)
{
    if (m_module && ControlMode() == RunMode::Test)
        OnControlMouseMoveChild(at);
}

void TVQBaseControl::ClickRelease(Qt::MouseButton button, QPoint at)
{
    if (m_module && ControlMode() == RunMode::RunTime)
        OnControlMouseUpChild(button, at);
}

void TVQBaseControl::OnControlMouseDownChild(Qt::MouseButton, QPoint)
{
}

void TVQBaseControl::OnControlMouseUpChild(Qt::MouseButton, QPoint)
{
}

void TVQBaseControl::OnControlMouseMoveChild(QPoint)
{
}

void TVQBaseControl::Removed()
{
    if (m_module) {
        m_module->RemoveControl(this);
        m_module = nullptr;
    }
}

PropertyLayout TVQBaseControl::PropertyDialog() const
{
    return m_module ? TModuleTypes::Channel(m_module->GetModuleType(), m_ioIndex).Dialog : PropertyLayout::None;
}

std::array<QString, 2> TVQBaseControl::PropertyInfos() const
{
    if (!m_module)
        return {};
    return {TCodePage::ToDisplay(m_module->GetDisplayName()), TCodePage::ToDisplay(m_module->GetIoName(m_ioIndex))};
}

TControlSettings TVQBaseControl::Settings() const
{
    TControlSettings settings;
    settings.Label = m_componentLabel;
    for (int state = 0; state < 2; ++state) {
        settings.Pictures[state] = GetStateImageFilename(state);
        settings.Transparent[state] = GetStateTransparentImage(state);
    }
    settings.ReadOnly = m_readOnly;
    settings.ShowLabel = m_showLabel;
    settings.ShowValue = m_showValue;
    settings.DisplayType = m_displayType;
    return settings;
}

void TVQBaseControl::ApplySettings(const TControlSettings &settings)
{
    SetComponentLabel(settings.Label);
    for (int state = 0; state < 2; ++state) {
        SetStateImageFilename(state, settings.Pictures[state]);
        SetStateTransparentImage(state, settings.Transparent[state]);
    }
    SetShowLabel(settings.ShowLabel);
    SetReadOnly(settings.ReadOnly);
    SetShowValue(settings.ShowValue);
    SetDisplayType(settings.DisplayType);
}
