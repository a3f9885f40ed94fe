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
    void labelShowsWholeSeconds();
};

using Status = DaytimeReply::Status;
Q_DECLARE_METATYPE(DaytimeReply::Status)

static QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

void TestDaytimeReply::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QDateTime>("time"); // when Ok; the fuzz target checks the years and short lines
    QTest::newRow("line feeds around") << QByteArray("\n58000 17-09-04 13:05:09 50 0 0 150.0 UTC(NIST) * \n")
                                       << Status::Ok << utc(2017, 9, 4, 13, 5, 9);
    for (const char *text : {"58000  17-09-04 13:05:09", "58000 23-02-29 13:05:09", "58000 17-09-04 13:05:0"})
        QTest::addRow("bad: \"%s\"", text) << QByteArray(text) << Status::Bad << QDateTime();
}

void TestDaytimeReply::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(Status, status);
    const DaytimeReply reply = ParseDaytimeReply(text);
    QCOMPARE(reply.status, status);
    if (status == Status::Ok)
        QTEST(reply.utc, "time");
}

void TestDaytimeReply::labelShowsWholeSeconds()
{
    // A time moved on between replies carries milliseconds; midnight shows the date alone.
    QCOMPARE(DaytimeLabelText(utc(2017, 9, 4, 0, 0, 0, 400)), ShortDateText(QDate(2017, 9, 4)) + " GMT");
}

QTEST_GUILESS_MAIN(TestDaytimeReply)
#include "tst_daytimereply.moc"
