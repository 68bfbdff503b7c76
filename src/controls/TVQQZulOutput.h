#pragma once

#include "TVQQTorOutput.h"

// A shutter output: the module drives it as a pair of output bits, up then down.
class TVQQZulOutput : public TVQQTorOutput
{
    Q_OBJECT

public:
    using TVQQTorOutput::TVQQTorOutput;

    // Bit of the channel set: On; then, independently, the next bit set: Off. Neither keeps the
    // state shown.
    void RefreshComponentState() override;
};
