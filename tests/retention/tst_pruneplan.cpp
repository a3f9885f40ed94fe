#include "retention/pruneplan.h"
#include "retention/retentionrule.h"

#include <QtTest>

Q_DECLARE_METATYPE(RetentionRule)

namespace {

constexpr qint64 kMiB = qint64(1) << 20;
const QDateTime kNow(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

// A saved picture with our metadata, received `days` ago; its file is new (copied, say), so
// that its age can only come from the metadata.
FolderFile withInfo(const QString &name, double days, qint64 mib = 1, const QString &camera = "Garden")
{
    const QDateTime received = kNow.addSecs(qint64(-days * 24 * 3600));
    return {name, mib * kMiB, kNow, PictureInfo{camera, "http://127.0.0.1/cam.jpg", received}, false};
}

// A file without metadata, last written `days` ago.
FolderFile plain(const QString &name, double days, qint64 mib = 1, bool readOnly = false)
{
    return {name, mib * kMiB, kNow.addSecs(qint64(-days * 24 * 3600)), std::nullopt, readOnly};
}

FolderFile readOnly(FolderFile file)
{
    file.readOnly = true;
    return file;
}

QStringList names(const QList<FolderFile> &files, const QList<qsizetype> &indexes)
{
    QStringList out;
    for (const qsizetype i : indexes)
        out << files[i].name;
    return out;
}

} // namespace

// What a pruning removes, from a folder's listing, its rule and the space to free.
class TestPrunePlan : public QObject
{
    Q_OBJECT

private slots:
    void plan_data()
    {
        QTest::addColumn<QList<FolderFile>>("files");
        QTest::addColumn<RetentionRule>("rule");
        QTest::addColumn<qint64>("bytesToFree");
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("keptReadOnly");

        const RetentionRule keepAll;
        const RetentionRule days30{RetentionRule::Kind::Days, 30};
        const RetentionRule gib1{RetentionRule::Kind::Size, 1};
        const QList<FolderFile> ages{withInfo("ten.jpg", 10), plain("Garden12526125202PM.jpg", 40),
                                     withInfo("thirtyone.jpg", 31), plain("Cam112526125202PM.jpg", 29.9),
                                     withInfo("fifty.jpg", 50)};

        QTest::newRow("forever keeps all, however short the space")
            << ages << keepAll << qint64(1) << QStringList() << QStringList();
        QTest::newRow("by age, oldest first")
            << ages << days30 << qint64(0)
            << QStringList{"fifty.jpg", "Garden12526125202PM.jpg", "thirtyone.jpg"} << QStringList();
        QTest::newRow("metadata time, not the file's")
            << QList<FolderFile>{withInfo("copied.jpg", 31), plain("Garden12526125202PM.jpg", 1)} << days30
            << qint64(0) << QStringList{"copied.jpg"} << QStringList();

        // 1500 MiB against 1 GiB: down to 19/20 of it (972.8 MiB) in 300 MiB steps.
        const QList<FolderFile> sizes{withInfo("d3.jpg", 3, 300), withInfo("d1.jpg", 1, 300),
                                      withInfo("d5.jpg", 5, 300), plain("Garden12526125202PM.jpg", 4, 300),
                                      withInfo("d2.jpg", 2, 300)};
        QTest::newRow("by size, oldest first")
            << sizes << gib1 << qint64(0) << QStringList{"d5.jpg", "Garden12526125202PM.jpg"}
            << QStringList();
        QTest::newRow("within the size")
            << sizes.mid(0, 3) << gib1 << qint64(0) << QStringList() << QStringList();
        QTest::newRow("read-only kept, the next oldest goes")
            << QList<FolderFile>{sizes[0], sizes[1], readOnly(sizes[2]), sizes[3], sizes[4]} << gib1
            << qint64(0) << QStringList{"Garden12526125202PM.jpg", "d3.jpg"} << QStringList{"d5.jpg"};

        // Never a file the program did not save, however old, large or short the space.
        const QList<FolderFile> foreign{
            plain("holiday.jpg", 400, 5000),       plain("Yard12526125202PM.jpg", 400),
            plain("IMG_20250105_130203.jpg", 400), plain("Garden.jpg", 400),
            plain("Garden12345.jpg", 400),         withInfo("Garden12526125202PM (2).jpg", 100)};
        QTest::newRow("foreign files by age")
            << foreign << days30 << qint64(0) << QStringList{"Garden12526125202PM (2).jpg"} << QStringList();
        QTest::newRow("foreign files by size")
            << foreign << gib1 << qint64(0) << QStringList() << QStringList();
        QTest::newRow("foreign files, space short")
            << foreign << gib1 << kMiB << QStringList{"Garden12526125202PM (2).jpg"} << QStringList();
        QTest::newRow("metadata of a camera not in the list")
            << QList<FolderFile>{withInfo("x.jpg", 40, 1, "Gone")} << days30 << qint64(0)
            << QStringList{"x.jpg"} << QStringList();
        QTest::newRow("names of Cam and Cam1")
            << QList<FolderFile>{plain("Cam112526125202PM.jpg", 40), plain("Cam22526125202PM.jpg", 40),
                                 plain("Cam1x.jpg", 40)}
            << days30 << qint64(0) << QStringList{"Cam112526125202PM.jpg", "Cam22526125202PM.jpg"}
            << QStringList();

        // The free-space floor: beyond the rule, oldest first, until enough is freed.
        const QList<FolderFile> young{withInfo("a10.jpg", 10, 100), withInfo("a30.jpg", 30.5, 100),
                                      withInfo("a20.jpg", 20, 100), withInfo("a1.jpg", 1, 100)};
        QTest::newRow("space short, beyond the rule")
            << young << RetentionRule{RetentionRule::Kind::Days, 365} << 150 * kMiB
            << QStringList{"a30.jpg", "a20.jpg"} << QStringList();
        QTest::newRow("space short, met by the rule")
            << young << days30 << 50 * kMiB << QStringList{"a30.jpg"} << QStringList();
        QTest::newRow("space short, read-only skipped")
            << QList<FolderFile>{readOnly(young[1]), young[0], young[2], young[3]}
            << RetentionRule{RetentionRule::Kind::Days, 365} << 150 * kMiB
            << QStringList{"a20.jpg", "a10.jpg"} << QStringList{"a30.jpg"};
        QTest::newRow("space short, all of them just enough")
            << young << RetentionRule{RetentionRule::Kind::Days, 365} << 400 * kMiB
            << QStringList{"a30.jpg", "a20.jpg", "a10.jpg", "a1.jpg"} << QStringList();
        // Removing them all would not help: none goes in vain, but the rule still holds.
        QTest::newRow("space short, all of them not enough")
            << young << RetentionRule{RetentionRule::Kind::Days, 365} << 401 * kMiB << QStringList()
            << QStringList();
        QTest::newRow("space short, not enough but the rule")
            << young << days30 << 1000 * kMiB << QStringList{"a30.jpg"} << QStringList();
        QTest::newRow("space short, read-only not counted")
            << QList<FolderFile>{readOnly(young[1]), young[0], young[2], young[3]}
            << RetentionRule{RetentionRule::Kind::Days, 365} << 301 * kMiB << QStringList() << QStringList();
    }

