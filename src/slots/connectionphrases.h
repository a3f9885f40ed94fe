#pragma once

#include <QAbstractSocket>
#include <QList>
#include <QSslError>
#include <QString>

#include <span>

// Our own short, lower-case words for every error the network library can report on a slot's
// connection: a slot's picture tells them, never the library's own texts (those go to the
// detail view's status line only).

struct SocketErrorPhrase
{
    QAbstractSocket::SocketError error;
    const char *phrase;
};

struct CertificateErrorPhrase
{
    QSslError::SslError error;
    const char *phrase;
};

// Every socket error, one row each.
std::span<const SocketErrorPhrase> socketErrorPhrases();
// Every certificate error, one row each, the most telling first: of several errors the
// connection met, the one that comes first here is the one named.
std::span<const CertificateErrorPhrase> certificateErrorPhrases();

// What a TLS server that offers nothing newer than the versions the library refuses is told as.
inline constexpr char kOutdatedTlsPhrase[] = "server offers only outdated TLS versions";

QString socketErrorPhrase(QAbstractSocket::SocketError error);
QString certificateErrorPhrase(QSslError::SslError error);
// The error to name among several: the first in the table's order (the first of the list when
// none is in the table); a default QSslError for an empty list.
QSslError mostTellingError(const QList<QSslError> &errors);
