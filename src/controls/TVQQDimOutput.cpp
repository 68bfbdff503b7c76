#include "TVQQDimOutput.h"

#include "TControlFactory.h"
#include "TVQImageManager.h"
#include "TVQQModuleBase.h"
#include "TVQQTorOutput.h"

#include <QPainter>

namespace {
[[maybe_unused]] const bool k_registered = TControlFactory::Register<TVQQDimOutput>("TVQQDimOutput");
} // namespace

TVQQDimOutput::TVQQDimOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
{
    Initialize(TVQQTorOutput::OnOffStates());
    TVQBaseControl::SetDisplayType(1);
}

const TVQPicture *TVQQDimOutput::Panel() const
{
    return TVQImageManager::GetInstance().GetControlImage(QStringLiteral("DimView.bmp"));
}

void TVQQDimOutput::SetDisplayType(quint8 type)
{
    const quint8 mapped = type >= 1 && type <= 3 ? type : 1;
    if (mapped == DisplayType())
        return;
    m_viewMode = mapped == 2 ? 2 : 1;
    TVQBaseControl::SetDisplayType(mapped);
}

void TVQQDimOutput::RefreshComponentState()
{
    std::array<quint8, 8> levels{};
    GetParentModule()->GetLevels(levels);
    SetLevel(IOIndex() < 8 ? levels[IOIndex()] : 0);
}

void TVQQDimOutput::SetLevel(int level)
{
    // The picture says whether the channel is lit: the off picture at level 0.
    SetState(level > 0 ? QStringLiteral("On") : QStringLiteral("Off"));
    if (level == m_level)
        return;
    // The control's width is that of its widest level ("100%"), whatever the level now.
    m_level = level;
    update();
}

QString TVQQDimOutput::GetLabelText()
{
    return LabelWithValue(ValueOrUnknown(QString::number(m_level) + QLatin1Char('%')));
}

int TVQQDimOutput::ComputeMaxWidth()
{
    // A closed pop-up panel takes no more room than its icon, so it covers none of its neighbours.
    if (m_viewMode == 2)
        return Panel()->Width();
    return ValueIconWidth(QStringLiteral("100%"));
}

void TVQQDimOutput::CheckSize()
{
    if (m_viewMode == 2) {
        const TVQPicture *panel = Panel();
        if (panel->Width() != width() || panel->Height() != height())
            resize(panel->Width(), panel->Height());
        return;
    }
    TVQBaseControl::CheckSize();
}

int TVQQDimOutput::LevelFromBar(int x)
{
    static constexpr int limits[] = {35, 55, 79, 102, 124, 147, 171, 194, 216};
    for (int i = 0; i < 9; ++i) {
        if (x < limits[i])
            return (i + 1) * 10;
    }
    return 100;
}

std::vector<QRect> TVQQDimOutput::BarBlocks(int level)
{
    // Blocks 19 pixels wide with 4-pixel gaps, their last row 118 shared, each 2 pixels taller;
    // the far corner of each block lies just outside it.
    std::vector<QRect> blocks;
    int x = 10, y = 113, h = 6, n = level;
    while (n > 9) {
        blocks.push_back(QRect(x, y, 19, h));
        x += 23;
        y -= 2;
        h += 2;
        n -= 10;
    }
    if (n != 0)
        blocks.push_back(QRect(x, y, 2 * n, h));
    return blocks;
}

bool TVQQDimOutput::OnCtlClick(int x, int y, bool click)
{
    if (DisplayType() == 3 && y >= 7 && y < 31 && x > 141 && x < 161) {
        if (click) {
            m_viewMode = 1;
            CheckSize();
            update();
        }
        return true;
    }
    if (y >= 4 && y < 36 && x > 179 && x < 241) {
        if (click)
            ApplyLevel(100);
        return true;
    }
    if (y >= 49 && y < 81 && x > 179 && x < 241) {
        if (click)
            ApplyLevel(0);
        return true;
    }
    if (y >= 89 && y < 125) {
        if (click && (DisplayType() == 2 || DisplayType() == 3))
            ApplyLevel(LevelFromBar(x));
        return true;
    }
    return false;
}

void TVQQDimOutput::ApplyLevel(int level)
{
    if (ControlMode() == RunMode::RunTime) {
        // The digits change when the module reports the new level.
        GetParentModule()->SendDimLevel(IOIndex(), quint8(level));
    } else if (ControlMode() == RunMode::Test) {
        m_level = level;
        GetParentModule()->SetLevelTest(quint8(level), IOIndex());
        update();
    }
}

void TVQQDimOutput::OnControlMouseDownChild(Qt::MouseButton, QPoint at)
{
    if (m_viewMode == 2) {
        OnCtlClick(at.x(), at.y(), true);
        return;
    }
    if (DisplayType() == 1) {
        if (ControlMode() == RunMode::RunTime) {
            GetParentModule()->SendToggle(IOIndex());
        } else if (ControlMode() == RunMode::Test) {
            GetParentModule()->ToggleTestState(IOIndex());
            GetParentModule()->RefreshControls();
        }
    } else if (DisplayType() == 3) {
        // The open panel covers the controls around it.
        m_viewMode = 2;
        CheckSize();
        raise();
        update();
    }
}

void TVQQDimOutput::OnControlMouseMoveChild(QPoint at)
{
    if (m_viewMode == 2 && OnCtlClick(at.x(), at.y(), false))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void TVQQDimOutput::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_viewMode != 2) {
        PaintIconFace(painter, true);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(FaceOpacity());
    painter.drawPixmap(0, 0, Panel()->Pixmap(false));
    painter.setPen(Qt::black);
    painter.setFont(LabelFont(10));
    DrawTextTop(painter, 10, 10, ComponentLabel());
    DrawCentredText(painter, 205, 15, QStringLiteral("ON"));
    DrawCentredText(painter, 205, 57, QStringLiteral("OFF"));
    painter.setFont(LabelFont(22));
    DrawCentredText(painter, 60, 40, ValueOrUnknown(QString::number(m_level) + QLatin1Char('%')));
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const QRect &block : BarBlocks(m_level))
        painter.fillRect(block, QColor(255, 0, 0));
    // Only the pop-up panel can be closed.
    if (DisplayType() == 3)
        painter.drawPixmap(141, 9, TVQImageManager::GetInstance().GetControlImage(QStringLiteral("close.ico"))->Pixmap(true));
}
