#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// Readings of a reply's header block: the bytes before its first CR LF CR LF, one character per
// byte, split into lines at CR LF (the status line is one of them).

// Content-Length: the first line that contains "Content-Length" anywhere (case-sensitive) decides;
// its text after the first space is taken as a whole number. 0 when no line matches, the line has
// no space, or its text is no 32-bit number.
qint32 contentLengthOf(QByteArrayView headerBlock);

// The body length the server declares: the value of a "Content-Length:" line (name in any case)
// made of decimal digits alone. Empty when there is none, when two such lines disagree, when the
// value is no such number, and when the body is sent in chunks (the length then means nothing).
std::optional<qint64> declaredBodyLength(QByteArrayView headerBlock);

// The progress bar value for body bytes received of contentLength announced: their percentage,
// rounded to a whole number. Empty when there is no length (below 1) or the share lies outside
// 0 to 100; the bar then keeps its value.
std::optional<int> progressValue(qint32 bytesReceived, qint32 contentLength);

// A picture reply: "image/" anywhere in the header block, in any case. The status is not read.
bool isPictureHeader(QByteArrayView headerBlock);

// The body is sent in chunks: a "Transfer-Encoding" line (name in any case) whose last coding is
// "chunked" (any case).
bool isChunkedHeader(QByteArrayView headerBlock);

// The slot's change detection by the "Last-Modified:" line, for one reply.
struct LastModifiedCheck
{
    bool hasLine = false; // the header block holds "Last-Modified:" (any case)
    QString updatedText; // the line without "Last-Modified:", its leading space kept
    bool pictureChanged = false; // the line differs from a stored one
    bool stampRefreshed = false; // the slot stamps "Last Refreshed" with the current time
    QString lastModified; // the slot's stored line after this reply
};

// The line runs from the first "Last-Modified:" to the next CR LF or the end of the block. The
// first line a slot sees is stored and marks no change; a later line that differs in any
// character marks a change and is stored; an equal line, or none, marks no change. Without a
// line the stored one stays.
LastModifiedCheck checkLastModified(QByteArrayView headerBlock, const QString &lastModified);

// The status line "HTTP/x.y NNN reason": its three-digit code (0 when the first line is no
// status line) and its reason text.
struct StatusLine
{
    int code = 0;
    QByteArray reason;
};
StatusLine readStatusLine(QByteArrayView headerBlock);

// The values of every header line named name (any case), spaces around them taken off, in order.
QList<QByteArray> headerValues(QByteArrayView headerBlock, QByteArrayView name);

// 301, 302, 303, 307 and 308: the reply names the picture's new address in "Location".
bool isRedirectStatus(int code);
