#pragma once

#include <QString>

// The UDP connection dialog as the session handling sees it: whether it is shown, its message
// panel, and the OK result that closes it when the session opens. The dialog implements it.
class TSessionDialog
{
public:
    virtual ~TSessionDialog() = default;
    virtual bool IsShown() const = 0;
    virtual void ShowPanelText(const QString &text) = 0;
    virtual void SessionOpened() = 0;
};
