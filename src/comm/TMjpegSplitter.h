#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Cuts a camera's multipart/x-mixed-replace body into its parts as the bytes arrive, in pieces of
// any size: a part with a Content-Length header ends after that many bytes, one without it at
// the next boundary. Only the newest complete part is kept: a viewer that falls behind shows the
// latest picture, never a queue of old ones. Never reads past what it was given; bytes outside
// any part are skipped, and a part that grows past MaxPart without ending is dropped and counted.
class TMjpegSplitter
{
public:
    static constexpr qsizetype MaxPart = 8 * 1024 * 1024;

    // `boundary` as the Content-Type header gives it, with or without its leading "--".
    explicit TMjpegSplitter(QByteArrayView boundary);

    // The boundary parameter of a Content-Type header ("multipart/x-mixed-replace; boundary=x",
    // quoted or not); empty when there is none.
    static QByteArray BoundaryOf(QByteArrayView contentType);

    // Takes the next bytes of the body.
    void Feed(QByteArrayView bytes);
    // The newest complete part since the last call, or false when none came.
    bool TakeNewest(QByteArray &part);

    qsizetype PartsSeen() const { return m_partsSeen; }
    qsizetype PartsDropped() const { return m_dropped; }
    qsizetype Buffered() const { return m_buffer.size(); }
    bool Ended() const { return m_ended; }

private:
    // Cuts every part the buffer holds whole; false when more bytes are needed.
    bool CutOne();
    void Drop(qsizetype upTo);

    QByteArray m_delimiter;   // "--" + boundary
    QByteArray m_buffer;
    QByteArray m_newest;
    bool m_hasNewest = false;
    bool m_inPart = false;    // the buffer starts right after a delimiter line
    bool m_ended = false;
    qsizetype m_partsSeen = 0;
    qsizetype m_dropped = 0;
};
