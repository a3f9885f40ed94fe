#pragma once

#include <QByteArrayView>
#include <QString>

// How a slot's last fetch ended, as the slot tells the user. No text names the address, so
// the credentials an address may hold never show.
struct FetchOutcome
{
    enum class Kind {
        PictureReceived,
        NotAPicture, // detail: the content type, when the reply names one
        ServerAnswered, // detail: status code and reason
        CouldNotConnect, // detail: why
        HostNotFound,
        NoAnswer, // detail: the seconds waited
        CertificateNotTrusted, // detail: the reason
        SecureConnectionFailed, // detail: why
        NeedsPassword,
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
    };
    Kind kind = Kind::PictureReceived;
    QString detail;

    bool failed() const { return kind != Kind::PictureReceived; }
    // In plain words, e.g. "server answered 404 Not Found".
    QString text() const;
};

// The outcome of a reply handled at its end: a picture header with a picture that could be
// read or not; otherwise a 401 needs a password, another status outside 2xx is what the server
// answered, and the rest is not a picture.
FetchOutcome replyOutcome(QByteArrayView headerBlock, bool pictureLoaded);

// What the slot's picture tells about its last fetch: local time, outcome, and the failures in a
// row when there are any.
QString outcomeNote(const QString &timeText, const QString &outcomeText, int failuresInRow);
