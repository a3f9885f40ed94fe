#include "camlist/camlistformat.h"

#include <QtTest>

// The byte rules the file-level tests and the fuzz target do not pin down row by row.
class TestCamListFormat : public QObject
{
    Q_OBJECT

private slots:
    void listedNames();
    void lookup_data();
    void lookup();
    void appendBytes();
    void removal_data();
    void removal();
    void credentials_data();
    void credentials();
};

// The marker in any letter case, anywhere in any line, every occurrence removed in one pass.
void TestCamListFormat::listedNames()
{
    QCOMPARE(camListNames("[NAME]Garden\r\nab[Name]cd[nAME]ef\r\n[na[name]me]\r\n[nam e]\r\n"),
             (QByteArrayList{"Garden", "abcdef", "[name]"}));
}

// A capital marker lists a name but is no block; an address line can be a marker. (The fuzz
// target checks that a name found is the one asked for, byte for byte.)
void TestCamListFormat::lookup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("address"); // null: not found
    QTest::addColumn<QByteArray>("refresh");
    QTest::newRow("capital marker") << QByteArray("[NAME]Garden\r\nx\r\n5\r\n") << QByteArray("Garden")
                                    << QByteArray() << QByteArray();
    QTest::newRow("address line as marker")
        << QByteArray("[name]A\r\n[name]B\r\n5\r\n") << QByteArray("B") << QByteArray("5") << QByteArray("");
}

void TestCamListFormat::lookup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, address);
    const CamEntryLookup lookup = lookupCamEntry(bytes, name);
    QCOMPARE(lookup.found, !address.isNull());
    QCOMPARE(lookup.entry.address, address.isNull() ? QByteArray("") : address);
    QTEST(lookup.entry.refresh.isNull() ? QByteArray("") : lookup.entry.refresh, "refresh");
}

void TestCamListFormat::appendBytes()
{
    const CameraEntry entry{"Cam", " h/x ", "30"};
    const QByteArray block("[name]Cam\r\n h/x \r\n30\r\n\r\n");
    QCOMPARE(camEntryAppendBytes("x\r", entry), block);
    QCOMPARE(camEntryAppendBytes("0\n", entry), "\r\n" + block); // a lone LF ends no line
    QVERIFY(!camEntryIsWritable({"a\rb", " h/x ", "30"}));
}

// Removing Cam: its marker and refresh lines become empty lines, one more ends the file.
void TestCamListFormat::removal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected"); // null: nothing removed
    QTest::newRow("each line keeps its own break")
        << QByteArray("b\n\r\n[name]Cam\r\nx\r1\rz\r") << QByteArray("b\n\r\n\r\n\rz\r\r\n");
    QTest::newRow("no end break") << QByteArray("[name]Cam\r\nx\r\n1\r\nlast")
                                  << QByteArray("\r\n\r\nlast\r\n\r\n");
    QTest::newRow("truncated: refresh unbroken")
        << QByteArray("x\r\n[name]Cam\r\nh\r\n30") << QByteArray("x\r\n\r\n\r\n\r\n");
}

void TestCamListFormat::removal()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    const CamEntryRemoval removal = removeCamEntryBytes(bytes, "Cam");
    QCOMPARE(removal.removed, !expected.isNull());
    QCOMPARE(removal.bytes, expected);
}

// Only a block's address line counts, and only what comes before its host.
void TestCamListFormat::credentials_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("holds");
    QTest::newRow("user name alone, no prefix") << QByteArray("[name]A\r\nann@cam/p.jpg\r\n5\r\n") << true;
    QTest::newRow("another scheme, no path") << QByteArray("[NAME]A\r\nftp://u:p@cam\r\n5") << true;
    QTest::newRow("@ in the path") << QByteArray("[name]A\r\nhttp://cam/a@b.jpg\r\n5\r\n") << false;
    QTest::newRow("@ in a name or a refresh")
        << QByteArray("[name]ann@home\r\nhttp://cam/p.jpg\r\n@5\r\n") << false;
    QTest::newRow("a line outside any block") << QByteArray("http://u:p@cam/p.jpg\r\n") << false;
}

void TestCamListFormat::credentials()
{
    QFETCH(QByteArray, bytes);
    QTEST(camListHoldsCredentials(bytes), "holds");
}

QTEST_GUILESS_MAIN(TestCamListFormat)
#include "tst_camlistformat.moc"
