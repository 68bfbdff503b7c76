#include "TFieldWriter.h"

TFieldWriter::TFieldWriter(QByteArray &out)
    : m_out(out)
{
}

QByteArray TFieldWriter::Hex(quint32 value, int width)
{
    QByteArray digits = QByteArray::number(value, 16);
    if (digits.size() < width)
        digits.prepend(QByteArray(width - digits.size(), ' '));
    return digits;
}

TFieldWriter &TFieldWriter::Byte(quint8 value)
{
    m_out += Hex(value, 2);
    return *this;
}

TFieldWriter &TFieldWriter::Word(quint16 value)
{
    m_out += Hex(value, 4);
    return *this;
}

TFieldWriter &TFieldWriter::DWord(quint32 value)
{
    m_out += Hex(value, 8);
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
