#pragma once

#include <QByteArrayView>
#include <QString>

// How a slot's last fetch ended, as the slot tells the user: in short lower-case phrases of our
// own; the network library's own account is kept for the detail view's status line alone. No
// text names the address, so the credentials an address may hold never show.
struct FetchOutcome
{
    enum class Kind {
        PictureReceived,
        NewPicture, // a picture that counts as new; detail: what decided, e.g. "server date"
        NotAPicture, // detail: the content type, when the reply names one
        ServerAnswered, // detail: status code and reason
        CouldNotConnect, // detail: why
        HostNotFound,
        NoAnswer, // detail: the seconds waited
        CertificateNotTrusted, // detail: the whole phrase, e.g. "certificate expired"
        SecureConnectionFailed, // detail: the whole phrase
        NeedsPassword, // the address carried none
        PasswordRefused, // the address carried one, and the server still asked
        PictureUnreadable,
        TooManyRedirects,
        InsecureRedirect,
        BadRedirect,
        BadAddress,
        ConnectionLost, // detail: why
        ReplyTooLarge,
        HeaderTooLarge,
        OverBudget, // the replies in flight together held too much
        Unfinished, // the reply was still arriving when the next fetch began
        StreamFailed, // a picture stream gave no picture; detail: the whole phrase
    };
    Kind kind = Kind::PictureReceived;
    QString detail;
    QString libraryText{}; // the network library's own words for a failure, when it had any

    bool failed() const { return kind != Kind::PictureReceived && kind != Kind::NewPicture; }
    // In plain words, e.g. "server answered 404 Not Found".
    QString text() const;
    // The camera's name, then the text, then the library's words in brackets when they add
    // anything: "Garden: certificate expired (The certificate has expired)".
    QString statusText(const QString &camName) const;
};

// The outcome of a reply handled at its end: a picture header with a picture that could be
// read or not; otherwise a 401 needs a password (or refused the one the address carried),
// another status outside 2xx is what the server answered, and the rest is not a picture.
FetchOutcome replyOutcome(QByteArrayView headerBlock, bool pictureLoaded, bool withCredentials);

// What the slot's picture tells about its last fetch: local time, outcome, and the failures in a
// row when there are any.
QString outcomeNote(const QString &timeText, const QString &outcomeText, int failuresInRow);
