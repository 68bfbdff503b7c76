#include "TMjpegSplitter.h"

#include <QByteArrayList>

namespace {

// The end of the header block starting at `from` and the length of its blank line, or -1.
qsizetype HeadersEnd(const QByteArray &buffer, qsizetype from, qsizetype &blank)
{
    const qsizetype crlf = buffer.indexOf("\r\n\r\n", from);
    const qsizetype lf = buffer.indexOf("\n\n", from);
    if (crlf >= 0 && (lf < 0 || crlf < lf)) {
        blank = 4;
        return crlf;
    }
    blank = 2;
    return lf;
}

} // namespace

TMjpegSplitter::TMjpegSplitter(QByteArrayView boundary)
{
    QByteArrayView b = boundary.trimmed();
    while (b.startsWith("--"))
        b = b.sliced(2);
    m_delimiter = "--" + b.toByteArray();
}

QByteArray TMjpegSplitter::BoundaryOf(QByteArrayView contentType)
{
    for (QByteArray parameter : contentType.toByteArray().split(';')) {
        parameter = parameter.trimmed();
        if (!parameter.toLower().startsWith("boundary="))
            continue;
        QByteArray value = parameter.mid(9).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

void TMjpegSplitter::Feed(QByteArrayView bytes)
{
    if (m_ended || m_delimiter.size() <= 2)
        return;
    m_buffer.append(bytes);
    while (CutOne()) {
    }
    // Bytes that make no part within the bound are dropped, keeping what may start a delimiter.
    if (m_buffer.size() > MaxPart + m_delimiter.size() + 1024) {
        ++m_dropped;
        m_inPart = false;
        Drop(m_buffer.size() - m_delimiter.size());
    }
}

bool TMjpegSplitter::TakeNewest(QByteArray &part)
{
    if (!m_hasNewest)
        return false;
    part = std::move(m_newest);
    m_newest.clear();
    m_hasNewest = false;
    return true;
}

void TMjpegSplitter::Drop(qsizetype upTo)
{
    m_buffer.remove(0, qMin(upTo, m_buffer.size()));
}

bool TMjpegSplitter::CutOne()
{
    if (!m_inPart) {
        // Up to and through the next delimiter line.
        const qsizetype at = m_buffer.indexOf(m_delimiter);
        if (at < 0) {
            Drop(m_buffer.size() - m_delimiter.size());
            return false;
        }
        const qsizetype after = at + m_delimiter.size();
        if (m_buffer.size() < after + 2)
            return false;
        if (m_buffer.mid(after, 2) == "--") {
            m_ended = true;
            m_buffer.clear();
            return false;
        }
        const qsizetype lineEnd = m_buffer.indexOf('\n', after);
        if (lineEnd < 0)
            return false;
        Drop(lineEnd + 1);
        m_inPart = true;
    }
    qsizetype blank = 0;
    const qsizetype headersEnd = HeadersEnd(m_buffer, 0, blank);
    if (headersEnd < 0)
        return false;
    qint64 length = -1;
    for (const QByteArray &line : m_buffer.left(headersEnd).split('\n')) {
        const QByteArray header = line.trimmed();
        if (header.toLower().startsWith("content-length:")) {
            bool ok = false;
            length = header.mid(15).trimmed().toLongLong(&ok);
            if (!ok || length < 0 || length > MaxPart)
                length = -2;  // not believed: the part ends at the next boundary
        }
    }
    const qsizetype bodyStart = headersEnd + blank;
    qsizetype bodyEnd = -1;
    qsizetype next = -1;
    if (length >= 0) {
        if (m_buffer.size() < bodyStart + length)
            return false;
        bodyEnd = bodyStart + qsizetype(length);
        next = bodyEnd;
    } else {
        const qsizetype at = m_buffer.indexOf(m_delimiter, bodyStart);
        if (at < 0)
            return false;
        // The line break before the delimiter belongs to it, not to the picture.
        bodyEnd = at;
        if (bodyEnd > bodyStart && m_buffer[bodyEnd - 1] == '\n')
            --bodyEnd;
        if (bodyEnd > bodyStart && m_buffer[bodyEnd - 1] == '\r')
            --bodyEnd;
        next = at;
    }
    m_newest = m_buffer.mid(bodyStart, bodyEnd - bodyStart);
    m_hasNewest = true;
    ++m_partsSeen;
    Drop(next);
    m_inPart = false;
    return true;
}
