#include "TFieldWriter.h"

TFieldWriter::TFieldWriter(QByteArray &out)
    : m_out(out)
{
}

QByteArray TFieldWriter::Hex(quint32 value, int width)
{
    QByteArray digits;
    AppendHex(digits, value, width);
    return digits;
}

void TFieldWriter::AppendHex(QByteArray &out, quint32 value, int width)
{
    // Lower-case digits right-aligned in `width` with blanks, straight into the output.
    char digits[8];
    int count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    for (int i = count; i < width; ++i)
        out += ' ';
    while (count > 0)
        out += digits[--count];
}

TFieldWriter &TFieldWriter::Byte(quint8 value)
{
    AppendHex(m_out, value, 2);
    return *this;
}

TFieldWriter &TFieldWriter::Word(quint16 value)
{
    AppendHex(m_out, value, 4);
    return *this;
}

TFieldWriter &TFieldWriter::DWord(quint32 value)
{
    AppendHex(m_out, value, 8);
    return *this;
}

TFieldWriter &TFieldWriter::Text(QByteArrayView text)
{
    m_out += text.isEmpty() ? QByteArrayView("(null)") : text;
    return *this;
}

TFieldWriter &TFieldWriter::PipeText(QByteArrayView text)
{
    Text(text);
    m_out += '|';
    return *this;
}

TFieldWriter &TFieldWriter::Raw(QByteArrayView bytes)
{
    m_out += bytes;
    return *this;
}

TFieldWriter &TFieldWriter::EndLine()
{
    m_out += "\r\n";
    return *this;
}

TFieldWriter &TFieldWriter::Line(QByteArrayView bytes)
{
    m_out += bytes;
    return EndLine();
}

QByteArray TFieldWriter::VersionLine(quint8 version, int stars)
{
    QByteArray line = "*[" + Hex(version, 2).replace(' ', '0') + "]";
    line += QByteArray(stars, '*');
    return line;
}
