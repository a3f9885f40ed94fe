#include "common/localtext.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

namespace {

// Drops unquoted time-zone tokens ('t') from a Qt time format; quoted text stays as it is.
QString withoutZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

} // namespace

QString ShortDateText(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString LongTimeText(const QTime &time)
{
    const QLocale locale = QLocale::system();
    return locale.toString(time, withoutZone(locale.timeFormat(QLocale::LongFormat)));
}

QString DateTimeStampText(const QDateTime &when)
{
    return ShortDateText(when.date()) + QLatin1Char(' ') + LongTimeText(when.time());
}
