#include "camlistformat.h"

#include <QtTest>

class TestCamListFormat : public QObject
{
    Q_OBJECT

private slots:
    void splitLines_data();
    void splitLines();

    void listedNames_data();
    void listedNames();

    void lookup_data();
    void lookup();

    void appendedBlock_data();
    void appendedBlock();

    void removal_data();
    void removal();
};

// Expected lines as "text" + "|" + break length, e.g. "abc|2".
void TestCamListFormat::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArrayList>("expected");

    QTest::newRow("empty file has no line") << QByteArray() << QByteArrayList{};
    QTest::newRow("fresh file is one empty line") << QByteArray("\r\n") << QByteArrayList{"|2"};
    QTest::newRow("last line without break") << QByteArray("a\r\nb") << QByteArrayList{"a|2", "b|0"};
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r\n") << QByteArrayList{"a|1", "b|2"};
    QTest::newRow("lone LF belongs to the line") << QByteArray("a\nb\r\n") << QByteArrayList{"a\nb|2"};
    QTest::newRow("CR before CR LF") << QByteArray("\r\r\n") << QByteArrayList{"|1", "|2"};
    QTest::newRow("LF CR is part then break") << QByteArray("x\n\ry") << QByteArrayList{"x\n|1", "y|0"};
    QTest::newRow("trailing lone CR") << QByteArray("a\r") << QByteArrayList{"a|1"};
}

void TestCamListFormat::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArrayList, expected);

    QByteArrayList actual;
    qsizetype covered = 0;
    for (const CamListLine &line : SplitCamListLines(bytes)) {
        QCOMPARE(line.start, covered);
        actual.append(bytes.mid(line.start, line.length) + '|' + QByteArray::number(line.breakLength));
        covered = line.start + line.length + line.breakLength;
    }
    QCOMPARE(actual, expected);
    QCOMPARE(covered, bytes.size());
}

void TestCamListFormat::listedNames_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("fresh file") << QByteArray("\r\n") << QStringList{};
    QTest::newRow("capital marker is listed") << QByteArray("[NAME]Garden\r\nx\r\n5\r\n")
                                              << QStringList{"Garden"};
    QTest::newRow("two markers in other cases inside text")
        << QByteArray("ab[Name]cd[nAME]ef\r\n") << QStringList{"abcdef"};
    QTest::newRow("one pass only") << QByteArray("[na[name]me]\r\n") << QStringList{"[name]"};
    QTest::newRow("marker alone is an empty item") << QByteArray("[name]\r\n") << QStringList{""};
    QTest::newRow("marker text in address and refresh lines")
        << QByteArray("[name]A\r\nhttp://h/[name].jpg\r\n[NAME]\r\n\r\n")
        << QStringList{"A", "http://h/.jpg", ""};
    QTest::newRow("incomplete marker is no marker") << QByteArray("[name\r\nname]\r\n[nam e]\r\n")
                                                    << QStringList{};
    QTest::newRow("lone LF stays in the name") << QByteArray("[name]a\nb\r\n") << QStringList{"a\nb"};
    QTest::newRow("lone CR splits") << QByteArray("[name]a\r[name]b") << QStringList{"a", "b"};
    QTest::newRow("8-bit text decoded") << QByteArray("[name]Caf\xc3\xa9\r\n") << QStringList{QStringLiteral("Café")};
}

void TestCamListFormat::listedNames()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(CamListNames(bytes), expected);
}

