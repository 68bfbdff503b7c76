#include "THttpReader.h"

bool THttpReader::Fail(const QString &error)
{
    m_state = State::Failed;
    m_error = error;
    m_pending.clear();
    return false;
}

bool THttpReader::TakeLine(QByteArray &line)
{
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0) {
        if (m_pending.size() > MaxLine)
            Fail(QStringLiteral("a line without end"));
        return false;
    }
    if (end > MaxLine) {
        Fail(QStringLiteral("a line without end"));
        return false;
    }
    line = m_pending.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    m_pending.remove(0, end + 1);
    return true;
}

QByteArrayList THttpReader::Header(QByteArrayView name) const
{
    QByteArrayList values;
    for (const QByteArray &line : m_headers) {
        const qsizetype colon = line.indexOf(':');
        if (colon == name.size() && QByteArrayView(line).first(colon).compare(name, Qt::CaseInsensitive) == 0)
            values.append(line.mid(colon + 1).trimmed());
    }
    return values;
}

bool THttpReader::EndHeaders()
{
    // 1xx answers are followed by the real one.
    if (m_status >= 100 && m_status < 200) {
        m_headers.clear();
        m_state = State::StatusLine;
        return true;
    }
    for (const QByteArray &coding : Header("Transfer-Encoding")) {
        if (coding.toLower().contains("chunked")) {
            m_state = State::ChunkSize;
            return true;
        }
    }
    m_state = State::Body;
    m_left = -1;
    const QByteArrayList lengths = Header("Content-Length");
    if (!lengths.isEmpty()) {
        bool ok = false;
        m_left = lengths.first().toLongLong(&ok);
        if (!ok || m_left < 0)
            return Fail(QStringLiteral("a Content-Length that is no number"));
    }
    if (m_status == 204 || m_status == 304 || m_left == 0)
        m_state = State::Done;
    return true;
}

bool THttpReader::Feed(QByteArrayView bytes)
{
    if (m_state == State::Failed)
        return false;
    if (m_state == State::Body && m_left < 0) {
        m_body.append(bytes);  // up to the close: no need to hold the bytes twice
        return true;
    }
    m_pending.append(bytes);
    QByteArray line;
    while (!m_pending.isEmpty() || m_state == State::Done) {
        switch (m_state) {
        case State::StatusLine:
            if (!TakeLine(line))
                return m_state != State::Failed;
            if (line.isEmpty() && m_status == 0)
                continue;
            if (!line.startsWith("HTTP/1.") || line.size() < 12 || line[8] != ' ')
                return Fail(QStringLiteral("not an HTTP answer"));
            m_status = line.mid(9, 3).toInt();
            if (m_status < 100 || m_status > 599)
                return Fail(QStringLiteral("not an HTTP answer"));
            m_headerBytes = line.size();
            m_state = State::Headers;
            break;
        case State::Headers:
        case State::Trailers:
            if (!TakeLine(line))
                return m_state != State::Failed;
            m_headerBytes += line.size() + 2;
            if (m_headerBytes > MaxHeaders)
                return Fail(QStringLiteral("headers without end"));
            if (!line.isEmpty()) {
                if (m_state == State::Headers)
                    m_headers.append(line);
                break;
            }
            if (m_state == State::Trailers) {
                m_state = State::Done;
                break;
            }
            if (!EndHeaders())
                return false;
            break;
        case State::Body:
        case State::ChunkData: {
            const qsizetype take = m_left < 0 ? m_pending.size() : qsizetype(qMin<qint64>(m_left, m_pending.size()));
            m_body.append(QByteArrayView(m_pending).first(take));
            m_pending.remove(0, take);
            if (m_left >= 0)
                m_left -= take;
            if (m_left == 0)
                m_state = m_state == State::Body ? State::Done : State::ChunkEnd;
            break;
        }
        case State::ChunkSize: {
            if (!TakeLine(line))
                return m_state != State::Failed;
            const QByteArray size = line.left(line.indexOf(';')).trimmed();
            bool ok = false;
            m_left = size.toLongLong(&ok, 16);
            if (!ok || size.size() > 16 || m_left < 0)
                return Fail(QStringLiteral("a chunk size that is no number"));
            m_state = m_left == 0 ? State::Trailers : State::ChunkData;
            break;
        }
        case State::ChunkEnd:
            if (!TakeLine(line))
                return m_state != State::Failed;
            if (!line.isEmpty())
                return Fail(QStringLiteral("a chunk longer than it said"));
            m_state = State::ChunkSize;
            break;
        case State::Done:
            m_pending.clear();  // whatever follows a complete answer is not read
            return true;
        case State::Failed:
            return false;
        }
    }
    return true;
}

QByteArray THttpReader::TakeBody()
{
    QByteArray body = std::move(m_body);
    m_body.clear();
    return body;
}
