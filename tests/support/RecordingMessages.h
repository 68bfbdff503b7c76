#pragma once

#include "UserMessages.h"

#include <QStringList>

// Keeps every message shown, in order, instead of showing a box.
class RecordingMessages : public UserMessages
{
public:
    void ShowMessage(const QString &text) override { Shown.append(text); }

    QStringList Shown;
};
