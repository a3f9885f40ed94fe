#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// One challenge of a "WWW-Authenticate" line.
struct AuthChallenge
{
    enum class Scheme { None, Basic, Digest };
    Scheme scheme = Scheme::None;
    QByteArray realm;
    QByteArray nonce;
    QByteArray opaque;
    QByteArray algorithm; // as the server names it; empty means MD5
    bool qopAuth = false; // the server offers qop "auth"
    bool stale = false; // the nonce ran out, the password was right
};

// Every challenge of one WWW-Authenticate value (a value may hold several, comma-separated).
// Schemes other than Basic and Digest come back with Scheme::None.
QList<AuthChallenge> parseChallenges(QByteArrayView value);

// The challenge a slot answers among all WWW-Authenticate lines of a header block: Digest with
// SHA-256, then Digest with MD5, then Basic. None when the server offers nothing of these (a
// Digest without qop "auth", or with an unknown algorithm or qop, counts as nothing).
AuthChallenge chooseChallenge(QByteArrayView headerBlock);

// "Basic " and the base64 of user:password in UTF-8.
QByteArray basicAuthorization(const QString &userName, const QString &password);

// What a Digest answer is computed from, besides the challenge.
struct DigestInput
{
    QString userName;
    QString password;
    QByteArray method = QByteArrayLiteral("GET");
    QByteArray uri; // the request path exactly as sent
    quint32 nc = 1; // how many requests this nonce has answered, this one included
    QByteArray cnonce;
};

// The "response" value: lower-case hex of the challenge's hash over the password, the nonce and
// the request. MD5 and SHA-256, with their "-sess" forms; qop=auth when the challenge offers it.
QByteArray digestResponse(const AuthChallenge &challenge, const DigestInput &input);

// The whole "Authorization" value of a Digest answer.
QByteArray digestAuthorization(const AuthChallenge &challenge, const DigestInput &input);
