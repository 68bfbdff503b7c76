#pragma once

#include "TCodePage.h"

#include <QString>

#include <initializer_list>

// A number typed in a dialog's field, in `value`; otherwise why it cannot be taken: a text that
// is no number, or a number outside the range the field allows (named by `caption`).
inline QString ReadNumberField(const QString &caption, const QString &text, int minimum, int maximum, int &value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return QStringLiteral("'%1' is not a valid integer value").arg(text);
    if (value < minimum || value > maximum)
        return QStringLiteral("%1 must be from %2 to %3; '%4' is not.").arg(caption).arg(minimum).arg(maximum).arg(text);
    return {};
}

// Why the first of the texts and paths a dialog stores cannot go into a record; empty when
// every one can.
inline QString CheckStoredTexts(std::initializer_list<QString> texts)
{
    for (const QString &text : texts) {
        const QString refused = TCodePage::CheckStoredText(text);
        if (!refused.isEmpty())
            return refused;
    }
    return {};
}
