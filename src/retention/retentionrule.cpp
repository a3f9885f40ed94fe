#include "retention/retentionrule.h"

#include "common/appsettings.h"

#include <QSettings>
#include <QString>
#include <QStringList>

namespace {

constexpr char kSettingKey[] = "keepPictures";
constexpr char kForever[] = "forever";
constexpr char kDaysUnit[] = "days";
constexpr char kSizeUnit[] = "GiB";
constexpr qint64 kBytesPerGiB = qint64(1) << 30;

} // namespace

qint64 RetentionRule::limitBytes() const
{
    return kind == Kind::Size ? amount * kBytesPerGiB : 0;
}

RetentionRule retentionRuleFromText(const QString &text)
{
    const QStringList words = text.split(QLatin1Char(' '));
    if (words.size() != 2)
        return {};
    bool ok = false;
    const int amount = words[0].toInt(&ok);
    if (!ok || amount < 1)
        return {};
    if (words[1] == QLatin1String(kDaysUnit) && amount <= RetentionRule::kMaxDays)
        return {RetentionRule::Kind::Days, amount};
    if (words[1] == QLatin1String(kSizeUnit) && amount <= RetentionRule::kMaxGiB)
        return {RetentionRule::Kind::Size, amount};
    return {};
}

QString retentionRuleText(const RetentionRule &rule)
{
    switch (rule.kind) {
    case RetentionRule::Kind::Days:
        return QString::number(rule.amount) + QLatin1Char(' ') + QLatin1String(kDaysUnit);
    case RetentionRule::Kind::Size:
        return QString::number(rule.amount) + QLatin1Char(' ') + QLatin1String(kSizeUnit);
    case RetentionRule::Kind::Forever:
        break;
    }
    return QString::fromLatin1(kForever);
}

RetentionRule ReadRetentionSetting()
{
    return retentionRuleFromText(openAppSettings()->value(appSettingsKey(kSettingKey)).toString());
}

void WriteRetentionSetting(const RetentionRule &rule)
{
    openAppSettings()->setValue(appSettingsKey(kSettingKey), retentionRuleText(rule));
}
