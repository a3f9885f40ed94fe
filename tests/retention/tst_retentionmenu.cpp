#include "retention/retentionmenu.h"
#include "retention/retentionrule.h"
#include "support/isolatedsettings.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(RetentionRule)

// Cams, "Keep Saved Pictures": what it shows checked, and what choosing stores and announces.
class TestRetentionMenu : public QObject
{
    Q_OBJECT

    IsolatedSettings m_settings;

    static QAction *item(const RetentionMenu &menu, const QString &caption)
    {
        for (QAction *action : menu.findChildren<QAction *>("mnuKeepItem")) {
            if (action->text() == caption)
                return action;
        }
        return nullptr;
    }

    static QString checkedCaption(const RetentionMenu &menu)
    {
        QStringList checked;
        for (QAction *action : menu.findChildren<QAction *>("mnuKeepItem")) {
            if (action->isChecked())
                checked << action->text();
        }
        return checked.size() == 1 ? checked.first() : checked.join('|');
    }

private slots:
    void init() { WriteRetentionSetting({}); }

    void shownRule_data()
    {
        QTest::addColumn<RetentionRule>("rule");
        QTest::addColumn<QString>("checked");
        QTest::newRow("forever") << RetentionRule() << "Forever";
        QTest::newRow("preset days") << RetentionRule{RetentionRule::Kind::Days, 30} << "30 Days";
        QTest::newRow("preset size") << RetentionRule{RetentionRule::Kind::Size, 100} << "Up to 100 GiB";
        QTest::newRow("other days") << RetentionRule{RetentionRule::Kind::Days, 45}
                                    << "45 Days (Other Number of Days...)";
        QTest::newRow("other size") << RetentionRule{RetentionRule::Kind::Size, 250}
                                    << "Up to 250 GiB (Other Size in GiB...)";
    }

    void shownRule()
    {
        QFETCH(RetentionRule, rule);
        QFETCH(QString, checked);
        const RetentionMenu menu(rule);
        QCOMPARE(checkedCaption(menu), checked);
    }

    void presetChosen()
    {
        RetentionMenu menu({RetentionRule::Kind::Days, 45});
        QSignalSpy chosen(&menu, &RetentionMenu::ruleChosen);
        item(menu, "7 Days")->trigger();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).value<RetentionRule>(), RetentionRule({RetentionRule::Kind::Days, 7}));
        QCOMPARE(ReadRetentionSetting(), RetentionRule({RetentionRule::Kind::Days, 7}));
        QCOMPARE(checkedCaption(menu), QString("7 Days"));
        QVERIFY(item(menu, "Other Number of Days...") != nullptr); // no longer names 45 days
    }

    // The number typed for "Other...": taken when accepted; on Cancel nothing changes.
    void otherAmount_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<RetentionRule>("rule");
        QTest::addColumn<QString>("checked");
        const RetentionRule start{RetentionRule::Kind::Size, 10};
        QTest::newRow("days") << "Other Number of Days..." << 12 << true
                              << RetentionRule{RetentionRule::Kind::Days, 12}
                              << "12 Days (Other Number of Days...)";
        QTest::newRow("size") << "Other Size in GiB..." << 3 << true
                              << RetentionRule{RetentionRule::Kind::Size, 3}
                              << "Up to 3 GiB (Other Size in GiB...)";
        QTest::newRow("a preset's number") << "Other Number of Days..." << 30 << true
                                           << RetentionRule{RetentionRule::Kind::Days, 30} << "30 Days";
        QTest::newRow("cancelled") << "Other Number of Days..." << 12 << false << start << "Up to 10 GiB";
        QTest::newRow("beyond the bounds")
            << "Other Number of Days..." << 100000 << true
            << RetentionRule{RetentionRule::Kind::Days, RetentionRule::kMaxDays}
            << "36500 Days (Other Number of Days...)";
    }

    void otherAmount()
    {
        QFETCH(QString, caption);
        QFETCH(int, typed);
        QFETCH(bool, accepted);
        QFETCH(RetentionRule, rule);
        QFETCH(QString, checked);
        WriteRetentionSetting({RetentionRule::Kind::Size, 10});
        RetentionMenu menu(ReadRetentionSetting());
        QTimer answer;
        connect(&answer, &QTimer::timeout, &answer, [typed, accepted] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (dialog == nullptr || !dialog->isVisible())
                return;
            dialog->setIntValue(typed);
            accepted ? dialog->accept() : dialog->reject();
        });
        answer.start(5);
        item(menu, caption)->trigger();
        QCOMPARE(ReadRetentionSetting(), rule);
        QCOMPARE(checkedCaption(menu), checked);
    }
};

QTEST_MAIN(TestRetentionMenu)
#include "tst_retentionmenu.moc"
