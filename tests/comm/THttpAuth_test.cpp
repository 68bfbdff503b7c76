#include "THttpAuth.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

// The Authorization fields, unquoted and unescaped.
std::map<QByteArray, QByteArray> Fields(const QByteArray &header)
{
    const std::vector<THttpAuth::Challenge> parsed = THttpAuth::Parse({header});
    return parsed.empty() ? std::map<QByteArray, QByteArray>{} : parsed.front().Params;
}

QByteArray H(QCryptographicHash::Algorithm kind, const QByteArray &text) { return QCryptographicHash::hash(text, kind).toHex(); }

} // namespace

// The strongest challenge offered is answered, in one header or several, Digest before Basic;
// what cannot be answered is said.
TEST(THttpAuth, ChoosesTheStrongestItCanAnswer)
{
    const struct { const char *name; QByteArrayList headers; QByteArray scheme; QByteArray algorithm; } rows[] = {
        {"basic then digest in one header", {"Basic realm=\"cam\", Digest realm=\"cam\", nonce=\"n\", qop=\"auth\""}, "Digest", "MD5"},
        {"two headers", {"Basic realm=\"cam\"", "Digest realm=\"cam\", nonce=\"n\", algorithm=MD5"}, "Digest", "MD5"},
        {"sha-256 over md5", {"Digest realm=\"c\", nonce=\"n\", algorithm=MD5, qop=\"auth\"", "Digest realm=\"c\", nonce=\"n\", algorithm=SHA-256, qop=\"auth\""}, "Digest", "SHA-256"},
        {"basic alone", {"Basic realm=\"cam\""}, "Basic", ""},
        {"sha-512-256 alone", {"Digest realm=\"c\", nonce=\"n\", algorithm=SHA-512-256"}, "", ""},
        {"an unknown scheme", {"Negotiate"}, "", ""},
    };
    for (const auto &row : rows) {
        THttpAuth auth;
        QString why;
        const bool chosen = auth.Choose(THttpAuth::Parse(row.headers), why);
        EXPECT_EQ(chosen, !row.scheme.isEmpty()) << row.name;
        if (!chosen) {
            EXPECT_EQ(why, QStringLiteral("this camera asks for an authentication the program does not support")) << row.name;
            continue;
        }
        const QByteArray answer = auth.Answer(QStringLiteral("root"), QStringLiteral("tavo"), "GET", "/v");
        EXPECT_TRUE(answer.startsWith(row.scheme + ' ')) << row.name << ": " << answer.toStdString();
        if (!row.algorithm.isEmpty()) {
            EXPECT_EQ(Fields(answer)["algorithm"], row.algorithm) << row.name;
        }
    }
}

// Each answer checked against the computation RFC 7616 gives, quoted values escaped.
TEST(THttpAuth, DigestAnswersAsTheRfcComputes)
{
    using A = QCryptographicHash::Algorithm;
    const struct { const char *name; QByteArray challenge; A kind; QByteArray qop; bool session; } rows[] = {
        {"md5, auth", "Digest realm=\"cam\", nonce=\"abc\", qop=\"auth,auth-int\", opaque=\"op\"", A::Md5, "auth", false},
        {"md5, no qop", "Digest realm=\"cam\", nonce=\"abc\"", A::Md5, "", false},
        {"sha-256, auth-int only", "Digest realm=\"cam\", nonce=\"abc\", qop=\"auth-int\", algorithm=SHA-256", A::Sha256, "auth-int", false},
        {"md5-sess", "Digest realm=\"cam\", nonce=\"abc\", qop=\"auth\", algorithm=MD5-sess", A::Md5, "auth", true},
        {"a realm with a quote and a backslash", "Digest realm=\"my \\\"cam\\\\\", nonce=\"abc\", qop=\"auth\"", A::Md5, "auth", false},
    };
    for (const auto &row : rows) {
        THttpAuth auth;
        QString why;
        ASSERT_TRUE(auth.Choose(THttpAuth::Parse({row.challenge}), why)) << row.name;
        const QByteArray header = auth.Answer(QString::fromUtf8("r\xc3\xb6ot"), QStringLiteral("p|w"), "GET", "/axis-cgi/mjpg/video.cgi");
        ASSERT_TRUE(header.startsWith("Digest ")) << row.name;
        std::map<QByteArray, QByteArray> f = Fields(header);
        const QByteArray realm = THttpAuth::Parse({row.challenge}).front().Params["realm"];
        EXPECT_EQ(f["realm"], realm) << row.name;
        EXPECT_EQ(f["username"], QByteArray("r\xc3\xb6ot")) << row.name;
        QByteArray ha1 = H(row.kind, "r\xc3\xb6ot:" + realm + ":p|w");
        if (row.session)
            ha1 = H(row.kind, ha1 + ":abc:" + f["cnonce"]);
        const QByteArray a2 = row.qop == "auth-int" ? "GET:/axis-cgi/mjpg/video.cgi:" + H(row.kind, {}) : QByteArray("GET:/axis-cgi/mjpg/video.cgi");
        const QByteArray expected = row.qop.isEmpty() ? H(row.kind, ha1 + ":abc:" + H(row.kind, a2))
                                                      : H(row.kind, ha1 + ":abc:" + f["nc"] + ':' + f["cnonce"] + ':' + row.qop + ':' + H(row.kind, a2));
        EXPECT_EQ(f["response"], expected) << row.name;
        EXPECT_EQ(f["qop"], row.qop) << row.name;
        EXPECT_EQ(f["nc"], row.qop.isEmpty() ? QByteArray() : QByteArray("00000001")) << row.name;
        EXPECT_FALSE(header.contains("p|w")) << row.name;
    }
    EXPECT_EQ(THttpAuth::Quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
}
