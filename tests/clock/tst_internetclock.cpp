#include "clock/daytimereply.h"
#include "clock/internetclock.h"
#include "support/daytimeserver.h"

#include <QtTest>

#include <memory>

// The clock against a loopback Daytime server, with the monotonic clock in the test's hands.
class TestInternetClock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void oneQueryEveryFourSecondsLabelMovesBetween();
    void failedQueries();
    void slowAnswerIsNotReplacedBeforeItsTime();
    void onlyTheLaterOfTwoRunningQueriesShows();

private:
    static QString label(int h, int m, int s)
    {
        return DaytimeLabelText(QDateTime(QDate(2023, 6, 15), QTime(h, m, s), Qt::UTC));
    }
    QTcpSocket *runningQuery() const
    {
        return m_clock->findChild<QTcpSocket *>(QStringLiteral("objWinsock"));
    }
    void tick(qint64 atMs)
    {
        m_now = atMs;
        m_clock->StartTimeQuery();
    }

    qint64 m_now = 0;
    std::unique_ptr<DaytimeServer> m_server;
    std::unique_ptr<InternetClock> m_clock;
};

void TestInternetClock::init()
{
    m_now = 0;
    m_server = std::make_unique<DaytimeServer>();
    QVERIFY(m_server->listening());
    m_clock = std::make_unique<InternetClock>();
    m_clock->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    m_clock->setMonotonicClock([this] { return m_now; });
}

void TestInternetClock::oneQueryEveryFourSecondsLabelMovesBetween()
{
    QSignalSpy changed(m_clock.get(), &InternetClock::lblTimeChanged);
    tick(0);
    QTRY_COMPARE(m_clock->lblTime(), label(12, 34, 56));
    for (int second = 1; second <= 3; ++second) {
        tick(second * 1000);
        QCOMPARE(m_clock->lblTime(), label(12, 34, 56 + second));
        QVERIFY(runningQuery() == nullptr);
    }
    m_server->reply = "60110 23-06-15 12:40:00 50 0 0 722.3 UTC(NIST) *\r\n";
    tick(4000);
    QCOMPARE(m_clock->lblTime(), label(12, 35, 0)); // moved on before the new reply
    QTRY_COMPARE(m_clock->lblTime(), label(12, 40, 0));
    tick(4500); // half a second on: the same text, no change reported
    QCOMPARE(changed.count(), 6);
    QCOMPARE(m_server->connections.size(), 2);
}

// Refused on the first query, garbage after a reply: the label keeps its text, moved on by four seconds.
void TestInternetClock::failedQueries()
{
    m_server->refuse();
    tick(0);
    QTRY_VERIFY(runningQuery() == nullptr);
    QCOMPARE(m_clock->lblTime(), QString());
    init();
    tick(0);
    QTRY_COMPARE(m_clock->lblTime(), label(12, 34, 56));
    m_server->reply = "\x01\xff garbage 99:99:99\n";
    QSignalSpy changed(m_clock.get(), &InternetClock::lblTimeChanged);
    tick(4000);
    QTRY_VERIFY(runningQuery() == nullptr);
    QCOMPARE(m_clock->lblTime(), label(12, 35, 0));
    QCOMPARE(changed.count(), 1);
}

void TestInternetClock::slowAnswerIsNotReplacedBeforeItsTime()
{
    m_server->hold = true;
    tick(0);
    QTRY_COMPARE(m_server->connections.size(), 1);
    for (int second = 1; second <= 3; ++second)
        tick(second * 1000);
    m_server->send(0, m_server->reply);
    QTRY_COMPARE(m_clock->lblTime(), label(12, 34, 56));
    QCOMPARE(m_server->connections.size(), 1);
}

void TestInternetClock::onlyTheLaterOfTwoRunningQueriesShows()
{
    m_server->hold = true;
    QSignalSpy changed(m_clock.get(), &InternetClock::lblTimeChanged);
    tick(0);
    QTRY_COMPARE(m_server->connections.size(), 1);
    tick(4000); // the first has not been answered yet
    QTRY_COMPARE(m_server->connections.size(), 2);
    QTRY_COMPARE(m_server->connections.at(0)->state(), QAbstractSocket::UnconnectedState);
    m_server->send(0, "60110 23-06-15 12:00:01 50 0 0 722.3 UTC(NIST) *\n");
    m_server->send(1, "60110 23-06-15 12:00:02 50 0 0 722.3 UTC(NIST) *\n");
    QTRY_COMPARE(m_clock->lblTime(), label(12, 0, 2));
    QTRY_VERIFY(runningQuery() == nullptr);
    QCOMPARE(changed.count(), 1);
}

QTEST_GUILESS_MAIN(TestInternetClock)
#include "tst_internetclock.moc"
