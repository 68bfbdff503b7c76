#include "TVQQTorOutput.h"

#include "TControlFactory.h"
#include "TModuleTypes.h"
#include "TVQQModuleBase.h"

namespace {
[[maybe_unused]] const bool k_registered = TControlFactory::Register<TVQQTorOutput>("TVQQTorOutput");
} // namespace

TVQQTorOutput::TVQQTorOutput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host)
    : TVQBaseControl(parent, module, ioIndex, host)
{
    Initialize(OnOffStates());
}

const std::vector<ControlStateInfo> &TVQQTorOutput::OnOffStates()
{
    static const std::vector<ControlStateInfo> states = [] {
        ControlStateInfo on;
        on.Name = QStringLiteral("On");
        on.DisplayText = QStringLiteral("On");
        on.Images[0] = QStringLiteral("IcoModWemOn16");
        ControlStateInfo off;
        off.Name = QStringLiteral("Off");
        off.DisplayText = QStringLiteral("Off");
        off.Images[0] = QStringLiteral("IcoModWemOff16");
        return std::vector<ControlStateInfo>{on, off};
    }();
    return states;
}

void TVQQTorOutput::SetTorState(int state)
{
    SetState(state == 1 ? QStringLiteral("On") : state == 2 ? QStringLiteral("Off") : QString());
}

int TVQQTorOutput::OutputBit(quint16 moduleType, quint16 ioIndex)
{
    // A push-button module's indicators follow its buttons: their bits count from the first one.
    return ioIndex - TModuleTypes::ButtonCount(moduleType);
}

void TVQQTorOutput::RefreshComponentState()
{
    quint8 bits = 0;
    GetParentModule()->GetOutputStatus(bits);
    const int bit = OutputBit(GetParentModule()->GetModuleType(), IOIndex());
    SetTorState(bit >= 0 && bit < 8 && (bits >> bit) & 1 ? 1 : 2);
}

void TVQQTorOutput::OnControlMouseDownChild(Qt::MouseButton, QPoint)
{
    if (ControlMode() == RunMode::RunTime) {
        // The picture changes only when the module reports the new state.
        GetParentModule()->SendToggle(IOIndex());
    } else if (ControlMode() == RunMode::Test) {
        GetParentModule()->ToggleTestState(IOIndex());
        GetParentModule()->RefreshControls();
    }
}
