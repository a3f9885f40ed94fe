#include "camlistfile.h"
#include "camlistformat.h"
#include "filesizelimit.h"
#include "offscreenmain.h"
#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <memory>
#include <unistd.h>

namespace {

const QByteArray kTwoCams("\r\n[name]Cam 2\r\nhttp://127.0.0.1:9/2.jpg\r\n20\r\n\r\n"
                          "[name]Cam\r\nhttp://127.0.0.1:9/1.jpg\r\n10\r\n\r\n");

QStringList Items(const QListWidget &list)
{
    QStringList items;
    for (int row = 0; row < list.count(); ++row)
        items.append(list.item(row)->text());
    return items;
}

} // namespace

class TestCamListFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fillCreatesFileAndAddsSorted_data();
    void fillCreatesFileAndAddsSorted();
    void refillFollowsTheFile();
    void operationsOnTheRealFile();
    void unusableListPath_data();
    void unusableListPath();
    void failedWriteLeavesFileWhole_data();
    void failedWriteLeavesFileWhole();
    void readOnlyFolderLeavesFileWhole();

private:
    QByteArray readList() const;
    void writeList(const QByteArray &bytes) const;
    QStringList folderEntries() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCamListFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SetProgramFolder(m_dir->path());
}

void TestCamListFile::cleanup()
{
    SetProgramFolder(QString());
    m_dir.reset();
}

QByteArray TestCamListFile::readList() const
{
    QFile file(CamListPath());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void TestCamListFile::writeList(const QByteArray &bytes) const
{
    QFile file(CamListPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList TestCamListFile::folderEntries() const
{
    return QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void TestCamListFile::fillCreatesFileAndAddsSorted_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("missing file created") << QByteArray() << QByteArray("\r\n") << QStringList{"kept"};
    QTest::newRow("empty file not extended") << QByteArray("") << QByteArray("") << QStringList{"kept"};
    const QByteArray names("[name]Zoo\r\nz\r\n1\r\n\r\n[NAME]Garden\r\ng\r\n2\r\n\r\n[name]\r\n" + kTwoCams);
    QTest::newRow("file order does not show") << names << names << QStringList{"", "Cam", "Cam 2", "Garden", "kept", "Zoo"};
}

void TestCamListFile::fillCreatesFileAndAddsSorted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, expected);

    QCOMPARE(CamListPath(), m_dir->path() + QStringLiteral("/00camlist.txt"));
    if (!bytes.isNull())
        writeList(bytes);
    QWidget window;
    QListWidget List1(&window);
    List1.addItem(QStringLiteral("kept"));
    FillCamList(&List1, &window);

    QStringList items = Items(List1);
    std::sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(items, expected);
    QCOMPARE(readList(), after);
    QVERIFY2(window.updatesEnabled(), "drawing is resumed before the fill returns");
}

void TestCamListFile::refillFollowsTheFile()
{
    QListWidget List1;
    List1.addItem(QStringLiteral("stale"));
    RefillCamList(&List1);
    QCOMPARE(List1.count(), 0);
    QVERIFY2(!QFile::exists(CamListPath()), "only the start-up fill creates the file");

    writeList(kTwoCams);
    RefillCamList(&List1);
    RefillCamList(&List1);
    QCOMPARE(Items(List1), (QStringList{"Cam 2", "Cam"}));
}

void TestCamListFile::operationsOnTheRealFile()
{
    // Missing file: nothing to remove, and the append creates it with the block alone.
    QVERIFY(RemoveCamEntry({"A", "", ""}));
    QVERIFY(!QFile::exists(CamListPath()));
    QVERIFY(AppendCamEntry({"A", "X", "30"}));
    QCOMPARE(readList(), QByteArray("[name]A\r\nX\r\n30\r\n\r\n"));

    writeList(kTwoCams);
    CameraEntry holder{"earlier", "http://127.0.0.1:9/e.jpg", "7"};
    for (const QString &name : {QStringLiteral("cam"), QStringLiteral("Cam "), QString()})
        QVERIFY2(!FindCamEntry(name, holder), qPrintable(name));
    QCOMPARE(holder.address, QStringLiteral("http://127.0.0.1:9/e.jpg"));
    QVERIFY(FindCamEntry(QStringLiteral("Cam"), holder));
    QCOMPARE(holder.address, QStringLiteral("http://127.0.0.1:9/1.jpg"));
    QCOMPARE(holder.refresh, QStringLiteral("10"));

    // No block for the name: the file is not rewritten at all.
    QVERIFY(RemoveCamEntry({"cam", "", ""}));
    QCOMPARE(readList(), kTwoCams);
    QVERIFY(RemoveCamEntry({"Cam 2", "", ""}));
    QCOMPARE(readList(), QByteArray("\r\n\r\n\r\n\r\n[name]Cam\r\nhttp://127.0.0.1:9/1.jpg\r\n10\r\n\r\n\r\n"));
    QCOMPARE(folderEntries(), QStringList{"00camlist.txt"});

    // An edit whose old block is gone meanwhile appends; a CR in a field writes nothing.
    const QByteArray before = readList();
    QVERIFY(ReplaceCamEntry({"Cam 2", "", ""}, {"Cam 2", "y", "5"}));
    QCOMPARE(readList(), before + "[name]Cam 2\r\ny\r\n5\r\n\r\n");
    const QByteArray edited = readList();
    QVERIFY(!AppendCamEntry({"Split\rName", "x", "1"}));
    QVERIFY(!ReplaceCamEntry({"Cam", "", ""}, {"Cam", "x\r", "1"}));
    QCOMPARE(readList(), edited);
}

void TestCamListFile::unusableListPath_data()
{
    QTest::addColumn<bool>("listIsFolder");
    QTest::newRow("list path is a folder") << true;
    QTest::newRow("program folder vanished") << false;
}

void TestCamListFile::unusableListPath()
{
    QFETCH(bool, listIsFolder);
    if (listIsFolder)
        QVERIFY(QDir().mkpath(CamListPath() + QStringLiteral("/inner")));
    else
        SetProgramFolder(m_dir->path() + QStringLiteral("/vanished"));

    QWidget window;
    QListWidget List1(&window);
    List1.addItem(QStringLiteral("stale"));
    FillCamList(&List1, &window);
    QCOMPARE(Items(List1), QStringList{"stale"});
    QVERIFY(window.updatesEnabled());
    RefillCamList(&List1);
    QCOMPARE(List1.count(), 0);

    CameraEntry holder{"earlier", "a", "1"};
    QVERIFY(!FindCamEntry("Cam", holder));
    QCOMPARE(holder.name, QStringLiteral("earlier"));
    QVERIFY(!AppendCamEntry({"Cam", "x", "1"}));
    QVERIFY(!ReplaceCamEntry({"Cam", "x", "1"}, {"Cam", "y", "2"}));
    // A folder in the way cannot be read, so nobody knows whether the entry is there.
    QCOMPARE(RemoveCamEntry({"Cam", "x", "1"}), !listIsFolder);

    if (listIsFolder)
        QVERIFY(QFileInfo(CamListPath() + QStringLiteral("/inner")).isDir());
    else
        QVERIFY(!QFileInfo::exists(ProgramFolder()));
}

void TestCamListFile::failedWriteLeavesFileWhole_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("partly"); // the limit lets part of the new content through

    for (const char *operation : {"remove", "replace", "append"}) {
        QTest::addRow("%s, disk full", operation) << operation << false;
        QTest::addRow("%s, partly written", operation) << operation << true;
    }
}

