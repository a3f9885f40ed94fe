#include "history/historyindex.h"
#include "history/historyindexer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

const QDateTime kNoon(QDate(2026, 5, 1), QTime(12, 0), QTimeZone(7200));

// Test files carry their facts as text, "camera|seconds after kNoon"; anything else has none.
std::optional<PictureFacts> readTestFacts(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> parts = file.readAll().split('|');
    if (parts.size() != 2)
        return std::nullopt;
    return PictureFacts{QString::fromUtf8(parts.at(0)), kNoon.addSecs(parts.at(1).toInt())};
}

// The test's saved-name pattern: the camera name, then "-" (real names run straight into the date).
QString testMatcher(const QString &fileName, const QStringList &cameraNames)
{
    QString best;
    for (const QString &name : cameraNames) {
        if (fileName.startsWith(name + QLatin1Char('-')) && name.size() > best.size())
            best = name;
    }
    return best;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writeFacts(const QString &folder, const QString &name, const QString &camera, int seconds)
{
    return writeFile(folder + QLatin1Char('/') + name, camera.toUtf8() + '|' + QByteArray::number(seconds));
}

bool setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

QStringList namesOf(const QList<HistoryPicture> &history)
{
    QStringList names;
    for (const HistoryPicture &picture : history)
        names << picture.fileName;
    return names;
}

FolderIndex indexOf(const QList<std::pair<QString, std::optional<PictureFacts>>> &files,
                    qint64 modifiedMs = 0)
{
    FolderIndex index;
    for (const auto &[name, facts] : files)
        index.insert(name, IndexedFile{1, modifiedMs, facts});
    return index;
}

} // namespace

class TestHistoryIndex : public QObject
{
    Q_OBJECT

private slots:
    void historyIsInTimeOrder();
    void camerasSharingAPrefix_data();
    void camerasSharingAPrefix();
    void onlyChangedFilesAreRead_data();
    void onlyChangedFilesAreRead();
    void goneFilesLeaveTheIndex();
    void listsSavedPicturesOnly();
    void positionOfAPicture_data();
    void positionOfAPicture();
    void indexerFollowsTheFolder();
    void indexerReadsEachFileOnce();
    void damagedAndOlderFilesGoByName();
};

void TestHistoryIndex::historyIsInTimeOrder()
{
    // Metadata times across an hour change and a tie; a file without metadata by its file time.
    const FolderIndex index = indexOf(
        {
            {QStringLiteral("c.jpg"), PictureFacts{QStringLiteral("Cam"), kNoon.addSecs(60)}},
            {QStringLiteral("a.jpg"), PictureFacts{QStringLiteral("Cam"), kNoon.addSecs(3600)}},
            {QStringLiteral("b.jpg"), PictureFacts{QStringLiteral("Cam"), kNoon.addSecs(60)}},
            {QStringLiteral("d.jpg"), PictureFacts{QStringLiteral("Cam"), kNoon.toUTC().addSecs(-60)}},
            {QStringLiteral("Cam-5.jpg"), std::nullopt},
        },
        kNoon.addSecs(120).toMSecsSinceEpoch());
    const QList<HistoryPicture> history =
        cameraHistory(index, QStringLiteral("Cam"), {QStringLiteral("Cam")}, testMatcher);
    const QStringList expected = {QStringLiteral("d.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.jpg"),
                                  QStringLiteral("Cam-5.jpg"), QStringLiteral("a.jpg")};
    QCOMPARE(namesOf(history), expected);
    QCOMPARE(history.at(0).time, kNoon.addSecs(-60));
    QCOMPARE(history.at(3).time, kNoon.addSecs(120));
}

void TestHistoryIndex::camerasSharingAPrefix_data()
{
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Cam") << QStringLiteral("Cam")
                         << QStringList{QStringLiteral("m1.jpg"), QStringLiteral("Cam-12262026.jpg")};
    QTest::newRow("Cam1") << QStringLiteral("Cam1")
                          << QStringList{QStringLiteral("m2.jpg"), QStringLiteral("Cam1-12262026.jpg")};
    QTest::newRow("a camera not in the list")
        << QStringLiteral("Other") << QStringList{QStringLiteral("m3.jpg")};
    QTest::newRow("no camera") << QString() << QStringList();
}

