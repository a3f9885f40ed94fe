#include "camlist/camlistformat.h"

#include <QtTest>

class TestCamListFormat : public QObject
{
    Q_OBJECT

private slots:
    void listedNames_data();
    void listedNames();
    void lookup_data();
    void lookup();
    void appendBytes_data();
    void appendBytes();
    void removal_data();
    void removal();
};

// The list test: the marker in any letter case, anywhere in any line, every occurrence removed.
void TestCamListFormat::listedNames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArrayList>("names");
    QTest::newRow("any case, anywhere")
        << QByteArray("[NAME]Garden\r\nab[Name]cd[nAME]ef\r\n") << QByteArrayList{"Garden", "abcdef"};
    QTest::newRow("one pass only") << QByteArray("[na[name]me]\r\n") << QByteArrayList{"[name]"};
    QTest::newRow("incomplete markers")
        << QByteArray("[name\r\nname]\r\n[nam e]\r\n\r\n") << QByteArrayList{};
    QTest::newRow("lone CR ends a line, lone LF does not")
        << QByteArray("[name]a\nb\rx\r[name]y") << QByteArrayList{"a\nb", "y"};
    QTest::newRow("spaces and bytes kept")
        << QByteArray("[name] Caf\xe9 \r\n") << QByteArrayList{" Caf\xe9 "};
}

void TestCamListFormat::listedNames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArrayList, names);
    QCOMPARE(camListNames(bytes), names);
}

// The lookup test: the line is exactly the marker and the name, byte for byte.
void TestCamListFormat::lookup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("address");
    QTest::addColumn<QByteArray>("refresh");

    const auto row = [](const char *tag, const QByteArray &bytes, const char *name, bool found,
                        const char *address, const char *refresh) {
        QTest::newRow(tag) << bytes << QByteArray(name) << found << QByteArray(address)
                           << QByteArray(refresh);
    };
    const QByteArray cams("\r\n[name]Cam 2\r\nh/2.jpg\r\n20\r\n\r\n[name]Cam\r\nh/1.jpg\r\n10\r\n\r\n");
    row("exact name", cams, "Cam", true, "h/1.jpg", "10");
    row("cam is not Cam", cams, "cam", false, "", "");
    row("Cam 2 is not Cam", "[name]Cam 2\r\na\r\n1\r\n", "Cam", false, "", "");
    row("capital marker", "[NAME]Garden\r\nx\r\n5\r\n", "Garden", false, "", "");
    row("first of two", "[name]Cam\r\nA\r\n1\r\n[name]Cam\r\nB\r\n2", "Cam", true, "A", "1");
    row("address line as marker", "[name]A\r\n[name]B\r\n5\r\n", "B", true, "5", "");
    row("lone CR ends a line, lone LF does not", "[name]a\nb\rx\ry", "a\nb", true, "x", "y");
    row("bytes outside the encoding", "[name]Caf\xe9\r\nh/\xff\r\n9", "Caf\xe9", true, "h/\xff", "9");
}

void TestCamListFormat::lookup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, name);
    QFETCH(bool, found);
    QFETCH(QByteArray, address);
    QFETCH(QByteArray, refresh);
    const CamEntryLookup lookup = lookupCamEntry(bytes, name);
    QCOMPARE(lookup.found, found);
    QCOMPARE(lookup.entry.address, address);
    QCOMPARE(lookup.entry.refresh, refresh);
}

// Appending Cam (address " h/x ", refresh 30) after a file that ends in fileEnd.
void TestCamListFormat::appendBytes_data()
{
    QTest::addColumn<QByteArray>("fileEnd");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected"); // null: not writable

    const QByteArray block("[name]Cam\r\n h/x \r\n30\r\n\r\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("Cam") << block;
    QTest::newRow("after a lone CR") << QByteArray("x\r") << QByteArray("Cam") << block;
    QTest::newRow("last line without break") << QByteArray("10") << QByteArray("Cam") << "\r\n" + block;
    QTest::newRow("last line ending in a lone LF")
        << QByteArray("0\n") << QByteArray("Cam") << "\r\n" + block;
    QTest::newRow("LF stays inside the name")
        << QByteArray() << QByteArray("a\nb") << QByteArray("[name]a\nb\r\n h/x \r\n30\r\n\r\n");
    QTest::newRow("CR in the name") << QByteArray() << QByteArray("a\rb") << QByteArray();
}

void TestCamListFormat::appendBytes()
{
    QFETCH(QByteArray, fileEnd);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    const CameraEntry entry{name, " h/x ", "30"};
    QCOMPARE(camEntryIsWritable(entry), !expected.isNull());
    if (!expected.isNull())
        QCOMPARE(camEntryAppendBytes(fileEnd, entry), expected);
}

// Removing Cam: the block's marker and refresh lines become empty lines, one more ends the file.
void TestCamListFormat::removal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected"); // null: nothing removed

    const QByteArray same("\r\nhttp://h/a.jpg\r\n30\r\n\r\n");
    QTest::newRow("others untouched") << "\r\n[name]Cam 2" + same + "[name]Cam" + same + "[name]Other" + same
                                      << "\r\n[name]Cam 2" + same + "\r\n\r\n\r\n[name]Other" + same + "\r\n";
    QTest::newRow("bytes outside the encoding kept")
        << QByteArray("[name]\xff\xfe"
                      "cam\r\nh/\x80\x81.jpg\r\n9\xc3\r\n\r\n[name]Cam\r\nx\r\n1\r\n\r\ntail\xc0\r\n")
        << QByteArray("[name]\xff\xfe"
                      "cam\r\nh/\x80\x81.jpg\r\n9\xc3\r\n\r\n\r\n\r\n\r\ntail\xc0\r\n\r\n");
    QTest::newRow("each line keeps its own break")
        << QByteArray("b\n\r\n[name]Cam\r\nx\r1\rz\r") << QByteArray("b\n\r\n\r\n\rz\r\r\n");
    QTest::newRow("no end break") << QByteArray("[name]Cam\r\nx\r\n1\r\nlast")
                                  << QByteArray("\r\n\r\nlast\r\n\r\n");
    QTest::newRow("truncated: refresh unbroken")
        << QByteArray("x\r\n[name]Cam\r\nh\r\n30") << QByteArray("x\r\n\r\n\r\n\r\n");
    QTest::newRow("lookup rules: case") << QByteArray("[name]cam\r\nx\r\n1\r\n") << QByteArray();
}

void TestCamListFormat::removal()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    const CamEntryRemoval removal = removeCamEntryBytes(bytes, "Cam");
    QCOMPARE(removal.removed, !expected.isNull());
    QCOMPARE(removal.bytes, expected);
}

QTEST_GUILESS_MAIN(TestCamListFormat)
#include "tst_camlistformat.moc"
