#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Cuts a camera's multipart/x-mixed-replace body into its parts as the bytes arrive, in pieces of
// any size. A JPEG part ends at its end marker, read through the picture's own structure, so it
// is shown as soon as it is whole; any other part ends after its Content-Length when the next
// delimiter follows there, else at the next delimiter (a wrong length loses nothing). Only the
// newest complete part is kept: a viewer that falls behind shows the latest picture, never a
// queue of old ones. Never reads past what it was given; bytes outside any part are skipped, a
// part that grows past MaxPart without ending is dropped and counted, and a body that starts no
// part within NoStreamAfter bytes is no stream at all.
class TMjpegSplitter
{
public:
    static constexpr qsizetype MaxPart = 8 * 1024 * 1024;
    static constexpr qsizetype NoStreamAfter = 64 * 1024;
    static constexpr qsizetype MaxPartHeaders = 8 * 1024;

    // `boundary` as the Content-Type header gives it, with or without its leading "--".
    explicit TMjpegSplitter(QByteArrayView boundary);

    // The boundary parameter of a Content-Type header ("multipart/x-mixed-replace; boundary=x",
    // quoted or not); empty when there is none.
    static QByteArray BoundaryOf(QByteArrayView contentType);
    // Where the JPEG `data` starts ends (just after its end marker), read from `scan` on (0 the
    // first time, kept between calls as more bytes come); -1 while it goes on, -2 when `data`
    // is no JPEG structure.
    struct JpegScan
    {
        qsizetype At = 2;
        bool InScan = false;
    };
    static qsizetype JpegEnd(QByteArrayView data, JpegScan &scan);

    // Takes the next bytes of the body.
    void Feed(QByteArrayView bytes);
    // The newest complete part since the last call, or false when none came.
    bool TakeNewest(QByteArray &part);

    qsizetype PartsSeen() const { return m_partsSeen; }
    qsizetype PartsDropped() const { return m_dropped; }
    qsizetype Buffered() const { return m_buffer.size(); }
    bool Ended() const { return m_ended; }
    // More than NoStreamAfter bytes came and no part started.
    bool NotAStream() const { return m_partsSeen == 0 && m_skipped > NoStreamAfter; }

private:
    // Cuts the next part the buffer holds whole; false when more bytes are needed.
    bool CutOne();
    void Drop(qsizetype upTo);
    void Take(qsizetype start, qsizetype end, qsizetype next);

    QByteArray m_delimiter;   // "--" + boundary
    QByteArray m_buffer;
    QByteArray m_newest;
    bool m_hasNewest = false;
    bool m_inPart = false;    // the buffer starts right after a delimiter line
    bool m_ended = false;
    qsizetype m_scanFrom = 0; // where the search for the next delimiter goes on
    JpegScan m_jpeg;
    bool m_notJpeg = false;
    qsizetype m_partsSeen = 0;
    qsizetype m_dropped = 0;
    qsizetype m_skipped = 0;
};
