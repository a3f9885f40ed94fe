#include "slots/httpauth.h"

#include "slots/replyheader.h"

#include <QCryptographicHash>

#include <optional>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

// Reads the auth-params and scheme names of a WWW-Authenticate value, one at a time.
class ChallengeReader
{
public:
    explicit ChallengeReader(QByteArrayView text)
        : m_text(text)
    { }

    struct Item
    {
        QByteArray name;
        std::optional<QByteArray> value; // empty for a scheme name
    };

    std::optional<Item> next()
    {
        while (m_pos < m_text.size() && (isSpace(m_text[m_pos]) || m_text[m_pos] == ','))
            ++m_pos;
        if (m_pos >= m_text.size())
            return std::nullopt;
        Item item;
        item.name = readToken();
        skipSpaces();
        if (m_pos < m_text.size() && m_text[m_pos] == '=') {
            ++m_pos;
            skipSpaces();
            item.value = (m_pos < m_text.size() && m_text[m_pos] == '"') ? readQuoted() : readToken();
        }
        if (item.name.isEmpty() && !item.value)
            ++m_pos; // a stray character: step over it
        return item;
    }

private:
    void skipSpaces()
    {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
            ++m_pos;
    }

    QByteArray readToken()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && m_text[m_pos] != ',' &&
               m_text[m_pos] != '=' && m_text[m_pos] != '"')
            ++m_pos;
        return m_text.sliced(start, m_pos - start).toByteArray();
    }

    QByteArray readQuoted()
    {
        QByteArray value;
        ++m_pos; // the opening quote
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            if (m_text[m_pos] == '\\' && m_pos + 1 < m_text.size())
                ++m_pos;
            value += m_text[m_pos++];
        }
        ++m_pos; // the closing quote, when there is one
        return value;
    }

    QByteArrayView m_text;
    qsizetype m_pos = 0;
};

bool equalsNoCase(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isSha256(const AuthChallenge &c)
{
    return c.algorithm.toUpper().startsWith("SHA-256");
}

bool isSession(const AuthChallenge &c)
{
    return c.algorithm.toUpper().endsWith("-SESS");
}

bool knownAlgorithm(const QByteArray &algorithm)
{
    const QByteArray upper = algorithm.toUpper();
    return upper.isEmpty() || upper == "MD5" || upper == "MD5-SESS" || upper == "SHA-256" ||
        upper == "SHA-256-SESS";
}

QByteArray hexHash(const AuthChallenge &c, const QByteArray &data)
{
    const auto algorithm = isSha256(c) ? QCryptographicHash::Sha256 : QCryptographicHash::Md5;
    return QCryptographicHash::hash(data, algorithm).toHex();
}

// A quoted-string value with its quotes and backslashes escaped.
QByteArray quoted(const QByteArray &value)
{
    QByteArray text = value;
    text.replace('\\', "\\\\").replace('"', "\\\"");
    text.replace('\r', "").replace('\n', ""); // a line break would end the request's header
    return '"' + text + '"';
}

QByteArray ncText(quint32 nc)
{
    return QByteArray::number(nc, 16).rightJustified(8, '0');
}

} // namespace

QList<AuthChallenge> parseChallenges(QByteArrayView value)
{
    QList<AuthChallenge> challenges;
    ChallengeReader reader(value);
    bool qopOffered = false;
    while (const std::optional<ChallengeReader::Item> item = reader.next()) {
        if (!item->value) {
            if (item->name.isEmpty())
                continue;
            AuthChallenge c;
            if (equalsNoCase(item->name, "Basic"))
                c.scheme = AuthChallenge::Scheme::Basic;
            else if (equalsNoCase(item->name, "Digest"))
                c.scheme = AuthChallenge::Scheme::Digest;
            challenges.append(c);
            qopOffered = false;
            continue;
        }
        if (challenges.isEmpty())
            continue;
        AuthChallenge &c = challenges.last();
        const QByteArray &v = *item->value;
        if (equalsNoCase(item->name, "realm")) {
            c.realm = v;
        } else if (equalsNoCase(item->name, "nonce")) {
            c.nonce = v;
        } else if (equalsNoCase(item->name, "opaque")) {
            c.opaque = v;
        } else if (equalsNoCase(item->name, "algorithm")) {
            c.algorithm = v;
        } else if (equalsNoCase(item->name, "stale")) {
            c.stale = equalsNoCase(v, "true");
        } else if (equalsNoCase(item->name, "qop")) {
            qopOffered = true;
            for (const QByteArray &qop : v.split(','))
                c.qopAuth = c.qopAuth || equalsNoCase(qop.trimmed(), "auth");
        }
        // A Digest offering only qop values other than "auth" cannot be answered.
        if (qopOffered && !c.qopAuth && c.scheme == AuthChallenge::Scheme::Digest)
            c.scheme = AuthChallenge::Scheme::None;
    }
    return challenges;
}

AuthChallenge chooseChallenge(QByteArrayView headerBlock)
{
    AuthChallenge best;
    auto rank = [](const AuthChallenge &c) {
        if (c.scheme == AuthChallenge::Scheme::Basic)
            return 1;
        if (c.scheme != AuthChallenge::Scheme::Digest || c.nonce.isEmpty() || !knownAlgorithm(c.algorithm))
            return 0;
        return isSha256(c) ? 3 : 2;
    };
    for (const QByteArray &value : headerValues(headerBlock, "WWW-Authenticate")) {
        for (const AuthChallenge &c : parseChallenges(value)) {
            if (rank(c) > rank(best))
                best = c;
        }
    }
    return best;
}

QByteArray basicAuthorization(const QString &userName, const QString &password)
{
    return "Basic " + (userName + QLatin1Char(':') + password).toUtf8().toBase64();
}

QByteArray digestResponse(const AuthChallenge &challenge, const DigestInput &input)
{
    const QByteArray colon(":");
    QByteArray ha1 = hexHash(
        challenge, input.userName.toUtf8() + colon + challenge.realm + colon + input.password.toUtf8());
    if (isSession(challenge))
        ha1 = hexHash(challenge, ha1 + colon + challenge.nonce + colon + input.cnonce);
    const QByteArray ha2 = hexHash(challenge, input.method + colon + input.uri);
    if (!challenge.qopAuth)
        return hexHash(challenge, ha1 + colon + challenge.nonce + colon + ha2);
    return hexHash(challenge,
                   ha1 + colon + challenge.nonce + colon + ncText(input.nc) + colon + input.cnonce + colon +
                       "auth" + colon + ha2);
}

QByteArray digestAuthorization(const AuthChallenge &challenge, const DigestInput &input)
{
    QByteArray value = "Digest username=" + quoted(input.userName.toUtf8());
    value += ", realm=" + quoted(challenge.realm);
    value += ", uri=" + quoted(input.uri);
    if (!challenge.algorithm.isEmpty())
        value += ", algorithm=" + challenge.algorithm;
    value += ", nonce=" + quoted(challenge.nonce);
    if (challenge.qopAuth) {
        value += ", nc=" + ncText(input.nc);
        value += ", cnonce=" + quoted(input.cnonce);
        value += ", qop=auth";
    }
    value += ", response=" + quoted(digestResponse(challenge, input));
    if (!challenge.opaque.isEmpty())
        value += ", opaque=" + quoted(challenge.opaque);
    return value;
}
