#include "pictureinfo/picturemetadata.h"
#include "retention/pruneplan.h"
#include "retention/retention.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

// Pruning a real `cam` folder on its own thread: what goes, what stays, what it says.
class TestRetention : public QObject
{
    Q_OBJECT

    static constexpr qint64 kMiB = qint64(1) << 20;

    QTemporaryDir m_dir;
    QString m_cam;

    static QByteArray jpeg()
    {
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "jpeg").write(image);
        return bytes;
    }

    static QDateTime daysAgo(int days) { return QDateTime::currentDateTime().addDays(-days); }

    // A file of these bytes, last written `days` ago.
    QString write(const QString &name, const QByteArray &bytes, int days)
    {
        QFile file(m_cam + '/' + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            return {};
        file.setFileTime(daysAgo(days), QFileDevice::FileModificationTime);
        return file.fileName();
    }

    // A saved picture with our metadata, received `days` ago (its file written just now).
    QString writeSaved(const QString &name, int days)
    {
        return write(name, withPictureInfo(jpeg(), {"Garden", "http://127.0.0.1/g.jpg", daysAgo(days)}), 0);
    }

    // A file this large without taking the space (a hole), last written `days` ago.
    QString writeLarge(const QString &name, qint64 size, int days)
    {
        QFile file(m_cam + '/' + name);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
            return {};
        file.setFileTime(daysAgo(days), QFileDevice::FileModificationTime);
        return file.fileName();
    }

    QStringList files() const { return QDir(m_cam).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    std::unique_ptr<Retention> retention(const RetentionRule &rule)
    {
        auto r = std::make_unique<Retention>(m_cam);
        r->setCameraNames([] { return QStringList{"Garden", "Cam"}; });
        r->setRule(rule);
        return r;
    }

    static bool waitPruned(QSignalSpy &spy, int count = 1)
    {
        for (int i = 0; i < 100 && spy.size() < count; ++i)
            spy.wait(100);
        return spy.size() == count;
    }

private slots:
    void init()
    {
        m_cam = m_dir.filePath("cam");
        QDir(m_cam).removeRecursively();
        QVERIFY(QDir().mkpath(m_cam));
    }

    // Older than the rule's days: saved pictures with metadata and old ones by their names go,
    // every other file stays byte for byte; the status line tells how many and how much.
    void byAgeAndNeverAForeignFile()
    {
        const QByteArray foreignBytes = jpeg() + "x";
        QVERIFY(!writeSaved("a.jpg", 40).isEmpty());
        QVERIFY(!writeSaved("b.jpg", 10).isEmpty());
        QVERIFY(!write("Cam12526125202PM.jpg", jpeg(), 35).isEmpty());
        QVERIFY(!write("Cam12526125203PM.jpg", jpeg(), 5).isEmpty());
        for (const char *name :
             {"holiday.jpg", "Yard12526125202PM.jpg", "notes.txt", "Cam12526125202PM.jpeg"})
            QVERIFY(!write(name, foreignBytes, 400).isEmpty());
        QVERIFY(QFile::link(m_cam + "/a.jpg", m_cam + "/link.jpg"));
        const qint64 removedBytes = QFileInfo(m_cam + "/a.jpg").size() + jpeg().size();

        auto r = retention({RetentionRule::Kind::Days, 30});
        QSignalSpy pruned(r.get(), &Retention::pruned);
        QSignalSpy status(r.get(), &Retention::statusText);
        QSignalSpy removed(r.get(), &Retention::picturesRemoved);
        r->start();
        QVERIFY(waitPruned(pruned));
        QCOMPARE(files(),
                 QStringList({"Cam12526125202PM.jpeg", "Cam12526125203PM.jpg", "Yard12526125202PM.jpg",
                              "b.jpg", "holiday.jpg", "notes.txt"}));
        QVERIFY(
            QFileInfo(m_cam + "/link.jpg").isSymLink()); // a link is no file of ours, whatever it leads to
        for (const char *name :
             {"holiday.jpg", "Yard12526125202PM.jpg", "notes.txt", "Cam12526125202PM.jpeg"}) {
            QFile file(m_cam + '/' + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), foreignBytes);
        }
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0).at(0).toStringList(),
                 QStringList({m_cam + "/a.jpg", m_cam + "/Cam12526125202PM.jpg"})); // oldest first
        QCOMPARE(status.size(), 1);
        const QString text = status.at(0).at(0).toString();
        QVERIFY2(text.endsWith(" removed 2 old pictures (" + QLocale::c().formattedDataSize(removedBytes, 1) +
                               ")"),
                 qPrintable(text));
        QVERIFY(text.at(0).isDigit()); // the time first
    }

    // Short of space with a limit set: beyond the rule, oldest first, and the answer says
    // whether that was enough. Never a foreign file.
    void makeSpace()
    {
        QVERIFY(!writeLarge("Cam12526125202PM.jpg", 300 * kMiB, 3).isEmpty());
        QVERIFY(!writeLarge("Cam12526125203PM.jpg", 300 * kMiB, 2).isEmpty());
        QVERIFY(!writeLarge("Cam12526125204PM.jpg", 300 * kMiB, 1).isEmpty());
        QVERIFY(!writeLarge("holiday.jpg", 3000 * kMiB, 100).isEmpty());
        auto r = retention({RetentionRule::Kind::Days, 365});
        QSignalSpy pruned(r.get(), &Retention::pruned);
        QSignalSpy made(r.get(), &Retention::spaceMade);
        r->start();
        QVERIFY(waitPruned(pruned));
        QCOMPARE(files().size(), 4); // nothing by the rule
        r->makeSpace(400 * kMiB);
        QVERIFY(waitPruned(pruned, 2));
        QCOMPARE(made.size(), 1);
        QCOMPARE(made.at(0).at(0).toBool(), true);
        QCOMPARE(files(), QStringList({"Cam12526125204PM.jpg", "holiday.jpg"}));
        r->makeSpace(1000 * kMiB); // more than all the saved pictures hold: none goes in vain
        QVERIFY(waitPruned(pruned, 3));
        QCOMPARE(made.size(), 2);
        QCOMPARE(made.at(1).at(0).toBool(), false);
        QCOMPARE(files(), QStringList({"Cam12526125204PM.jpg", "holiday.jpg"}));
    }

    // Keeping pictures forever removes nothing, even short of space, and says no at once.
    void foreverRemovesNothing()
    {
        QVERIFY(!writeSaved("a.jpg", 4000).isEmpty());
        auto r = retention({});
        QSignalSpy made(r.get(), &Retention::spaceMade);
        QSignalSpy pruned(r.get(), &Retention::pruned);
        r->start();
        r->makeSpace(kMiB);
        QCOMPARE(made.size(), 1);
        QCOMPARE(made.at(0).at(0).toBool(), false);
        QVERIFY(r->isIdle());
        QCOMPARE(pruned.size(), 0);
        QCOMPARE(files(), QStringList({"a.jpg"}));
    }

    // Up to 1 GiB: at the start the oldest go; a save that passes the limit prunes again.
    void bySizeAndAfterASave()
    {
        QVERIFY(!writeLarge("Cam12526125202PM.jpg", 600 * kMiB, 2).isEmpty());
        QVERIFY(!writeLarge("Cam12526125203PM.jpg", 600 * kMiB, 1).isEmpty());
        auto r = retention({RetentionRule::Kind::Size, 1});
        QSignalSpy pruned(r.get(), &Retention::pruned);
        r->start();
        QVERIFY(waitPruned(pruned));
        QCOMPARE(files(), QStringList({"Cam12526125203PM.jpg"}));
        r->pictureSaved(writeLarge("Cam12526125204PM.jpg", 300 * kMiB, 0), 300 * kMiB);
        QVERIFY(r->isIdle()); // 900 MiB: within the limit
        r->pictureSaved(writeLarge("Cam12526125205PM.jpg", 300 * kMiB, 0), 300 * kMiB);
        QVERIFY(waitPruned(pruned, 2));
        QCOMPARE(files(), QStringList({"Cam12526125204PM.jpg", "Cam12526125205PM.jpg"}));
    }

    // A read-only picture is the user's to keep: it stays, the status line names it once, and
    // the next oldest goes in its place.
    void readOnlyReportedAndSkipped()
    {
        const QString kept = writeLarge("Cam12526125202PM.jpg", 600 * kMiB, 3);
        QVERIFY(QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(!writeLarge("Cam12526125203PM.jpg", 600 * kMiB, 2).isEmpty());
        QVERIFY(!writeLarge("Cam12526125204PM.jpg", 300 * kMiB, 1).isEmpty());
        auto r = retention({RetentionRule::Kind::Size, 1});
        QSignalSpy pruned(r.get(), &Retention::pruned);
        QSignalSpy status(r.get(), &Retention::statusText);
        r->start();
        QVERIFY(waitPruned(pruned));
        QCOMPARE(files(), QStringList({"Cam12526125202PM.jpg", "Cam12526125204PM.jpg"}));
        QCOMPARE(status.size(), 1);
        const QString text = status.at(0).at(0).toString();
        QVERIFY2(
            text.contains(" removed 1 old picture (600.0 MiB); kept 1 old picture that could not be removed "
                          "(Cam12526125202PM.jpg: read-only)"),
            qPrintable(text));
        r->prune(); // still over the limit, still read-only: not told again
        QVERIFY(waitPruned(pruned, 2));
        QCOMPARE(status.size(), 1);
        QVERIFY(QFile::exists(kept));
    }
};

QTEST_GUILESS_MAIN(TestRetention)
#include "tst_retention.moc"
