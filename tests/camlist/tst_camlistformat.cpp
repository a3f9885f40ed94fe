#include "camlist/camlistformat.h"

#include <QtTest>

class TestCamListFormat : public QObject
{
    Q_OBJECT

private slots:
    void listAndLookup_data();
    void listAndLookup();
    void appendedBlock_data();
    void appendedBlock();
    void removal_data();
    void removal();
};

// The list test (the marker in any letter case, anywhere in any line) against the lookup (the
// exact line). Listed: "count:names joined by ,"; found: "marker line:name|address|refresh".
void TestCamListFormat::listAndLookup_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found");

    const QByteArray cams(
        "\r\n[name]Cam 2\r\nhttp://h/2.jpg\r\n20\r\n\r\n[name]Cam\r\nhttp://h/1.jpg\r\n10\r\n\r\n");
    QTest::newRow("exact name") << cams << "2:Cam 2,Cam"
                                << "Cam"
                                << "5:Cam|http://h/1.jpg|10";
    QTest::newRow("cam is not Cam") << cams << "2:Cam 2,Cam"
                                    << "cam"
                                    << "-1:||";
    QTest::newRow("Cam is not Cam 2") << QByteArray("[name]Cam 2\r\na\r\n1\r\n") << "1:Cam 2"
                                      << "Cam"
                                      << "-1:||";
    QTest::newRow("capital marker") << QByteArray("[NAME]Garden\r\nx\r\n5\r\n") << "1:Garden"
                                    << "Garden"
                                    << "-1:||";
    QTest::newRow("duplicates") << QByteArray("[name]Cam\r\nA\r\n1\r\n[name]Cam\r\nB\r\n2") << "2:Cam,Cam"
                                << "Cam"
                                << "0:Cam|A|1";
    QTest::newRow("spaces kept") << QByteArray("[name] Cam \r\nx\r\n5\r\n") << "1: Cam "
                                 << " Cam "
                                 << "0: Cam |x|5";
    QTest::newRow("marker alone: listed, not looked up") << QByteArray("[name]\r\nx\r\n5\r\n") << "1:"
                                                         << ""
                                                         << "-1:||";
    QTest::newRow("two markers") << QByteArray("ab[Name]cd[nAME]ef\r\n") << "1:abcdef"
                                 << "abcdef"
                                 << "-1:||";
    QTest::newRow("one pass only") << QByteArray("[na[name]me]\r\n") << "1:[name]"
                                   << "[name]"
                                   << "-1:||";
    QTest::newRow("incomplete marker") << QByteArray("[name\r\nname]\r\n[nam e]\r\n") << "0:"
                                       << ""
                                       << "-1:||";
    QTest::newRow("address line as marker") << QByteArray("[name]A\r\n[name]B\r\n5\r\n") << "2:A,B"
                                            << "B"
                                            << "1:B|5|";
    QTest::newRow("refresh missing") << QByteArray("[name]Cam\r\nh/x.jpg") << "1:Cam"
                                     << "Cam"
                                     << "0:Cam|h/x.jpg|";
    QTest::newRow("lone CR ends a line, lone LF does not") << QByteArray("[name]a\nb\rx\ry") << "1:a\nb"
                                                           << "a\nb"
                                                           << "0:a\nb|x|y";
    QTest::newRow("8-bit text") << QByteArray("[name]Caf\xc3\xa9\r\nx\r\n5") << QStringLiteral("1:Café")
                                << QStringLiteral("Café") << QStringLiteral("0:Café|x|5");
}

void TestCamListFormat::listAndLookup()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, listed);
    QFETCH(QString, name);
    QFETCH(QString, found);
    const QStringList names = CamListNames(bytes);
    QCOMPARE(QString::number(names.size()) + QLatin1Char(':') + names.join(QLatin1Char(',')), listed);
    const CamEntryLookup lookup = LookupCamEntry(bytes, name);
    const CameraEntry &e = lookup.entry;
    QCOMPARE(QStringLiteral("%1:%2|%3|%4").arg(lookup.markerLine).arg(e.name, e.address, e.refresh), found);
    QCOMPARE(lookup.found, lookup.markerLine >= 0);
}

