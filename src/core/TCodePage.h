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

    // Why a text or path cannot go into a record of the program's files ("|" ends a field, CR
    // and LF end a record, the code page is Windows-1252); empty when it can. `bytes` receives the
    // text's bytes when it can.
    static QString CheckStoredText(QStringView text, QByteArray *bytes = nullptr);
};
