#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Cuts the fields of one record line from left to right, as every reader of the program's text
// files does: numeric fields by position, texts up to "|" or the line end. Never reads past the
// line: characters missing at its end count as zero digits and as empty text.
class TFieldReader
{
public:
    // The reader keeps a view of the line: the line must outlive it, so a temporary is refused.
    explicit TFieldReader(QByteArrayView line);
    explicit TFieldReader(const char *line) : TFieldReader(QByteArrayView(line)) {}
    explicit TFieldReader(const QByteArray &line) : TFieldReader(QByteArrayView(line)) {}
    explicit TFieldReader(QByteArray &&line) = delete;
    explicit TFieldReader(const QByteArray &&line) = delete;

    // Hexadecimal fields 2, 4 and 8 characters wide. Every character moves the value up a digit;
    // a hexadecimal digit of either case then adds its value, any other character (spaces too) 0.
    quint8 Byte();
    quint16 Word();
    quint32 DWord();

    // A name field: ends at "|", CR, LF, the line end or after 31 characters; an ending "|" is
    // consumed.
    QByteArray Name31();

    // A "|"-terminated text: everything up to the next "|", reading resumes after it. Without a
    // "|" the text is empty and nothing is consumed.
    QByteArray PipeText();

    // Everything left on the line.
    QByteArray Rest();

    bool AtEnd() const { return m_pos >= m_line.size(); }
    qsizetype Position() const { return m_pos; }

    // The value of `width` characters at the start of `chars` by the rule above.
    static quint32 ParseHex(QByteArrayView chars, int width);

    static constexpr int MaxNameLength = 31;

private:
    quint32 Take(int width);

    QByteArrayView m_line;
    qsizetype m_pos = 0;
};
