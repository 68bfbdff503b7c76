#include "TVQQTorInput.h"

#include "TControlFactory.h"
#include "TVQQModuleBase.h"
#include "TVQQTorOutput.h"

#include <QTimerEvent>

namespace {
[[maybe_unused]] const bool k_registered = TControlFactory::Register<TVQQTorInput>("TVQQTorInput");
} // namespace

TVQQTorInput::TVQQTorInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
    , m_longPressIO(module && module->IsLongPressIO(ioIndex))
{
    Initialize(TVQQTorOutput::OnOffStates());
}

void TVQQTorInput::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_longPressTimer.timerId())
        TimerFunction();
    else
        TVQBaseControl::timerEvent(event);
}

void TVQQTorInput::RefreshComponentState()
{
    quint8 bits = 0;
    GetParentModule()->GetInputStatus(bits);
    SetState(IOIndex() < 8 && (bits >> IOIndex()) & 1 ? QStringLiteral("On") : QStringLiteral("Off"));
}

void TVQQTorInput::OnControlMouseDownChild(Qt::MouseButton, QPoint)
{
    if (ControlMode() == RunMode::Test) {
        GetParentModule()->ToggleTestState(IOIndex());
        GetParentModule()->RefreshControls();
        return;
    }
    GetParentModule()->SendPushEvent(1, IOIndex());
    if (m_longPressIO) {
        m_longPressSent = false;
        m_longPressTimer.start(LongPressTime, this);
    }
}

void TVQQTorInput::TimerFunction()
{
    m_longPressTimer.stop();
    if (!GetParentModule())
        return;
    GetParentModule()->SendPushEvent(3, IOIndex());
    m_longPressSent = true;
}

void TVQQTorInput::OnControlMouseUpChild(Qt::MouseButton, QPoint)
{
    GetParentModule()->SendPushEvent(m_longPressIO && m_longPressSent ? 4 : 2, IOIndex());
    m_longPressSent = false;
    m_longPressTimer.stop();
}
