#include "slots/fetchoutcome.h"

#include "slots/replyheader.h"

namespace {

constexpr qsizetype kMaxDetailLength = 80; // server texts are cut to this many characters
constexpr qsizetype kMaxLibraryTextLength = 200;
constexpr int kUnauthorized = 401;
constexpr int kSuccessFirst = 200;
constexpr int kSuccessLast = 299;

// A server's text as one short, printable line.
QString shownText(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes.first(std::min(bytes.size(), kMaxDetailLength)));
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text.simplified();
}

// The library's text as one printable line.
QString shownLine(const QString &text)
{
    QString line = text.left(kMaxLibraryTextLength);
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return line.simplified();
}

} // namespace

QString FetchOutcome::text() const
{
    switch (kind) {
    case Kind::PictureReceived:
        return QStringLiteral("picture received");
    case Kind::NewPicture:
        return QStringLiteral("new picture (%1)").arg(detail);
    case Kind::NotAPicture:
        return detail.isEmpty() ? QStringLiteral("not a picture")
                                : QStringLiteral("not a picture (%1)").arg(detail);
    case Kind::ServerAnswered:
        return QStringLiteral("server answered %1").arg(detail);
    case Kind::CouldNotConnect:
        return QStringLiteral("could not connect: %1").arg(detail);
    case Kind::HostNotFound:
        return QStringLiteral("host not found");
    case Kind::NoAnswer:
        return QStringLiteral("no answer for %1 s").arg(detail);
    case Kind::CertificateNotTrusted:
        return detail.isEmpty() ? QStringLiteral("certificate not trusted") : detail;
    case Kind::SecureConnectionFailed:
        return detail.isEmpty() ? QStringLiteral("secure connection failed") : detail;
    case Kind::NeedsPassword:
        return QStringLiteral("needs a password");
    case Kind::PasswordRefused:
        return QStringLiteral("password refused");
    case Kind::PictureUnreadable:
        return QStringLiteral("picture could not be read");
    case Kind::TooManyRedirects:
        return QStringLiteral("too many redirects");
    case Kind::InsecureRedirect:
        return QStringLiteral("redirect to an unencrypted address refused");
    case Kind::BadRedirect:
        return QStringLiteral("redirect to an address that cannot be fetched");
    case Kind::BadAddress:
        return QStringLiteral("address not understood");
    case Kind::ConnectionLost:
        return QStringLiteral("connection lost: %1").arg(detail);
    case Kind::ReplyTooLarge:
        return QStringLiteral("reply too large");
    case Kind::HeaderTooLarge:
        return QStringLiteral("header block too large");
    case Kind::OverBudget:
        return QStringLiteral("too much received at once by all cameras");
    case Kind::Unfinished:
        return QStringLiteral("reply still arriving when the next fetch began");
    case Kind::StreamFailed:
        return detail;
    }
    return {};
}

QString FetchOutcome::statusText(const QString &camName) const
{
    const QString outcome = text();
    const QString library = shownLine(libraryText);
    QString line = camName + QStringLiteral(": ") + outcome;
    if (!library.isEmpty() && !outcome.contains(library, Qt::CaseInsensitive))
        line += QStringLiteral(" (") + library + QLatin1Char(')');
    return line;
}

FetchOutcome replyOutcome(QByteArrayView headerBlock, bool pictureLoaded, bool withCredentials)
{
    using Kind = FetchOutcome::Kind;
    if (isPictureHeader(headerBlock))
        return {pictureLoaded ? Kind::PictureReceived : Kind::PictureUnreadable, {}};
    const StatusLine status = readStatusLine(headerBlock);
    if (status.code == kUnauthorized)
        return {withCredentials ? Kind::PasswordRefused : Kind::NeedsPassword, {}};
    if (status.code != 0 && (status.code < kSuccessFirst || status.code > kSuccessLast)) {
        QString detail = QString::number(status.code);
        if (!status.reason.isEmpty())
            detail += QLatin1Char(' ') + shownText(status.reason);
        return {Kind::ServerAnswered, detail};
    }
    const QList<QByteArray> types = headerValues(headerBlock, "Content-Type");
    const QByteArray type = types.isEmpty() ? QByteArray() : types.first().split(';').first().trimmed();
    return {Kind::NotAPicture, shownText(type)};
}

QString outcomeNote(const QString &timeText, const QString &outcomeText, int failuresInRow)
{
    QString note = timeText + QStringLiteral(": ") + outcomeText;
    if (failuresInRow > 0)
        note += QStringLiteral(" (failures in a row: %1)").arg(failuresInRow);
    return note;
}
