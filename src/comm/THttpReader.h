#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

// Reads an HTTP/1.x response as its bytes arrive, in pieces of any size: the status line, the
// headers, then the body as it is sent (by Content-Length, in chunks, or up to the close). Every
// line and the header block are bounded, so a peer that never ends a line costs a few kilobytes
// and an error, never memory without end.
class THttpReader
{
public:
    static constexpr qsizetype MaxLine = 8 * 1024;
    static constexpr qsizetype MaxHeaders = 64 * 1024;

    // Takes the next bytes; false once the response cannot be read (Error says why).
    bool Feed(QByteArrayView bytes);
    // The body bytes decoded since the last call.
    QByteArray TakeBody();

    bool HeadersDone() const { return m_state >= State::Body; }
    // The whole body came (its length, or the last chunk); a body up to the close never does.
    bool Complete() const { return m_state == State::Done; }
    int Status() const { return m_status; }
    // Every value of the header `name` (any case), in order.
    QByteArrayList Header(QByteArrayView name) const;
    const QString &Error() const { return m_error; }

private:
    enum class State { StatusLine, Headers, Body, ChunkSize, ChunkData, ChunkEnd, Trailers, Done, Failed };

    // The next line of the pending bytes without its end, or false when it is not whole yet.
    bool TakeLine(QByteArray &line);
    bool Fail(const QString &error);
    bool EndHeaders();

    State m_state = State::StatusLine;
    QByteArray m_pending;
    QByteArray m_body;
    QByteArrayList m_headers;   // "name: value" lines
    qsizetype m_headerBytes = 0;
    qint64 m_left = -1;         // body or chunk bytes still to come; -1: up to the close
    int m_status = 0;
    QString m_error;
};
