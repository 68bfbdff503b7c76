#include "TCodePage.h"

namespace {

// Characters of bytes 0x80-0x9F; the rest of the code page equals Latin-1.
constexpr char16_t k_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString TCodePage::ToDisplay(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(QChar(b >= 0x80 && b < 0xA0 ? k_high[b - 0x80] : char16_t(b)));
    }
    return text;
}

bool TCodePage::FromDisplay(QStringView text, QByteArray &out)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i) {
            if (k_high[i] == u) {
                found = i;
                break;
            }
        }
        if (found < 0)
            return false;
        bytes.append(char(0x80 + found));
    }
    out = bytes;
    return true;
}

QString TCodePage::CheckStoredText(QStringView text, QByteArray *bytes)
{
    if (text.contains(QLatin1Char('|')) || text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("A text cannot hold \"|\" or a line break:\n") + text.toString();
    QByteArray encoded;
    if (!FromDisplay(text, encoded))
        return QStringLiteral("The text holds a character the project file cannot keep:\n") + text.toString();
    if (bytes)
        *bytes = encoded;
    return {};
}
