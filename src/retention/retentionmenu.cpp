#include "retention/retentionmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>

namespace {

constexpr int kPresetDays[] = {7, 30, 90, 365};
constexpr int kPresetGiB[] = {10, 100, 1000};
constexpr int kDefaultOtherDays = 14;
constexpr int kDefaultOtherGiB = 50;

constexpr char kOtherDaysCaption[] = "Other Number of Days...";
constexpr char kOtherSizeCaption[] = "Other Size in GiB...";

QString ruleCaption(const RetentionRule &rule)
{
    switch (rule.kind) {
    case RetentionRule::Kind::Days:
        return QStringLiteral("%1 Days").arg(rule.amount);
    case RetentionRule::Kind::Size:
        return QStringLiteral("Up to %1 GiB").arg(rule.amount);
    case RetentionRule::Kind::Forever:
        break;
    }
    return QStringLiteral("Forever");
}

} // namespace

RetentionMenu::RetentionMenu(const RetentionRule &rule, QWidget *parent)
    : QMenu(QStringLiteral("Keep Saved Pictures"), parent)
{
    setObjectName(QStringLiteral("mnuCamKeep"));
    setAccessibleName(title());
    auto *group = new QActionGroup(this);
    const auto addItem = [this, group](const QString &caption) {
        QAction *item = addAction(caption);
        item->setObjectName(QStringLiteral("mnuKeepItem"));
        item->setCheckable(true);
        group->addAction(item);
        return item;
    };
    const auto addPreset = [this, &addItem](const RetentionRule &preset) {
        QAction *item = addItem(ruleCaption(preset));
        connect(item, &QAction::triggered, this, [this, preset] { choose(preset); });
        m_presets.push_back({item, preset});
    };
    addPreset({});
    for (const int days : kPresetDays)
        addPreset({RetentionRule::Kind::Days, days});
    m_otherDays = addItem(QString::fromLatin1(kOtherDaysCaption));
    connect(m_otherDays, &QAction::triggered, this, [this] { chooseOther(RetentionRule::Kind::Days); });
    for (const int gib : kPresetGiB)
        addPreset({RetentionRule::Kind::Size, gib});
    m_otherSize = addItem(QString::fromLatin1(kOtherSizeCaption));
    connect(m_otherSize, &QAction::triggered, this, [this] { chooseOther(RetentionRule::Kind::Size); });
    showRule(rule);
}

void RetentionMenu::showRule(const RetentionRule &rule)
{
    m_rule = rule;
    m_otherDays->setText(QString::fromLatin1(kOtherDaysCaption));
    m_otherSize->setText(QString::fromLatin1(kOtherSizeCaption));
    for (const Item &item : m_presets) {
        if (item.rule == rule) {
            item.action->setChecked(true);
            return;
        }
    }
    QAction *other = rule.kind == RetentionRule::Kind::Size ? m_otherSize : m_otherDays;
    other->setText(ruleCaption(rule) + QStringLiteral(" (") + other->text() + QLatin1Char(')'));
    other->setChecked(true);
}

void RetentionMenu::choose(const RetentionRule &rule)
{
    WriteRetentionSetting(rule);
    showRule(rule);
    emit ruleChosen(rule);
}

void RetentionMenu::chooseOther(RetentionRule::Kind kind)
{
    const bool days = kind == RetentionRule::Kind::Days;
    const int current = m_rule.kind == kind ? m_rule.amount : (days ? kDefaultOtherDays : kDefaultOtherGiB);
    bool ok = false;
    const int amount = QInputDialog::getInt(
        parentWidget(), title(),
        days ? QStringLiteral("Keep saved pictures for this many days:")
             : QStringLiteral("Keep saved pictures up to this many GiB in all (the oldest go first):"),
        current, 1, days ? RetentionRule::kMaxDays : RetentionRule::kMaxGiB, 1, &ok);
    if (ok)
        choose({kind, amount});
    else
        showRule(m_rule); // the check goes back where it was
}