void TestCamListFormat::appendedBlock_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected"); // null: not writable
    QTest::newRow("spaces kept") << "   " << QByteArray("[name]   \r\n h/x \r\n30\r\n\r\n");
    QTest::newRow("8-bit text") << QStringLiteral("Café")
                                << QByteArray("[name]Caf\xc3\xa9\r\n h/x \r\n30\r\n\r\n");
    QTest::newRow("LF stays inside a line") << "a\nb" << QByteArray("[name]a\nb\r\n h/x \r\n30\r\n\r\n");
    QTest::newRow("CR in name would split it") << "a\rb" << QByteArray();
}

void TestCamListFormat::appendedBlock()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);
    const CameraEntry entry{name, QStringLiteral(" h/x "), QStringLiteral("30")};
    QCOMPARE(CamEntryIsWritable(entry), !expected.isNull());
    if (expected.isNull())
        return;
    QCOMPARE(CamEntryBlock(entry), expected);
    QCOMPARE(CamListNames(expected), QStringList{name}); // listed as stored
}

// Removing Cam: the block's marker and refresh lines become empty lines, one more ends the file.
void TestCamListFormat::removal_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("expected"); // null: nothing removed

    const QByteArray same("\r\nhttp://h/a.jpg\r\n30\r\n\r\n");
    QTest::newRow("others untouched") << "\r\n[name]Cam 2" + same + "[name]Cam" + same + "[name]Other" + same
                                      << "\r\n[name]Cam 2" + same + "\r\n\r\n\r\n[name]Other" + same + "\r\n";
    QTest::newRow("duplicates") << QByteArray("[name]Cam\r\nA\r\n1\r\n[name]Cam\r\nB\r\n2\r\n")
                                << QByteArray("\r\n\r\n[name]Cam\r\nB\r\n2\r\n\r\n");
    QTest::newRow("bytes outside the encoding kept")
        << QByteArray("[name]\xff\xfe"
                      "cam\r\nh/\x80\x81.jpg\r\n9\xc3\r\n\r\n[name]Cam\r\nx\r\n1\r\n\r\ntail\xc0\r\n")
        << QByteArray("[name]\xff\xfe"
                      "cam\r\nh/\x80\x81.jpg\r\n9\xc3\r\n\r\n\r\n\r\n\r\ntail\xc0\r\n\r\n");
    QTest::newRow("each line keeps its own break")
        << QByteArray("b\n\r\n[name]Cam\r\nx\r1\rz\r") << QByteArray("b\n\r\n\r\n\rz\r\r\n");
    QTest::newRow("no end break") << QByteArray("[name]Cam\r\nx\r\n1\r\nlast")
                                  << QByteArray("\r\n\r\nlast\r\n\r\n");
    QTest::newRow("truncated: marker last") << QByteArray("x\r\n[name]Cam") << QByteArray("x\r\n\r\n\r\n");
    QTest::newRow("truncated: refresh unbroken")
        << QByteArray("x\r\n[name]Cam\r\nh\r\n30") << QByteArray("x\r\n\r\n\r\n\r\n");
    QTest::newRow("lookup rules: case") << QByteArray("[name]cam\r\nx\r\n1\r\n") << QByteArray();
}

void TestCamListFormat::removal()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, expected);
    const CamEntryRemoval removal = RemoveCamEntryBytes(bytes, QStringLiteral("Cam"));
    QCOMPARE(removal.removed, !expected.isNull());
    QCOMPARE(removal.bytes, expected);
}

QTEST_GUILESS_MAIN(TestCamListFormat)
#include "tst_camlistformat.moc"
