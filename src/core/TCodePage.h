#pragma once

#include <QByteArray>
#include <QString>

// The Windows-1252 code page of the program's files. Texts stay bytes in the records; they are
// converted only to show them and when the user edits them.
class TCodePage
{
public:
    // Every byte has a character: the five bytes Windows-1252 leaves unassigned map to the C1
    // control of the same value, so bytes -> text -> bytes gives the same bytes.
    static QString ToDisplay(QByteArrayView bytes);

    // False when the text holds a character that Windows-1252 cannot hold; `out` is then untouched.
    static bool FromDisplay(QStringView text, QByteArray &out);
};
