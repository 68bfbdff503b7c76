#include "THttpAuth.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Digest algorithms the program answers, strongest first.
const char *const k_algorithms[] = {"SHA-256-SESS", "SHA-256", "MD5-SESS", "MD5"};

QByteArray Hash(const QByteArray &algorithm, const QByteArray &text)
{
    const auto kind = algorithm.startsWith("SHA-256") ? QCryptographicHash::Sha256 : QCryptographicHash::Md5;
    return QCryptographicHash::hash(text, kind).toHex();
}

int Strength(const THttpAuth::Challenge &challenge)
{
    if (challenge.Scheme == "basic")
        return 1;
    if (challenge.Scheme != "digest")
        return 0;
    const auto found = challenge.Params.find("algorithm");
    const QByteArray algorithm = found == challenge.Params.end() ? QByteArray("MD5") : found->second.toUpper();
    for (int i = 0; i < 4; ++i) {
        if (algorithm == k_algorithms[i])
            return 10 - i;
    }
    return 0;
}

} // namespace

std::vector<THttpAuth::Challenge> THttpAuth::Parse(const QByteArrayList &values)
{
    std::vector<Challenge> challenges;
    for (const QByteArray &value : values) {
        qsizetype at = 0;
        const qsizetype size = value.size();
        while (at < size) {
            while (at < size && (IsSpace(value[at]) || value[at] == ','))
                ++at;
            const qsizetype start = at;
            while (at < size && !IsSpace(value[at]) && value[at] != ',' && value[at] != '=')
                ++at;
            const QByteArray token = value.mid(start, at - start).toLower();
            if (token.isEmpty()) {
                ++at;
                continue;
            }
            qsizetype look = at;
            while (look < size && IsSpace(value[look]))
                ++look;
            if (look >= size || value[look] != '=' || challenges.empty()) {
                challenges.push_back({token, {}});
                continue;
            }
            // name=value or name="quoted \" value"
            at = look + 1;
            while (at < size && IsSpace(value[at]))
                ++at;
            QByteArray text;
            if (at < size && value[at] == '"') {
                for (++at; at < size && value[at] != '"'; ++at) {
                    if (value[at] == '\\' && at + 1 < size)
                        ++at;
                    text += value[at];
                }
                ++at;
            } else {
                while (at < size && value[at] != ',' && !IsSpace(value[at]))
                    text += value[at++];
            }
            challenges.back().Params[token] = text;
        }
    }
    return challenges;
}

QByteArray THttpAuth::Quoted(const QByteArray &value)
{
    QByteArray quoted = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

bool THttpAuth::IsStale(const Challenge &challenge)
{
    const auto found = challenge.Params.find("stale");
    return found != challenge.Params.end() && found->second.toLower() == "true";
}

bool THttpAuth::Choose(const std::vector<Challenge> &challenges, QString &why)
{
    const Challenge *best = nullptr;
    for (const Challenge &challenge : challenges) {
        if (Strength(challenge) > 0 && (!best || Strength(challenge) > Strength(*best)))
            best = &challenge;
    }
    if (!best) {
        why = QStringLiteral("this camera asks for an authentication the program does not support");
        return false;
    }
    m_chosen = *best;
    m_count = 0;
    m_cnonce = QByteArray::number(QRandomGenerator::global()->generate64(), 16);
    const auto algorithm = m_chosen.Params.find("algorithm");
    m_algorithmName = algorithm == m_chosen.Params.end() ? QByteArray("MD5") : algorithm->second;
    m_algorithm = m_algorithmName.toUpper();
    m_qop.clear();
    if (const auto qop = m_chosen.Params.find("qop"); qop != m_chosen.Params.end()) {
        const QByteArrayList offered = qop->second.split(',');
        for (const QByteArray &kind : {QByteArray("auth"), QByteArray("auth-int")}) {
            for (const QByteArray &item : offered) {
                if (m_qop.isEmpty() && item.trimmed().toLower() == kind)
                    m_qop = kind;
            }
        }
        if (m_qop.isEmpty()) {
            why = QStringLiteral("this camera asks for an authentication the program does not support");
            m_chosen = {};
            return false;
        }
    }
    return true;
}

QByteArray THttpAuth::Answer(const QString &user, const QString &password, const QByteArray &method, const QByteArray &uri)
{
    if (m_chosen.Scheme == "basic")
        return "Basic " + (user.toUtf8() + ':' + password.toUtf8()).toBase64();
    const QByteArray realm = m_chosen.Params["realm"];
    const QByteArray nonce = m_chosen.Params["nonce"];
    const QByteArray nc = QByteArray::number(++m_count, 16).rightJustified(8, '0');
    QByteArray ha1 = Hash(m_algorithm, user.toUtf8() + ':' + realm + ':' + password.toUtf8());
    if (m_algorithm.endsWith("-SESS"))
        ha1 = Hash(m_algorithm, ha1 + ':' + nonce + ':' + m_cnonce);
    // A GET has no body: auth-int hashes the empty entity.
    const QByteArray ha2 = Hash(m_algorithm, m_qop == "auth-int" ? method + ':' + uri + ':' + Hash(m_algorithm, {}) : method + ':' + uri);
    const QByteArray response = m_qop.isEmpty() ? Hash(m_algorithm, ha1 + ':' + nonce + ':' + ha2)
                                                : Hash(m_algorithm, ha1 + ':' + nonce + ':' + nc + ':' + m_cnonce + ':' + m_qop + ':' + ha2);
    QByteArray header = "Digest username=" + Quoted(user.toUtf8()) + ", realm=" + Quoted(realm) + ", nonce=" + Quoted(nonce) +
                        ", uri=" + Quoted(uri) + ", algorithm=" + m_algorithmName + ", response=" + Quoted(response);
    if (const auto opaque = m_chosen.Params.find("opaque"); opaque != m_chosen.Params.end())
        header += ", opaque=" + Quoted(opaque->second);
    if (!m_qop.isEmpty())
        header += ", qop=" + m_qop + ", nc=" + nc + ", cnonce=" + Quoted(m_cnonce);
    return header;
}
