#pragma once

#include <QString>

// Where the lower layers show their fixed-text messages: the windows show a message box, the
// command-line tools print to standard error and the tests record them.
class UserMessages
{
public:
    virtual ~UserMessages() = default;
    virtual void ShowMessage(const QString &text) = 0;
};