    void plan()
    {
        QFETCH(QList<FolderFile>, files);
        QFETCH(RetentionRule, rule);
        QFETCH(qint64, bytesToFree);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, keptReadOnly);
        const QStringList cameras{"Garden", "Cam", "Cam1"};
        const PrunePlan plan = planPruning(files, cameras, rule, kNow, bytesToFree);
        QCOMPARE(names(files, plan.remove), removed);
        QCOMPARE(names(files, plan.keptReadOnly), keptReadOnly);
        qint64 bytes = 0;
        for (const qsizetype i : plan.remove)
            bytes += files[i].size;
        QCOMPARE(plan.removeBytes, bytes);
    }

    void savedBytesCountOnlySavedPictures()
    {
        const QList<FolderFile> files{withInfo("a.jpg", 1, 3), plain("holiday.jpg", 1, 100),
                                      plain("Cam12526125202PM.jpg", 1, 5)};
        QCOMPARE(planPruning(files, {"Cam"}, {}, kNow).savedBytes, 8 * kMiB);
    }

    void settingText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<RetentionRule>("rule");
        QTest::addColumn<QString>("written");
        const RetentionRule keepAll;
        QTest::newRow("missing") << "" << keepAll << "forever";
        QTest::newRow("forever") << "forever" << keepAll << "forever";
        QTest::newRow("days") << "30 days" << RetentionRule{RetentionRule::Kind::Days, 30} << "30 days";
        QTest::newRow("GiB") << "100 GiB" << RetentionRule{RetentionRule::Kind::Size, 100} << "100 GiB";
        QTest::newRow("largest size")
            << "1048576 GiB" << RetentionRule{RetentionRule::Kind::Size, 1 << 20} << "1048576 GiB";
        QTest::newRow("zero days") << "0 days" << keepAll << "forever";
        QTest::newRow("negative") << "-5 days" << keepAll << "forever";
        QTest::newRow("too many days") << "36501 days" << keepAll << "forever";
        QTest::newRow("too large") << "1048577 GiB" << keepAll << "forever";
        QTest::newRow("huge number") << "99999999999999 GiB" << keepAll << "forever";
        QTest::newRow("other unit") << "30 weeks" << keepAll << "forever";
        QTest::newRow("no amount") << "days" << keepAll << "forever";
        QTest::newRow("fraction") << "1.5 GiB" << keepAll << "forever";
        QTest::newRow("extra words") << "30 days please" << keepAll << "forever";
    }

    // A hand-edited setting never makes pruning remove more than the user chose.
    void settingText()
    {
        QFETCH(QString, text);
        QFETCH(RetentionRule, rule);
        QFETCH(QString, written);
        QCOMPARE(retentionRuleFromText(text), rule);
        QCOMPARE(retentionRuleText(retentionRuleFromText(text)), written);
    }

    void limitBytesDoNotOverflow()
    {
        QCOMPARE(RetentionRule({RetentionRule::Kind::Size, RetentionRule::kMaxGiB}).limitBytes(),
                 qint64(1) << 50);
    }
};

QTEST_GUILESS_MAIN(TestPrunePlan)
#include "tst_pruneplan.moc"
