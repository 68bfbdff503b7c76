#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <map>
#include <vector>

// The answer to a camera's WWW-Authenticate challenges: Digest (RFC 7616: MD5 and SHA-256,
// their "-sess" forms, qop "auth" or "auth-int", or none) preferred to Basic whatever order the
// camera offers them in, so that a password travels in clear only when nothing else is offered.
// Quoted values are escaped both ways.
class THttpAuth
{
public:
    struct Challenge
    {
        QByteArray Scheme;                          // lower case: "basic", "digest", …
        std::map<QByteArray, QByteArray> Params;   // names lower case, values unquoted
    };

    // Every challenge of the header values (one header may hold several).
    static std::vector<Challenge> Parse(const QByteArrayList &values);
    // A value as a quoted string, with '"' and '\' escaped.
    static QByteArray Quoted(const QByteArray &value);

    // Takes the strongest challenge that can be answered; false, with a few words, when none.
    bool Choose(const std::vector<Challenge> &challenges, QString &why);
    // The Authorization header's value for a request; each call counts one more use of the nonce.
    QByteArray Answer(const QString &user, const QString &password, const QByteArray &method, const QByteArray &uri);
    // The camera said the nonce was stale: the account itself was not refused.
    static bool IsStale(const Challenge &challenge);
    bool IsChosen() const { return !m_chosen.Scheme.isEmpty(); }

private:
    Challenge m_chosen;
    QByteArray m_algorithm;       // upper case
    QByteArray m_algorithmName;   // as the challenge names it
    QByteArray m_qop;         // "auth", "auth-int" or empty
    QByteArray m_cnonce;
    int m_count = 0;
};
