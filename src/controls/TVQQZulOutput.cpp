#include "TVQQZulOutput.h"

#include "TControlFactory.h"
#include "TVQQModuleBase.h"

namespace {
[[maybe_unused]] const bool k_registered = TControlFactory::Register<TVQQZulOutput>("TVQQZulOutput");
} // namespace

void TVQQZulOutput::RefreshComponentState()
{
    quint8 bits = 0;
    GetParentModule()->GetOutputStatus(bits);
    const int bit = IOIndex();
    if (bit < 8 && (bits >> bit) & 1)
        SetTorState(1);
    if (bit + 1 < 8 && (bits >> (bit + 1)) & 1)
        SetTorState(2);
}
