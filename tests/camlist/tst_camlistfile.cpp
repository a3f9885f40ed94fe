#include "camlist/camlistfile.h"
#include "camlist/camlistitem.h"
#include "common/programfolder.h"
#include "support/filesizelimit.h"
#include "support/offscreenmain.h"

#include <QListWidget>

#include <memory>

namespace {

const QByteArray kTwoCams("\r\n[name]Cam 2\r\nhttp://127.0.0.1:9/2.jpg\r\n20\r\n\r\n"
                          "[name]Cam\r\nhttp://127.0.0.1:9/1.jpg\r\n10\r\n\r\n");
const QByteArray kNewBlock("[name]New\r\ny\r\n2\r\n\r\n");

// The file at path, or null when there is none.
QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file at path; null bytes write nothing.
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!bytes.isNull())
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Appends newEntry, replaces oldEntry by it (an edit), or removes oldEntry.
bool write(const QString &operation, const CameraEntry &oldEntry, const CameraEntry &newEntry)
{
    if (operation == QLatin1String("append"))
        return AppendCamEntry(newEntry);
    return operation == QLatin1String("replace") ? replaceCamEntry(oldEntry, newEntry)
                                                 : RemoveCamEntry(oldEntry);
}

} // namespace

// The list file in a temporary program folder ("user"), one per test function or row; the
// program was installed in its sibling "bin".
class TestCamListFile : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkpath("user") && QDir(m_dir->path()).mkpath("bin"));
        SetProgramFolder(m_dir->filePath("user"));
        setInstalledFolder(m_dir->filePath("bin"));
    }

    void fill_data();
    void fill();
    void writes_data();
    void writes();
    void folderInPlaceOfTheList();
    void failedWriteLeavesFileWhole_data();
    void failedWriteLeavesFileWhole();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The start-up fill into a sorted list box that already holds "kept".
void TestCamListFile::fill_data()
{
    QTest::addColumn<QByteArray>("installed"); // the list in "bin"; null: none
    QTest::addColumn<QByteArray>("bytes"); // the list in the program folder; null: none
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("missing file created")
        << QByteArray() << QByteArray() << QByteArray("\r\n") << QStringList{"kept"};
    QTest::newRow("empty file not extended")
        << QByteArray() << QByteArray("") << QByteArray("") << QStringList{"kept"};
    QTest::newRow("installed list taken over")
        << kTwoCams << QByteArray() << kTwoCams << QStringList{"Cam", "Cam 2", "kept"};
    QTest::newRow("own list kept") << kTwoCams << kNewBlock << kNewBlock << QStringList{"kept", "New"};
}

void TestCamListFile::fill()
{
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, shown);
    writeFile(m_dir->filePath("bin/00camlist.txt"), installed);
    writeFile(camListPath(), bytes);
    QWidget window;
    QListWidget List1(&window);
    List1.setSortingEnabled(true);
    List1.addItem(new CamListItem("kept"));
    FillCamList(&List1, &window);

    QStringList texts;
    for (int row = 0; row < List1.count(); ++row)
        texts << List1.item(row)->text();
    QCOMPARE(texts, shown);
    QCOMPARE(readFile(camListPath()), after);
    QCOMPARE(readFile(m_dir->filePath("bin/00camlist.txt")), installed);
    QVERIFY(window.updatesEnabled()); // drawing resumes before the fill returns
    // The dialogs' refill starts from an empty list.
    RefillCamList(&List1);
    QCOMPARE(List1.count(), shown.size() - 1);
}

// Writes on the file as it is: the old entry is (oldName, "x", "1"), the new one (newName, "y", "2").
void TestCamListFile::writes_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QByteArray>("oldName");
    QTest::addColumn<QByteArray>("newName");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QByteArray>("after"); // null: no file

    const auto row = [](const char *tag, const QByteArray &before, const char *operation, const char *oldName,
                        const char *newName, bool done, const QByteArray &after) {
        QTest::newRow(tag) << before << QString::fromLatin1(operation) << QByteArray(oldName)
                           << QByteArray(newName) << done << after;
    };
    const QByteArray unbroken("[name]A\r\nx\r\n10");
    row("append creates the file", QByteArray(), "append", "", "New", true, kNewBlock);
    row("remove from no file", QByteArray(), "remove", "Cam", "", true, QByteArray());
    row("replace without old block appends", unbroken, "replace", "cam", "New", true,
        unbroken + "\r\n" + kNewBlock);
    row("replace with a CR", kTwoCams, "replace", "Cam", "Ne\rw", false, kTwoCams);
}

void TestCamListFile::writes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, operation);
    QFETCH(QByteArray, oldName);
    QFETCH(QByteArray, newName);
    QFETCH(bool, done);
    QFETCH(QByteArray, after);
    writeFile(camListPath(), before);
    QCOMPARE(write(operation, {oldName, "x", "1"}, {newName, "y", "2"}), done);
    QCOMPARE(readFile(camListPath()), after);
}

// A folder in the list's place cannot be read: nobody knows whether an entry is there.
void TestCamListFile::folderInPlaceOfTheList()
{
    QVERIFY(QDir().mkpath(camListPath() + QStringLiteral("/inner")));
    QWidget window;
    QListWidget List1(&window);
    FillCamList(&List1, &window);
    QCOMPARE(List1.count(), 0);
    CameraEntry holder;
    QVERIFY(!FindCamEntry("Cam", holder));
    for (const char *operation : {"append", "replace", "remove"})
        QVERIFY2(!write(QLatin1String(operation), {"Cam", "x", "1"}, {"Cam", "y", "2"}), operation);
    QVERIFY(QFileInfo(camListPath()).isDir());
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
    writeFile(camListPath(), kTwoCams);
    QVERIFY(write(operation, cam, edited));
    const QByteArray wanted = readFile(camListPath()); // what the operation leaves when there is room

    writeFile(camListPath(), kTwoCams);
    constexpr rlim_t kShortBy = 7;
    bool written = true;
    QVERIFY(WithFileSizeLimit(rlim_t(wanted.size()) - kShortBy,
                              [&] { written = write(operation, cam, edited); }));
    QVERIFY(!written);
    QCOMPARE(readFile(camListPath()), kTwoCams);
    const QStringList entries =
        QDir(ProgramFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(entries, QStringList{"00camlist.txt"}); // no temporary file left
    QVERIFY(write(operation, cam, edited));
    QCOMPARE(readFile(camListPath()), wanted);
}

VANTORA_WIDGET_TEST_MAIN(TestCamListFile)
#include "tst_camlistfile.moc"
