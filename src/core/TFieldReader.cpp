#include "TFieldReader.h"

TFieldReader::TFieldReader(QByteArrayView line)
    : m_line(line)
{
}

quint32 TFieldReader::ParseHex(QByteArrayView chars, int width)
{
    quint32 value = 0;
    for (int i = 0; i < width; ++i) {
        value *= 16;
        if (i >= chars.size())
            continue;
        const char c = chars[i];
        if (c >= '0' && c <= '9')
            value += quint32(c - '0');
        else if (c >= 'a' && c <= 'f')
            value += quint32(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            value += quint32(c - 'A' + 10);
    }
    return value;
}

quint32 TFieldReader::Take(int width)
{
    const qsizetype start = qMin(m_pos, m_line.size());
    const quint32 value = ParseHex(m_line.sliced(start), width);
    m_pos = qMin(m_pos + width, m_line.size());
    return value;
}

quint8 TFieldReader::Byte()
{
    return quint8(Take(2));
}

quint16 TFieldReader::Word()
{
    return quint16(Take(4));
}

quint32 TFieldReader::DWord()
{
    return Take(8);
}

QByteArray TFieldReader::Name31()
{
    const qsizetype start = m_pos;
    while (m_pos < m_line.size() && m_pos - start < MaxNameLength) {
        const char c = m_line[m_pos];
        if (c == '|' || c == '\r' || c == '\n')
            break;
        ++m_pos;
    }
    QByteArray text = m_line.sliced(start, m_pos - start).toByteArray();
    if (m_pos < m_line.size() && m_line[m_pos] == '|')
        ++m_pos;
    return text;
}

QByteArray TFieldReader::PipeText()
{
    const qsizetype bar = m_line.indexOf('|', m_pos);
    if (bar < 0)
        return {};
    QByteArray text = m_line.sliced(m_pos, bar - m_pos).toByteArray();
    m_pos = bar + 1;
    return text;
}

QByteArray TFieldReader::Rest()
{
    QByteArray text = m_line.sliced(m_pos).toByteArray();
    m_pos = m_line.size();
    return text;
}
