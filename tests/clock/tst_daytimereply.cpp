#include "clock/daytimereply.h"
#include "common/localtext.h"

#include <QtTest>

// Reading one Daytime reply line, and the label text of a time.
class TestDaytimeReply : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void labelText_data();
    void labelText();
};

using Status = DaytimeReply::Status;
Q_DECLARE_METATYPE(DaytimeReply::Status)

void TestDaytimeReply::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QDateTime>("utc"); // when Ok

    const QDateTime sept4(QDate(2017, 9, 4), QTime(13, 5, 9), Qt::UTC);
    QTest::newRow("full line") << QByteArray("58000 17-09-04 13:05:09 50 0 0 150.0 UTC(NIST) * ")
                               << Status::Ok << sept4;
    QTest::newRow("line feeds around")
        << QByteArray("\n58000 17-09-04 13:05:09 50 0 0 150.0 UTC(NIST) * \n") << Status::Ok << sept4;
    QTest::newRow("CR LF after more fields")
        << QByteArray("58000 17-09-04 13:05:09 50 *\r\n") << Status::Ok << sept4;
    QTest::newRow("CR LF right after the time")
        << QByteArray("x 17-09-04 13:05:09\r\n") << Status::Ok << sept4;
    QTest::newRow("line feed inside a field joins it")
        << QByteArray("58000 17-09-\n04 13:05:\n09") << Status::Ok << sept4;
    QTest::newRow("midnight") << QByteArray("x 17-09-04 00:00:00 y") << Status::Ok
                              << QDateTime(QDate(2017, 9, 4), QTime(0, 0), Qt::UTC);
    QTest::newRow("year 30 is 2030") << QByteArray("x 30-01-01 00:00:01 y") << Status::Ok
                                     << QDateTime(QDate(2030, 1, 1), QTime(0, 0, 1), Qt::UTC);
    QTest::newRow("year 99 is 2099") << QByteArray("x 99-12-31 23:59:59 y") << Status::Ok
                                     << QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59), Qt::UTC);
    QTest::newRow("leap day") << QByteArray("x 24-02-29 12:00:00") << Status::Ok
                              << QDateTime(QDate(2024, 2, 29), QTime(12, 0), Qt::UTC);

    for (const char *text : {"", "\n", "\r\n", "58000 17-09-04", "58000 17-09-04\r\n"})
        QTest::addRow("short: \"%s\"", text) << QByteArray(text) << Status::Incomplete << QDateTime();

    const char *const bad[] = {
        "this is garbage",
        "58000  17-09-04 13:05:09", // two blanks: field 1 is empty
        "58000 17/09/04 13:05:09",
        "58000 17-9-4 13:05:09",
        "58000 17-09-04x 13:05:09",
        "58000 17-13-04 13:05:09", // month 13
        "58000 23-02-29 13:05:09", // no leap day in 2023
        "58000 17-09-04 24:00:00",
        "58000 17-09-04 13:60:09",
        "58000 17-09-04 1:05:09",
        "58000 17-09-04 13:05:09.5",
        "58000 +7-09-04 13:05:09",
        "58000 17-09-04 13:05:0", // the first of two pieces of a split reply
        "5:09 50 0 0 150.0 UTC(NIST) * ", // the second
        "\xff\xfe \x80-\x81-\x82 \x01\x02",
    };
    for (const char *text : bad)
        QTest::addRow("bad: \"%s\"", text) << QByteArray(text) << Status::Bad << QDateTime();
}

void TestDaytimeReply::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(Status, status);
    QFETCH(QDateTime, utc);
    const DaytimeReply reply = ParseDaytimeReply(text);
    QCOMPARE(reply.status, status);
    if (status == Status::Ok) {
        QCOMPARE(reply.utc, utc);
        QCOMPARE(reply.utc.timeSpec(), Qt::UTC);
    }
}

void TestDaytimeReply::labelText_data()
{
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QString>("expected");
    const QDate date(2017, 9, 4);
    QTest::newRow("afternoon") << QDateTime(date, QTime(13, 5, 9), Qt::UTC)
                               << ShortDateText(date) + ' ' + LongTimeText(QTime(13, 5, 9)) + " GMT";
    QTest::newRow("midnight: the date alone")
        << QDateTime(date, QTime(0, 0), Qt::UTC) << ShortDateText(date) + " GMT";
    QTest::newRow("a second past midnight")
        << QDateTime(date, QTime(0, 0, 1), Qt::UTC)
        << ShortDateText(date) + ' ' + LongTimeText(QTime(0, 0, 1)) + " GMT";
    // Advanced times carry milliseconds; the label shows whole seconds.
    QTest::newRow("midnight and a fraction")
        << QDateTime(date, QTime(0, 0, 0, 400), Qt::UTC) << ShortDateText(date) + " GMT";
}

void TestDaytimeReply::labelText()
{
    QFETCH(QDateTime, utc);
    QTEST(DaytimeLabelText(utc), "expected");
}

QTEST_GUILESS_MAIN(TestDaytimeReply)
#include "tst_daytimereply.moc"
