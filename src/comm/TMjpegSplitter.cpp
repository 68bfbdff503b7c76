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

quint8 Byte(QByteArrayView data, qsizetype at) { return quint8(data[at]); }

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

qsizetype TMjpegSplitter::JpegEnd(QByteArrayView data, JpegScan &scan)
{
    const qsizetype size = data.size();
    if (size >= 2 && (Byte(data, 0) != 0xFF || Byte(data, 1) != 0xD8))
        return -2;
    while (scan.At + 1 < size) {
        if (scan.InScan) {
            // Entropy-coded data: a marker is FF followed by neither 00 (a stuffed FF), another
            // FF (fill) nor a restart marker.
            const qsizetype ff = data.indexOf('\xFF', scan.At);
            if (ff < 0 || ff + 1 >= size) {
                scan.At = ff < 0 ? size : ff;
                return -1;
            }
            const quint8 next = Byte(data, ff + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                scan.At = ff + 2;
                continue;
            }
            if (next == 0xFF) {
                scan.At = ff + 1;
                continue;
            }
            scan.At = ff;
            scan.InScan = false;
            continue;
        }
        if (Byte(data, scan.At) != 0xFF)
            return -2;
        const quint8 marker = Byte(data, scan.At + 1);
        if (marker == 0xFF) {
            ++scan.At;
            continue;
        }
        if (marker == 0xD9)
            return scan.At + 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            scan.At += 2;
            continue;
        }
        if (scan.At + 4 > size)
            return -1;
        const qsizetype length = (qsizetype(Byte(data, scan.At + 2)) << 8) | Byte(data, scan.At + 3);
        if (length < 2)
            return -2;
        if (scan.At + 2 + length > size)
            return -1;
        scan.At += 2 + length;
        scan.InScan = marker == 0xDA;
    }
    return -1;
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
    upTo = qMin(upTo, m_buffer.size());
    if (upTo <= 0)
        return;
    if (!m_inPart)
        m_skipped += upTo;
    m_buffer.remove(0, upTo);
    m_scanFrom = 0;
    m_jpeg = {};
}

void TMjpegSplitter::Take(qsizetype start, qsizetype end, qsizetype next)
{
    m_newest = m_buffer.mid(start, end - start);
    m_hasNewest = true;
    ++m_partsSeen;
    m_inPart = false;
    m_skipped = 0;
    // What follows the part up to the next delimiter is not skipped bytes of a bad body.
    m_buffer.remove(0, next);
    m_scanFrom = 0;
    m_jpeg = {};
    m_notJpeg = false;
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
        m_notJpeg = false;
    }
    qsizetype blank = 0;
    const qsizetype headersEnd = HeadersEnd(m_buffer, 0, blank);
    if (headersEnd < 0) {
        if (m_buffer.size() > MaxPartHeaders) {
            // Part headers without end: the part is given up, the next delimiter sought.
            ++m_dropped;
            m_inPart = false;
            Drop(m_buffer.size() - m_delimiter.size());
        }
        return false;
    }
    qint64 length = -1;
    for (const QByteArray &line : m_buffer.left(headersEnd).split('\n')) {
        const QByteArray header = line.trimmed();
        if (header.toLower().startsWith("content-length:")) {
            bool ok = false;
            length = header.mid(15).trimmed().toLongLong(&ok);
            if (!ok || length < 0 || length > MaxPart)
                length = -1;  // not believed: the part ends at the next boundary
        }
    }
    const qsizetype bodyStart = headersEnd + blank;
    const QByteArrayView body = QByteArrayView(m_buffer).sliced(bodyStart);
    // A JPEG is whole at its end marker, whatever the part's length said.
    if (!m_notJpeg && body.size() >= 2) {
        JpegScan scan = m_jpeg;
        const qsizetype end = JpegEnd(body, scan);
        m_jpeg = scan;
        if (end >= 0) {
            Take(bodyStart, bodyStart + end, bodyStart + end);
            return true;
        }
        if (end == -2) {
            m_notJpeg = true;
        } else {
            // A delimiter before the picture's end: the picture was cut, and is never shown.
            const qsizetype at = m_buffer.indexOf(m_delimiter, qMax(bodyStart, m_scanFrom));
            if (at < 0) {
                m_scanFrom = qMax(bodyStart, m_buffer.size() - m_delimiter.size());
                return false;
            }
            ++m_dropped;
            m_inPart = false;
            m_buffer.remove(0, at);
            m_scanFrom = 0;
            m_jpeg = {};
            return true;
        }
    }
    if (!m_notJpeg)
        return false;
    if (length >= 0 && body.size() >= length) {
        // Believed when the next delimiter follows the length, or when nothing has come after it yet.
        QByteArrayView after = body.sliced(qsizetype(length));
        if (after.startsWith("\r\n"))
            after = after.sliced(2);
        else if (after.startsWith("\n"))
            after = after.sliced(1);
        const QByteArrayView expected = QByteArrayView(m_delimiter).first(qMin(m_delimiter.size(), after.size()));
        if (after.startsWith(expected)) {
            Take(bodyStart, bodyStart + qsizetype(length), bodyStart + qsizetype(length));
            return true;
        }
    }
    const qsizetype at = m_buffer.indexOf(m_delimiter, qMax(bodyStart, m_scanFrom));
    if (at < 0) {
        m_scanFrom = qMax(bodyStart, m_buffer.size() - m_delimiter.size());
        return false;
    }
    // The line break before the delimiter belongs to it, not to the part.
    qsizetype bodyEnd = at;
    if (bodyEnd > bodyStart && m_buffer[bodyEnd - 1] == '\n')
        --bodyEnd;
    if (bodyEnd > bodyStart && m_buffer[bodyEnd - 1] == '\r')
        --bodyEnd;
    Take(bodyStart, bodyEnd, at);
    return true;
}
