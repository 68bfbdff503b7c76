#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Builds the record lines of the program's files: numbers in lower-case hexadecimal, padded on
// the left with spaces to widths 2, 4 or 8; texts kept as they are, "(null)" for an empty one;
// every line closed by CR LF.
class TFieldWriter
{
public:
    explicit TFieldWriter(QByteArray &out);

    TFieldWriter &Byte(quint8 value);
    TFieldWriter &Word(quint16 value);
    TFieldWriter &DWord(quint32 value);
    TFieldWriter &Text(QByteArrayView text);      // "(null)" for an empty text
    TFieldWriter &PipeText(QByteArrayView text);  // Text followed by "|"
    TFieldWriter &Raw(QByteArrayView bytes);
    TFieldWriter &EndLine();

    // A whole line: the bytes and CR LF.
    TFieldWriter &Line(QByteArrayView bytes);

    // "*[", the version in two lower-case digits, "]" and `stars` asterisks.
    static QByteArray VersionLine(quint8 version, int stars);

    static QByteArray Hex(quint32 value, int width);
    static void AppendHex(QByteArray &out, quint32 value, int width);

private:
    QByteArray &m_out;
};
