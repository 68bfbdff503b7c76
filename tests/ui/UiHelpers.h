#pragma once

#include "TMyForm11.h"
#include "TPicturePaths.h"
#include "TVQBaseControl.h"

#include <QList>

// The output control of a screen whose label is `label`, or none.
inline TVQBaseControl *ControlLabelled(TMyForm11 *screen, const QString &label)
{
    for (TVQBaseControl *control : screen->Area()->findChildren<TVQBaseControl *>()) {
        if (control->ComponentLabel() == label)
            return control;
    }
    return nullptr;
}
