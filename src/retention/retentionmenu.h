#pragma once

#include "retention/retentionrule.h"

#include <QMenu>

#include <vector>

class QAction;

// Cams, "Keep Saved Pictures": forever, a number of days, or a size for all the saved pictures
// together, from presets or a number the user types ("Other Number of Days...", "Other Size in
// GiB..."). The chosen rule is stored as the setting, checked in the menu and announced.
class RetentionMenu : public QMenu
{
    Q_OBJECT

public:
    explicit RetentionMenu(const RetentionRule &rule, QWidget *parent = nullptr);

    // Checks the item of the rule (an other number: its item, which then names it).
    void showRule(const RetentionRule &rule);

signals:
    void ruleChosen(const RetentionRule &rule);

private:
    void choose(const RetentionRule &rule);
    void chooseOther(RetentionRule::Kind kind);

    struct Item
    {
        QAction *action;
        RetentionRule rule; // Forever for the "Other" items
    };
    std::vector<Item> m_presets;
    QAction *m_otherDays = nullptr;
    QAction *m_otherSize = nullptr;
    RetentionRule m_rule;
};
