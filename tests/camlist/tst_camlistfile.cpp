#include "camlist/camlistfile.h"
#include "common/programfolder.h"
#include "filesizelimit.h"
#include "support/offscreenmain.h"

#include <QListWidget>

#include <memory>

namespace {

const QByteArray kTwoCams("\r\n[name]Cam 2\r\nhttp://127.0.0.1:9/2.jpg\r\n20\r\n\r\n"
                          "[name]Cam\r\nhttp://127.0.0.1:9/1.jpg\r\n10\r\n\r\n");

// Reads the list file, or writes it when bytes are given.
QByteArray List(const QByteArray &bytes = QByteArray())
{
    QFile file(CamListPath());
    if (!bytes.isNull())
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
            ? bytes
            : QByteArray("<unwritten>");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString Items(const QListWidget &list)
{
    QStringList items;
    for (int row = 0; row < list.count(); ++row)
        items.append(list.item(row)->text());
    return items.join(u',');
}

} // namespace

// The list file in a temporary program folder, one per test function or row.
class TestCamListFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { SetProgramFolder((m_dir = std::make_unique<QTemporaryDir>())->path()); }

    void fill_data();
    void fill();
    void operationsOnTheRealFile();
    void failedWriteLeavesFileWhole_data();
    void failedWriteLeavesFileWhole();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCamListFile::fill_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing file created") << QByteArray() << QByteArray("\r\n") << "kept";
    QTest::newRow("empty file not extended") << QByteArray("") << QByteArray("") << "kept";
    const QByteArray names("[name]Zoo\r\nz\r\n1\r\n\r\n[NAME]Garden\r\ng\r\n2\r\n\r\n[name]\r\n" + kTwoCams);
    QTest::newRow("file order, after what is there") << names << names << "kept,Zoo,Garden,,Cam 2,Cam";
}

void TestCamListFile::fill()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, after);
    QFETCH(QString, expected);
    QWidget window;
    QListWidget List1(&window);
    bytes.isNull() ? RefillCamList(&List1) : void(List(bytes));
    QCOMPARE(QFile::exists(CamListPath()), !bytes.isNull()); // only the start-up fill creates the file
    List1.addItem(QStringLiteral("kept"));
    FillCamList(&List1, &window);
    QCOMPARE(Items(List1), expected);
    QCOMPARE(List(), after);
    QVERIFY2(window.updatesEnabled(), "drawing is resumed before the fill returns");
    // The dialogs' refill starts from an empty list, however often it runs.
    RefillCamList(&List1);
    RefillCamList(&List1);
    QCOMPARE(Items(List1), expected.mid(5)); // without "kept,"
}

void TestCamListFile::operationsOnTheRealFile()
{
    // Missing file: nothing to remove, and the append creates it with the block alone.
    QVERIFY(RemoveCamEntry({"A", "", ""}) && !QFile::exists(CamListPath()));
    QVERIFY(AppendCamEntry({"A", "X", "30"}));
    QCOMPARE(List(), QByteArray("[name]A\r\nX\r\n30\r\n\r\n"));

    List(kTwoCams);
    CameraEntry holder{"earlier", "", ""};
    for (const QString &name : {QStringLiteral("cam"), QStringLiteral("Cam "), QString()})
        QVERIFY2(!FindCamEntry(name, holder) && holder.name == QLatin1String("earlier"), qPrintable(name));
    QVERIFY(FindCamEntry(QStringLiteral("Cam"), holder));
    QCOMPARE(holder.name + holder.address + holder.refresh, QStringLiteral("Camhttp://127.0.0.1:9/1.jpg10"));
    // No block for the name: nothing to remove, and a replacement only appends (the edit of a
    // name the lookup cannot find); a CR in a field writes nothing.
    QVERIFY(RemoveCamEntry({"cam", "", ""}) && ReplaceCamEntry({}, {"B", "y", "2"}));
    QVERIFY(!AppendCamEntry({"Split\rName", "x", "1"}) &&
            !ReplaceCamEntry({"Cam", "", ""}, {"Cam", "x\r", "1"}));
    QCOMPARE(List(), kTwoCams + "[name]B\r\ny\r\n2\r\n\r\n");

    // A folder in the list's place cannot be read: nobody knows whether the entry is there.
    QVERIFY(QFile::remove(CamListPath()) && QDir().mkpath(CamListPath() + QStringLiteral("/inner")));
    QWidget window;
    QListWidget List1(&window);
    FillCamList(&List1, &window);
    QVERIFY(List1.count() == 0 && window.updatesEnabled() && !FindCamEntry("Cam", holder));
    QVERIFY(!AppendCamEntry({"Cam", "x", "1"}) && !ReplaceCamEntry({"Cam", "x", "1"}, {"Cam", "y", "2"}));
    QVERIFY(!RemoveCamEntry({"Cam", "x", "1"}) && QFileInfo(CamListPath()).isDir());
}

void TestCamListFile::failedWriteLeavesFileWhole_data()
{
    QTest::addColumn<QString>("operation");
    for (const char *operation : {"remove", "replace", "append"})
        QTest::newRow(operation) << operation;
}

// The write stops part way through the new content, as on a disk that fills up.
void TestCamListFile::failedWriteLeavesFileWhole()
{
    QFETCH(QString, operation);
    const CameraEntry cam{"Cam", "http://127.0.0.1:9/1.jpg", "10"};
    const CameraEntry edited{"Cam", "http://127.0.0.1:9/edited.jpg", "11"};
    const auto run = [&] {
        if (operation == QLatin1String("remove"))
            return RemoveCamEntry(cam);
        return operation == QLatin1String("replace") ? ReplaceCamEntry(cam, edited) : AppendCamEntry(edited);
    };
    List(kTwoCams);
    QVERIFY(run());
    const QByteArray wanted = List(); // what the operation leaves when there is room

    List(kTwoCams);
    constexpr rlim_t kShortBy = 7;
    bool written = true;
    QVERIFY(WithFileSizeLimit(rlim_t(wanted.size()) - kShortBy, [&] { written = run(); }));
    QVERIFY(!written);
    QCOMPARE(List(), kTwoCams);
    const QStringList entries =
        QDir(ProgramFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(entries, QStringList{"00camlist.txt"}); // no temporary file left
    QVERIFY(run());
    QCOMPARE(List(), wanted);
}

VANTORA_WIDGET_TEST_MAIN(TestCamListFile)
#include "tst_camlistfile.moc"
