#pragma once

#include "TCodePage.h"
#include "VisualRecords.h"

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

// Why a password field's text cannot go into a record, never showing the text itself.
inline QString CheckStoredSecret(const QString &text)
{
    if (TCodePage::CheckStoredText(text).isEmpty())
        return {};
    return QStringLiteral("The password cannot hold \"|\", a line break or a character the project file cannot keep.");
}

// A control's texts and its left and top fields (0 to 65535): why the first that cannot be taken
// is refused, or empty with the position in `left` and `top`.
inline QString CheckTextsAndPosition(std::initializer_list<QString> texts, const QString &leftText,
                                     const QString &topText, int &left, int &top)
{
    QString refused = CheckStoredTexts(texts);
    if (refused.isEmpty())
        refused = ReadNumberField(QStringLiteral("Left"), leftText, 0, MaxCoordinate, left);
    if (refused.isEmpty())
        refused = ReadNumberField(QStringLiteral("Top"), topText, 0, MaxCoordinate, top);
    return refused;
}
