#pragma once

#include <QByteArrayView>

// Splits a file's content into lines ending in CR LF or LF, of any length. Tells whether the
// current line had a line end (the last line of a file may have none).
class TLineReader
{
public:
    explicit TLineReader(QByteArrayView content);

    // Moves to the next line; false at the end of the content.
    bool Next();

    // The current line without its line end.
    QByteArrayView Line() const { return m_line; }
    bool HasLineEnd() const { return m_hasLineEnd; }

private:
    QByteArrayView m_content;
    qsizetype m_pos = 0;
    QByteArrayView m_line;
    bool m_hasLineEnd = false;
};
