#include "clock/daytimereply.h"

#include "common/localtext.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <array>
#include <optional>

namespace {

constexpr int kCenturyStart = 2000;
constexpr qsizetype kDateLength = 8; // YY-MM-DD
constexpr qsizetype kTimeLength = 8; // HH:MM:SS
constexpr int kDateField = 1;
constexpr int kTimeField = 2;
constexpr int kFieldsNeeded = 3;

// Two decimal digits at text[at], or nothing.
std::optional<int> twoDigits(QByteArrayView text, qsizetype at)
{
    const char tens = text[at];
    const char ones = text[at + 1];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9')
        return std::nullopt;
    return (tens - '0') * 10 + (ones - '0');
}

// "NN?NN?NN" with the given separator: the three numbers.
std::optional<std::array<int, 3>> threeNumbers(QByteArrayView field, char separator)
{
    if (field.size() != kDateLength || field[2] != separator || field[5] != separator)
        return std::nullopt;
    const std::optional<int> a = twoDigits(field, 0);
    const std::optional<int> b = twoDigits(field, 3);
    const std::optional<int> c = twoDigits(field, 6);
    if (!a || !b || !c)
        return std::nullopt;
    return std::array<int, 3>{*a, *b, *c};
}

QByteArrayView withoutTrailingSpace(QByteArrayView field)
{
    while (!field.isEmpty() &&
           (field.back() == '\r' || field.back() == '\t' || field.back() == '\v' || field.back() == '\f'))
        field.chop(1);
    return field;
}

} // namespace

DaytimeReply ParseDaytimeReply(QByteArrayView text)
{
    QByteArray line = text.toByteArray();
    line.replace('\n', QByteArrayView());
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() < kFieldsNeeded)
        return {DaytimeReply::Status::Incomplete, {}};

    static_assert(kDateLength == kTimeLength);
    const auto ymd = threeNumbers(fields[kDateField], '-');
    const auto hms = threeNumbers(withoutTrailingSpace(fields[kTimeField]), ':');
    if (!ymd || !hms)
        return {DaytimeReply::Status::Bad, {}};
    const QDate date(kCenturyStart + (*ymd)[0], (*ymd)[1], (*ymd)[2]);
    const QTime time((*hms)[0], (*hms)[1], (*hms)[2]);
    if (!date.isValid() || !time.isValid())
        return {DaytimeReply::Status::Bad, {}};
    return {DaytimeReply::Status::Ok, QDateTime(date, time, Qt::UTC)};
}

QString DaytimeLabelText(const QDateTime &utc)
{
    const QDate date = utc.date();
    const QTime time = utc.time();
    QString text = ShortDateText(date);
    const bool midnight = time.hour() == 0 && time.minute() == 0 && time.second() == 0;
    if (!midnight)
        text += QLatin1Char(' ') + LongTimeText(time);
    return text + QStringLiteral(" GMT");
}
