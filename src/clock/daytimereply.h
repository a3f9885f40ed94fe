#pragma once

#include <QByteArrayView>
#include <QDateTime>

class QString;

// One Daytime reply line, read on its own: "<field 0> YY-MM-DD HH:MM:SS <more fields>".
struct DaytimeReply
{
    enum class Status {
        Ok, // fields 1 and 2 read as a date and a time of day
        Incomplete, // fewer than three blank-separated fields
        Bad, // field 1 or 2 is not a valid YY-MM-DD date or HH:MM:SS time
    };
    Status status = Status::Bad;
    QDateTime utc; // valid only when Ok
};

// Line feeds are deleted, then the text is split at every single blank (empty fields count).
// The year is 2000 + YY: the service reports the current date. A carriage return or other
// white space at the end of the time field is read over; anything else makes the reply Bad.
DaytimeReply ParseDaytimeReply(QByteArrayView text);

// The clock label's text: the general date of the time (the short date, a blank and the long
// time without a time zone; the date alone at exactly midnight), then " GMT".
QString DaytimeLabelText(const QDateTime &utc);