void TestHistoryIndex::camerasSharingAPrefix()
{
    QFETCH(QString, camera);
    QFETCH(QStringList, expected);
    // By metadata the name is compared whole; by file name the longest camera name wins.
    const FolderIndex index = indexOf(
        {
            {QStringLiteral("m1.jpg"), PictureFacts{QStringLiteral("Cam"), kNoon}},
            {QStringLiteral("m2.jpg"), PictureFacts{QStringLiteral("Cam1"), kNoon}},
            {QStringLiteral("m3.jpg"), PictureFacts{QStringLiteral("Other"), kNoon}},
            {QStringLiteral("m4.jpg"), PictureFacts{QStringLiteral("cam"), kNoon}},
            {QStringLiteral("Cam-12262026.jpg"), std::nullopt},
            {QStringLiteral("Cam1-12262026.jpg"), std::nullopt},
            {QStringLiteral("Camera.jpg"), std::nullopt},
        },
        kNoon.addSecs(1).toMSecsSinceEpoch());
    const QStringList cameras = {QStringLiteral("Cam"), QStringLiteral("Cam1")};
    QCOMPARE(namesOf(cameraHistory(index, camera, cameras, testMatcher)), expected);
}

void TestHistoryIndex::onlyChangedFilesAreRead_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("modifiedMs");
    QTest::addColumn<bool>("read");
    QTest::newRow("unchanged") << qint64(100) << qint64(5000) << false;
    QTest::newRow("other size") << qint64(101) << qint64(5000) << true;
    QTest::newRow("other time") << qint64(100) << qint64(5001) << true;
}

void TestHistoryIndex::onlyChangedFilesAreRead()
{
    QFETCH(qint64, size);
    QFETCH(qint64, modifiedMs);
    QFETCH(bool, read);
    FolderIndex previous;
    previous.insert(QStringLiteral("a.jpg"),
                    IndexedFile{100, 5000, PictureFacts{QStringLiteral("Cam"), kNoon}});
    const QList<FileStamp> listing = {{QStringLiteral("a.jpg"), size, modifiedMs},
                                      {QStringLiteral("new.jpg"), 1, 1}};
    const QStringList toRead = filesToRead(previous, listing);
    QCOMPARE(toRead.contains(QStringLiteral("a.jpg")), read);
    QVERIFY(toRead.contains(QStringLiteral("new.jpg")));
    // What is read anew replaces what was known; a file read now without facts has none.
    QHash<QString, std::optional<PictureFacts>> fresh;
    for (const QString &name : toRead)
        fresh.insert(name, std::nullopt);
    const FolderIndex index = updatedIndex(previous, listing, fresh);
    QCOMPARE(index.value(QStringLiteral("a.jpg")).facts.has_value(), !read);
    QCOMPARE(index.value(QStringLiteral("a.jpg")).size, size);
}

void TestHistoryIndex::goneFilesLeaveTheIndex()
{
    FolderIndex previous;
    previous.insert(QStringLiteral("gone.jpg"),
                    IndexedFile{1, 1, PictureFacts{QStringLiteral("Cam"), kNoon}});
    previous.insert(QStringLiteral("kept.jpg"),
                    IndexedFile{1, 1, PictureFacts{QStringLiteral("Cam"), kNoon}});
    const FolderIndex index = updatedIndex(previous, {{QStringLiteral("kept.jpg"), 1, 1}}, {});
    QCOMPARE(index.size(), 1);
    QVERIFY(index.contains(QStringLiteral("kept.jpg")));
    QVERIFY(index.value(QStringLiteral("kept.jpg")).facts.has_value());
}

void TestHistoryIndex::listsSavedPicturesOnly()
{
    QTemporaryDir dir;
    for (const char *name : {"a.jpg", "B.JPG", ".saving-abc123.tmp", ".hidden.jpg", "notes.txt", "clip.mp4"})
        QVERIFY(writeFile(dir.filePath(QString::fromLatin1(name)), "x"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("a.jpg")), dir.filePath(QStringLiteral("link.jpg"))));
    QStringList names;
    for (const FileStamp &file : listPictureFiles(dir.path()))
        names << file.name;
    names.sort();
    QCOMPARE(names, (QStringList{QStringLiteral("B.JPG"), QStringLiteral("a.jpg")}));
    QCOMPARE(listPictureFiles(dir.filePath(QStringLiteral("missing"))).size(), 0);
}

void TestHistoryIndex::positionOfAPicture_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position");
    QTest::newRow("before all") << -10 << QStringLiteral("z.jpg") << 0;
    QTest::newRow("itself") << 10 << QStringLiteral("b.jpg") << 1;
    QTest::newRow("a tie, by name") << 10 << QStringLiteral("c.jpg") << 2;
    QTest::newRow("after all") << 99 << QStringLiteral("a.jpg") << 3;
}

