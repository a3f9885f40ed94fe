#pragma once

class QDate;
class QDateTime;
class QString;
class QTime;

// Dates and times as the user's system writes them.
QString ShortDateText(const QDate &date);
// The system's long time format, without a time-zone name.
QString LongTimeText(const QTime &time);
// Short date, one space, long time: the stamp of "Last Refreshed".
QString DateTimeStampText(const QDateTime &when);
