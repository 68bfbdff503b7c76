#include "TLineReader.h"

TLineReader::TLineReader(QByteArrayView content)
    : m_content(content)
{
}

bool TLineReader::Next()
{
    if (m_pos >= m_content.size())
        return false;
    const qsizetype lf = m_content.indexOf('\n', m_pos);
    if (lf < 0) {
        // A last line whose LF was lost keeps its CR out of the text.
        m_line = m_content.sliced(m_pos);
        if (m_line.endsWith('\r'))
            m_line.chop(1);
        m_hasLineEnd = false;
        m_pos = m_content.size();
        return true;
    }
    qsizetype end = lf;
    if (end > m_pos && m_content[end - 1] == '\r')
        --end;
    m_line = m_content.sliced(m_pos, end - m_pos);
    m_hasLineEnd = true;
    m_pos = lf + 1;
    return true;
}