void TestCamListFormat::lookup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("refresh");
    QTest::addColumn<int>("markerLine");

    const QByteArray camAndCam2("\r\n[name]Cam 2\r\nhttp://127.0.0.1:9/2.jpg\r\n20\r\n\r\n"
                                "[name]Cam\r\nhttp://127.0.0.1:9/1.jpg\r\n10\r\n\r\n");
    QTest::newRow("exact name") << camAndCam2 << "Cam" << true << "http://127.0.0.1:9/1.jpg" << "10" << 5;
    QTest::newRow("longer name") << camAndCam2 << "Cam 2" << true << "http://127.0.0.1:9/2.jpg" << "20" << 1;
    QTest::newRow("cam is not Cam") << camAndCam2 << "cam" << false << "" << "" << -1;
    QTest::newRow("Cam is not Cam 2") << QByteArray("[name]Cam 2\r\na\r\n1\r\n") << "Cam" << false << "" << ""
                                      << -1;
    QTest::newRow("capital marker not looked up") << QByteArray("[NAME]Garden\r\nx\r\n5\r\n") << "Garden" << false
                                                  << "" << "" << -1;
    QTest::newRow("marker must start the line") << QByteArray(" [name]Cam\r\nx\r\n5\r\n") << "Cam" << false << ""
                                                << "" << -1;
    QTest::newRow("first of duplicates")
        << QByteArray("[name]Cam\r\nfirst\r\n1\r\n\r\n[name]Cam\r\nsecond\r\n2\r\n\r\n") << "Cam" << true << "first"
        << "1" << 0;
    QTest::newRow("spaces are part of the name") << QByteArray("[name] Cam \r\nx\r\n5\r\n") << " Cam " << true << "x"
                                                 << "5" << 0;
    QTest::newRow("empty name never looked up") << QByteArray("[name]\r\nx\r\n5\r\n") << "" << false << "" << ""
                                                << -1;
    QTest::newRow("marker is last line") << QByteArray("\r\n[name]Cam") << "Cam" << true << "" << "" << 1;
    QTest::newRow("refresh missing") << QByteArray("[name]Cam\r\nhttp://h/x.jpg") << "Cam" << true
                                     << "http://h/x.jpg" << "" << 0;
    QTest::newRow("lone CR breaks") << QByteArray("[name]Cam\rhttp://h/x.jpg\r45") << "Cam" << true
                                    << "http://h/x.jpg" << "45" << 0;
    QTest::newRow("lone LF in address") << QByteArray("[name]Cam\r\nhttp://h/\nx.jpg\r\n45\r\n") << "Cam" << true
                                        << "http://h/\nx.jpg" << "45" << 0;
    QTest::newRow("8-bit name") << QByteArray("[name]Caf\xc3\xa9\r\nx\r\n5\r\n") << QStringLiteral("Café") << true << "x"
                                << "5" << 0;
    QTest::newRow("address line read as marker") << QByteArray("[name]A\r\n[name]B\r\n5\r\n\r\n") << "B" << true
                                                 << "5" << "" << 1;
}

void TestCamListFormat::lookup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(bool, found);
    QFETCH(QString, address);
    QFETCH(QString, refresh);
    QFETCH(int, markerLine);

    const CamEntryLookup lookup = LookupCamEntry(bytes, name);
    QCOMPARE(lookup.found, found);
    QCOMPARE(lookup.markerLine, qsizetype(markerLine));
    if (found) {
        QCOMPARE(lookup.entry.name, name);
        QCOMPARE(lookup.entry.address, address);
        QCOMPARE(lookup.entry.refresh, refresh);
    } else {
        QVERIFY(lookup.entry.name.isEmpty() && lookup.entry.address.isEmpty() && lookup.entry.refresh.isEmpty());
    }
}

void TestCamListFormat::appendedBlock_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("refresh");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("writable");

    QTest::newRow("plain") << "A" << "X" << "30" << QByteArray("[name]A\r\nX\r\n30\r\n\r\n") << true;
    QTest::newRow("spaces only, kept") << "   " << " h/x " << "  " << QByteArray("[name]   \r\n h/x \r\n  \r\n\r\n")
                                       << true;
    QTest::newRow("8-bit text") << QStringLiteral("Café") << "x" << "5" << QByteArray("[name]Caf\xc3\xa9\r\nx\r\n5\r\n\r\n")
                                << true;
    QTest::newRow("LF stays inside a line") << "a\nb" << "x" << "5" << QByteArray("[name]a\nb\r\nx\r\n5\r\n\r\n")
                                            << true;
    QTest::newRow("CR in name would split it") << "a\rb" << "x" << "5" << QByteArray() << false;
}

