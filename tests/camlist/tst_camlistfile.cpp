#include "camlist/camlistfile.h"
#include "camlist/camlistitem.h"
#include "common/programfolder.h"
#include "support/filesizelimit.h"
#include "support/offscreenmain.h"

#include <QListWidget>

#include <memory>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

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

QByteArray camBlock(const QByteArray &name, const QByteArray &address, const QByteArray &refresh)
{
    return "[name]" + name + "\r\n" + address + "\r\n" + refresh + "\r\n\r\n";
}

QStringList texts(const QListWidget &list)
{
    QStringList shown;
    for (int row = 0; row < list.count(); ++row)
        shown << list.item(row)->text();
    return shown;
}

// The most this process has had resident so far.
qint64 peakResident()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
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
    void brokenFiles_data();
    void brokenFiles();
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

    QCOMPARE(texts(List1), shown);
    QCOMPARE(readFile(camListPath()), after);
    QCOMPARE(readFile(m_dir->filePath("bin/00camlist.txt")), installed);
    QVERIFY(window.updatesEnabled()); // drawing resumes before the fill returns
    // The dialogs' refill starts from an empty list.
    RefillCamList(&List1);
    QCOMPARE(List1.count(), shown.size() - 1);
}

// A hand-edited or damaged list, through what the user does: the list shown, the entry the
// selected item opens, and the file after that entry is removed.
void TestCamListFile::brokenFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("shown"); // List1, sorted
    QTest::addColumn<QString>("selected"); // the item looked up and removed; none when not shown
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("refresh");
    QTest::addColumn<QByteArray>("after"); // the file after the removal

    const auto row = [](const char *tag, const QByteArray &bytes, const QStringList &shown,
                        const QString &selected, bool found, const QByteArray &address,
                        const QByteArray &refresh, const QByteArray &after) {
        QTest::newRow(tag) << bytes << shown << selected << found << address << refresh << after;
    };
    const QByteArray cam = camBlock("Cam", "h/c", "1"), two = camBlock("Two", "h/2", "2");
    row("empty", ""_ba, {}, u"Cam"_s, false, {}, {}, ""_ba);
    row("only line breaks", "\r\n\r\r\n\n\r\n"_ba, {}, {}, false, {}, {}, "\r\n\r\r\n\n\r\n"_ba);
    const QByteArray breaks(16 << 20, '\r');
    row("millions of line breaks", breaks + cam, {"Cam"}, u"Cam"_s, true, "h/c", "1",
        breaks + "\r\n\r\n\r\n\r\n");
    row("lone CR line ends", "[name]Two\rh/2\r2\r\r[name]Cam\rh/c\r1\r\r"_ba, {"Cam", "Two"}, u"Two"_s, true,
        "h/2", "2", "\r\r\r[name]Cam\rh/c\r1\r\r\r\n"_ba);
    // One line: both markers go from the one name shown, which no block has.
    const QByteArray lf = "[name]Two\nh/2\n2\n\n[name]Cam\nh/c\n1\n"_ba;
    row("lone LF line ends", lf, {u"Two\nh/2\n2\n\nCam\nh/c\n1\n"_s}, u"Two\nh/2\n2\n\nCam\nh/c\n1\n"_s,
        false, {}, {}, lf);
    row("marker and name at the end", cam + "[name]End", {"Cam", "End"}, u"End"_s, true, {}, {},
        cam + "\r\n\r\n");
    row("marker alone at the end", cam + "[name]", {"", "Cam"}, {}, false, {}, {}, cam + "[name]");
    // A block that lacks lines ends where the next one starts, which its removal leaves whole.
    row("block cut short", "[name]Cut\r\nh/x\r\n" + cam, {"Cam", "Cut"}, u"Cut"_s, true, "h/x", {},
        "\r\n" + cam + "\r\n");
    // A name too long to lay out is shown cut; the item keeps it whole for the lookup.
    const QByteArray longName(3 << 20, 'n'), longAddress = "h/" + QByteArray(3 << 20, 'a');
    const QByteArray longJunk(2 << 20, 'x');
    const QString longShown = QString(CamListItem::kShownNameLength, u'n') + u'\u2026';
    row("very long lines", cam + camBlock(longName, longAddress, "9") + longJunk + "\r\n", {"Cam", longShown},
        longShown, true, longAddress, "9", cam + "\r\n\r\n\r\n" + longJunk + "\r\n\r\n");
    // A NUL neither ends a name nor makes a marker.
    row("NUL bytes", camBlock("Ca\0m"_ba, "h/\0"_ba, "1\0"_ba) + "[na\0me]Ca\r\n"_ba + two,
        {u"Ca\0m"_s, "Two"}, u"Ca\0m"_s, true, "h/\0"_ba, "1\0"_ba,
        "\r\n\r\n\r\n[na\0me]Ca\r\n"_ba + two + "\r\n");
    // Caf\xe9 is not UTF-8 and shows a replacement character; Caf\xc3\xa9 shows as Caf\u00e9.
    const QByteArray cafe = camBlock("Caf\xc3\xa9", "h/\xc3\xa9", "3");
    row("8-bit bytes", cafe + camBlock("Caf\xe9", "h/\xff", "\x80") + cam,
        {u"Caf\u00e9"_s, u"Caf\ufffd"_s, "Cam"}, u"Caf\ufffd"_s, true, "h/\xff", "\x80",
        cafe + "\r\n\r\n\r\n" + cam + "\r\n");
    row("byte-order mark", "\xef\xbb\xbf" + cam + two, {"Cam", "Two"}, u"Cam"_s, true, "h/c", "1",
        "\xef\xbb\xbf\r\n\r\n\r\n" + two + "\r\n");
    QByteArray many = "\r\n", manyAfter = "\r\n";
    QStringList manyShown;
    constexpr int kMany = 10000;
    for (int n = 0; n < kMany; ++n) {
        const QByteArray name = "Cam " + QByteArray::number(n).rightJustified(5, '0');
        const QByteArray block = camBlock(name, "h/" + name, QByteArray::number(n));
        many += block;
        manyAfter += n == kMany - 1 ? "\r\n\r\n\r\n"_ba : block;
        manyShown << QString::fromLatin1(name);
    }
    row("ten thousand entries", many, manyShown, u"Cam 09999"_s, true, "h/Cam 09999", "9999",
        manyAfter + "\r\n");
    // The first block of a name is the one found and removed, even where a later one is the same.
    row("duplicates", cam + two + cam, {"Cam", "Cam", "Two"}, u"Cam"_s, true, "h/c", "1",
        "\r\n\r\n\r\n" + two + cam + "\r\n");
}

void TestCamListFile::brokenFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, shown);
    QFETCH(QString, selected);
    QFETCH(bool, found);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, refresh);
    QFETCH(QByteArray, after);
    writeFile(camListPath(), bytes);
    const qint64 peakBefore = peakResident();
    QWidget window;
    QListWidget List1(&window);
    List1.setSortingEnabled(true);
    FillCamList(&List1, &window);
    QCOMPARE(texts(List1), shown);

    List1.setCurrentItem(List1.findItems(selected, Qt::MatchExactly).value(0));
    CameraEntry holder;
    QCOMPARE(FindCamEntry(CamListItem::selectedName(&List1), holder), found);
    QCOMPARE(holder.address, address);
    QCOMPARE(holder.refresh, refresh);
    QVERIFY(RemoveCamEntry(holder));
    QCOMPARE(readFile(camListPath()), after);
    // Reading, looking up and rewriting take a few times the file's size at most.
    constexpr qint64 kMemoryPerFileByte = 16, kMemorySlack = 32 << 20;
    QCOMPARE_LE(peakResident() - peakBefore, kMemoryPerFileByte * bytes.size() + kMemorySlack);
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
