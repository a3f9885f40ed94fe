#pragma once

#include <QtGlobal>

class QString;

// How long saved pictures are kept: forever (the default), for a number of days, or up to a
// number of GiB for all of them together.
struct RetentionRule
{
    enum class Kind { Forever, Days, Size };

    // The bounds of a chosen amount: a century of days, a PiB.
    static constexpr int kMaxDays = 36500;
    static constexpr int kMaxGiB = 1 << 20;

    Kind kind = Kind::Forever;
    int amount = 0; // days or GiB

    bool hasLimit() const { return kind != Kind::Forever; }
    qint64 limitBytes() const; // Size: the amount in bytes
    friend bool operator==(const RetentionRule &, const RetentionRule &) = default;
};

// The rule as the setting keeps it: "forever", "30 days", "100 GiB". Anything else (a hand-edited
// value, an amount out of bounds) reads as forever: nothing is ever removed by mistake.
RetentionRule retentionRuleFromText(const QString &text);
QString retentionRuleText(const RetentionRule &rule);

// The per-user setting "keepPictures" (section "Settings"); missing: forever.
RetentionRule ReadRetentionSetting();
void WriteRetentionSetting(const RetentionRule &rule);
