#include "camlistfile.h"
#include "filesizelimit.h"
#include "offscreenmain.h"
#include "programfolder.h"

#include <QListWidget>

#include <memory>

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

QByteArray ReadList()
{
    QFile file(CamListPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList FolderEntries()
{
    return QDir(ProgramFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void WriteList(const QByteArray &bytes)
{
    QFile file(CamListPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

} // namespace

class TestCamListFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void fill_data();
    void fill();
    void operationsOnTheRealFile();
    void unusableListPath_data();
    void unusableListPath();
    void failedWriteLeavesFileWhole_data();
    void failedWriteLeavesFileWhole();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCamListFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SetProgramFolder(m_dir->path());
}

void TestCamListFile::fill_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("missing file created") << QByteArray() << QByteArray("\r\n") << QStringList{"kept"};
    QTest::newRow("empty file not extended") << QByteArray("") << QByteArray("") << QStringList{"kept"};
    const QByteArray names("[name]Zoo\r\nz\r\n1\r\n\r\n[NAME]Garden\r\ng\r\n2\r\n\r\n[name]\r\n" + kTwoCams);
    QTest::newRow("file order, after what is there") << names << names
                                                     << QStringList{"kept", "Zoo", "Garden", "", "Cam 2", "Cam"};
}

void TestCamListFile::fill()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, expected);
    QWidget window;
    QListWidget List1(&window);
    bytes.isNull() ? RefillCamList(&List1) : WriteList(bytes);
    QCOMPARE(QFile::exists(CamListPath()), !bytes.isNull()); // only the start-up fill creates the file
    List1.addItem(QStringLiteral("kept"));
    FillCamList(&List1, &window);
    QCOMPARE(Items(List1), expected);
    QCOMPARE(ReadList(), after);
    QVERIFY2(window.updatesEnabled(), "drawing is resumed before the fill returns");

    // The dialogs' refill starts from an empty list, however often it runs.
    RefillCamList(&List1);
    RefillCamList(&List1);
    QCOMPARE(Items(List1), expected.mid(1));
}

void TestCamListFile::operationsOnTheRealFile()
{
    // Missing file: nothing to remove, and the append creates it with the block alone.
    QVERIFY(RemoveCamEntry({"A", "", ""}));
    QVERIFY(!QFile::exists(CamListPath()));
    QVERIFY(AppendCamEntry({"A", "X", "30"}));
    QCOMPARE(ReadList(), QByteArray("[name]A\r\nX\r\n30\r\n\r\n"));

    WriteList(kTwoCams);
    CameraEntry holder{"earlier", "http://127.0.0.1:9/e.jpg", "7"};
    for (const QString &name : {QStringLiteral("cam"), QStringLiteral("Cam "), QString()})
        QVERIFY2(!FindCamEntry(name, holder) && holder.name == QLatin1String("earlier"), qPrintable(name));
    QVERIFY(FindCamEntry(QStringLiteral("Cam"), holder));
    QCOMPARE(holder.address + holder.refresh, QStringLiteral("http://127.0.0.1:9/1.jpg10"));

    // No block for the name: nothing to do; a CR in a field writes nothing.
    QVERIFY(RemoveCamEntry({"cam", "", ""}));
    QVERIFY(!AppendCamEntry({"Split\rName", "x", "1"}));
    QVERIFY(!ReplaceCamEntry({"Cam", "", ""}, {"Cam", "x\r", "1"}));
    QCOMPARE(ReadList(), kTwoCams);
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
    FillCamList(&List1, &window);
    QVERIFY(List1.count() == 0 && window.updatesEnabled());
    CameraEntry holder{"earlier", "a", "1"};
    QVERIFY(!FindCamEntry("Cam", holder) && holder.name == QLatin1String("earlier"));
    QVERIFY(!AppendCamEntry({"Cam", "x", "1"}) && !ReplaceCamEntry({"Cam", "x", "1"}, {"Cam", "y", "2"}));
    // A folder in the way cannot be read, so nobody knows whether the entry is there.
    QCOMPARE(RemoveCamEntry({"Cam", "x", "1"}), !listIsFolder);
    QCOMPARE(QFileInfo(CamListPath()).isDir(), listIsFolder);
    QVERIFY(listIsFolder || !QFileInfo::exists(ProgramFolder()));
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
    const CameraEntry cam{"Cam", "http://127.0.0.1:9/1.jpg", "10"};
    const CameraEntry edited{"Cam", "http://127.0.0.1:9/edited.jpg", "11"};
    const auto run = [&] {
        if (operation == QLatin1String("remove"))
            return RemoveCamEntry(cam);
        return operation == QLatin1String("replace") ? ReplaceCamEntry(cam, edited) : AppendCamEntry(edited);
    };
    // What the operation leaves when there is room.
    WriteList(kTwoCams);
    QVERIFY(run());
    const QByteArray wanted = ReadList();

    WriteList(kTwoCams);
    constexpr rlim_t kShortBy = 7;
    constexpr rlim_t kFullDisk = 16;
    bool written = true;
    QVERIFY(WithFileSizeLimit(partly ? rlim_t(wanted.size()) - kShortBy : kFullDisk, [&] { written = run(); }));
    QVERIFY(!written);
    QCOMPARE(ReadList(), kTwoCams);
    QCOMPARE(FolderEntries(), QStringList{"00camlist.txt"}); // no temporary file left
    QVERIFY(run());
    QCOMPARE(ReadList(), wanted);
}

VANTORA_WIDGET_TEST_MAIN(TestCamListFile)
#include "tst_camlistfile.moc"