void TestCamListFormat::appendedBlock()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, refresh);
    QFETCH(QByteArray, expected);
    QFETCH(bool, writable);

    const CameraEntry entry{name, address, refresh};
    QCOMPARE(CamEntryIsWritable(entry), writable);
    if (!writable)
        return;
    QCOMPARE(CamEntryBlock(entry), expected);
    // What is written is read back unchanged.
    const CamEntryLookup lookup = LookupCamEntry(QByteArray("\r\n") + expected, name);
    QVERIFY(lookup.found);
    QCOMPARE(lookup.entry.address, address);
    QCOMPARE(lookup.entry.refresh, refresh);
    QCOMPARE(CamListNames(expected), QStringList{name});
}

void TestCamListFormat::removal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("others untouched")
        << QByteArray("\r\n[name]Cam 2\r\nhttp://127.0.0.1:9/a.jpg\r\n30\r\n\r\n"
                      "[name]Cam\r\nhttp://127.0.0.1:9/a.jpg\r\n30\r\n\r\n"
                      "[name]Other\r\nhttp://127.0.0.1:9/a.jpg\r\n30\r\n\r\n")
        << "Cam" << true
        << QByteArray("\r\n[name]Cam 2\r\nhttp://127.0.0.1:9/a.jpg\r\n30\r\n\r\n"
                      "\r\n\r\n\r\n"
                      "[name]Other\r\nhttp://127.0.0.1:9/a.jpg\r\n30\r\n\r\n"
                      "\r\n");
    QTest::newRow("first of duplicates")
        << QByteArray("[name]Cam\r\nfirst\r\n1\r\n\r\n[name]Cam\r\nsecond\r\n2\r\n\r\n") << "Cam" << true
        << QByteArray("\r\n\r\n\r\n[name]Cam\r\nsecond\r\n2\r\n\r\n\r\n");
    QTest::newRow("bytes outside the encoding kept")
        << QByteArray("[name]\xff\xfe" "cam\r\nhttp://h/\x80\x81.jpg\r\n9\xc3\r\n\r\n[name]Cam\r\nx\r\n1\r\n\r\n"
                      "tail\xc0\r\n")
        << "Cam" << true
        << QByteArray("[name]\xff\xfe" "cam\r\nhttp://h/\x80\x81.jpg\r\n9\xc3\r\n\r\n\r\n\r\n\r\ntail\xc0\r\n\r\n");
    QTest::newRow("other line breaks kept")
        << QByteArray("a\rb\nc\r\n[name]Cam\r\nx\r\n1\r\n\r\nz\r") << "Cam" << true
        << QByteArray("a\rb\nc\r\n\r\n\r\n\r\nz\r\r\n");
    QTest::newRow("block with lone CR breaks") << QByteArray("[name]Cam\rx\r1\rz\r\n") << "Cam" << true
                                               << QByteArray("\r\rz\r\n\r\n");
    QTest::newRow("no break at the end") << QByteArray("[name]Cam\r\nx\r\n1\r\n\r\nlast") << "Cam" << true
                                         << QByteArray("\r\n\r\n\r\nlast\r\n\r\n");
    QTest::newRow("truncated: marker last") << QByteArray("x\r\n[name]Cam") << "Cam" << true
                                            << QByteArray("x\r\n\r\n\r\n");
    QTest::newRow("truncated: refresh missing") << QByteArray("x\r\n[name]Cam\r\nhttp://h/a.jpg") << "Cam" << true
                                                << QByteArray("x\r\n\r\n\r\n");
    QTest::newRow("truncated: refresh without break") << QByteArray("x\r\n[name]Cam\r\nhttp://h/a.jpg\r\n30")
                                                      << "Cam" << true << QByteArray("x\r\n\r\n\r\n\r\n");
    QTest::newRow("lookup rules: case") << QByteArray("[name]cam\r\nx\r\n1\r\n") << "Cam" << false << QByteArray();
    QTest::newRow("empty name") << QByteArray("[name]\r\nx\r\n1\r\n") << "" << false << QByteArray();
}

void TestCamListFormat::removal()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QFETCH(QByteArray, expected);

    const CamEntryRemoval removal = RemoveCamEntryBytes(bytes, name);
    QCOMPARE(removal.removed, removed);
    QCOMPARE(removal.bytes, expected);
}

QTEST_GUILESS_MAIN(TestCamListFormat)
#include "tst_camlistformat.moc"