void TestCamListFile::failedWriteLeavesFileWhole()
{
    QFETCH(QString, operation);
    QFETCH(bool, partly);

    const QByteArray bytes = kTwoCams + QByteArray("[name]Other\r\nhttp://127.0.0.1:9/o.jpg\r\n60\r\n\r\n");
    writeList(bytes);
    const CameraEntry cam{"Cam", "http://127.0.0.1:9/1.jpg", "10"};
    const CameraEntry edited{"Cam", "http://127.0.0.1:9/edited.jpg", "11"};

    const auto run = [&] {
        if (operation == QLatin1String("remove"))
            return RemoveCamEntry(cam);
        if (operation == QLatin1String("replace"))
            return ReplaceCamEntry(cam, edited);
        return AppendCamEntry(edited);
    };
    // The size of the file the operation would leave.
    qsizetype wanted = bytes.size() + CamEntryBlock(edited).size();
    if (operation != QLatin1String("append")) {
        wanted = RemoveCamEntryBytes(bytes, cam.name).bytes.size();
        if (operation == QLatin1String("replace"))
            wanted += CamEntryBlock(edited).size();
    }
    constexpr qsizetype kShortBy = 7;
    constexpr qsizetype kFullDisk = 16;
    const qsizetype limit = partly ? wanted - kShortBy : kFullDisk;

    bool written = true;
    bool limited = false;
    {
        ScopedFileSizeLimit guard(limit);
        limited = guard.ok();
        written = run();
    }
    QVERIFY(limited);
    QVERIFY(!written);
    QCOMPARE(readList(), bytes);
    QCOMPARE(folderEntries(), QStringList{"00camlist.txt"});

    // With room again the same operation goes through.
    QVERIFY(run());
    QCOMPARE(readList().size(), wanted);
}

void TestCamListFile::readOnlyFolderLeavesFileWhole()
{
    if (::geteuid() == 0)
        QSKIP("permission bits do not stop root; the file size limit cases cover it");
    writeList(kTwoCams);
    const auto writable = QFile::permissions(m_dir->path());
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    const bool removed = RemoveCamEntry({"Cam", "", ""});
    const bool replaced = ReplaceCamEntry({"Cam", "", ""}, {"Cam", "x", "1"});
    QFile::setPermissions(m_dir->path(), writable);
    QVERIFY(!removed);
    QVERIFY(!replaced);
    QCOMPARE(readList(), kTwoCams);
}

VANTORA_WIDGET_TEST_MAIN(TestCamListFile)
#include "tst_camlistfile.moc"