void TestHistoryIndex::positionOfAPicture()
{
    QFETCH(int, seconds);
    QFETCH(QString, name);
    QFETCH(int, position);
    const QList<HistoryPicture> history = {{QStringLiteral("a.jpg"), kNoon},
                                           {QStringLiteral("b.jpg"), kNoon.addSecs(10)},
                                           {QStringLiteral("d.jpg"), kNoon.addSecs(20)}};
    QCOMPARE(historyPosition(history, HistoryPicture{name, kNoon.addSecs(seconds)}), position);
}

void TestHistoryIndex::indexerFollowsTheFolder()
{
    QTemporaryDir dir;
    QVERIFY(writeFacts(dir.path(), QStringLiteral("one.jpg"), QStringLiteral("Cam"), 10));
    QVERIFY(writeFacts(dir.path(), QStringLiteral("other.jpg"), QStringLiteral("Cam1"), 5));
    HistoryIndexer indexer(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam"), QStringLiteral("Cam1")},
                           readTestFacts, testMatcher);
    QSignalSpy updated(&indexer, &HistoryIndexer::updated);
    indexer.start();
    QVERIFY(updated.wait());
    QCOMPARE(namesOf(indexer.pictures()), QStringList{QStringLiteral("one.jpg")});

    // A picture saved while the history is open, an earlier one among them, then one removed: the
    // folder's watch alone brings each in.
    QVERIFY(writeFacts(dir.path(), QStringLiteral("two.jpg"), QStringLiteral("Cam"), 20));
    QVERIFY(writeFacts(dir.path(), QStringLiteral("zero.jpg"), QStringLiteral("Cam"), 0));
    QTRY_COMPARE(
        namesOf(indexer.pictures()),
        (QStringList{QStringLiteral("zero.jpg"), QStringLiteral("one.jpg"), QStringLiteral("two.jpg")}));
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("one.jpg"))));
    QTRY_COMPARE(namesOf(indexer.pictures()),
                 (QStringList{QStringLiteral("zero.jpg"), QStringLiteral("two.jpg")}));
    // The folder emptied and removed altogether.
    QVERIFY(dir.remove());
    QTRY_COMPARE(indexer.pictures().size(), 0);
}

void TestHistoryIndex::indexerReadsEachFileOnce()
{
    QTemporaryDir dir;
    constexpr int kFiles = 50;
    for (int i = 0; i < kFiles; ++i)
        QVERIFY(writeFacts(dir.path(), QStringLiteral("p%1.jpg").arg(i), QStringLiteral("Cam"), i));
    auto reads = std::make_shared<std::atomic<int>>(0);
    HistoryIndexer indexer(
        dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")},
        [reads](const QString &path) {
            ++*reads;
            return readTestFacts(path);
        },
        testMatcher);
    QSignalSpy updated(&indexer, &HistoryIndexer::updated);
    indexer.start();
    QVERIFY(updated.wait());
    QCOMPARE(indexer.pictures().size(), kFiles);
    QCOMPARE(reads->load(), kFiles);
    QVERIFY(writeFacts(dir.path(), QStringLiteral("new.jpg"), QStringLiteral("Cam"), 99));
    QTRY_COMPARE(indexer.pictures().size(), kFiles + 1);
    QCOMPARE(reads->load(), kFiles + 1);
    QCOMPARE(indexer.pictures().last().fileName, QStringLiteral("new.jpg"));
}

void TestHistoryIndex::damagedAndOlderFilesGoByName()
{
    // A file whose metadata cannot be read counts as one saved before metadata: its name and its
    // file time place it.
    QTemporaryDir dir;
    QVERIFY(writeFacts(dir.path(), QStringLiteral("new.jpg"), QStringLiteral("Cam"), 0));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("Cam-5122026.jpg")), "\xff\xd8 damaged"));
    QVERIFY(setModified(dir.filePath(QStringLiteral("Cam-5122026.jpg")), kNoon.addSecs(-30)));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("holiday.jpg")), "\xff\xd8 someone else's"));
    HistoryIndexer indexer(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}, readTestFacts,
                           testMatcher);
    QSignalSpy updated(&indexer, &HistoryIndexer::updated);
    indexer.start();
    QVERIFY(updated.wait());
    QCOMPARE(namesOf(indexer.pictures()),
             (QStringList{QStringLiteral("Cam-5122026.jpg"), QStringLiteral("new.jpg")}));
    QCOMPARE(indexer.pictures().first().time, kNoon.addSecs(-30));
}

QTEST_GUILESS_MAIN(TestHistoryIndex)
#include "tst_historyindex.moc"
