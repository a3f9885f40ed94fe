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
    void secondsLastASecond_data();
    void secondsLastASecond();

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

void TestInternetClock::secondsLastASecond_data()
{
    QTest::addColumn<qint64>("tickPhaseMs"); // when in the second the detail slot ticks
    QTest::addColumn<qint64>("answerMs"); // how long a query takes to be answered
    QTest::addColumn<qint64>("serverAheadMs"); // how far the true time is ahead of the first reply
    QTest::newRow("answered at once") << qint64(200) << qint64(0) << qint64(400);
    QTest::newRow("answered after 150 ms") << qint64(200) << qint64(150) << qint64(400);
    QTest::newRow("answered after 900 ms") << qint64(900) << qint64(900) << qint64(50);
    QTest::newRow("true time nearly a second ahead") << qint64(500) << qint64(300) << qint64(990);
}

// The detail slot ticks once a second, each fourth tick a query, answered with the true second;
// timSecond comes at the monotonic moment it was set for.
void TestInternetClock::secondsLastASecond()
{
    QFETCH(qint64, tickPhaseMs);
    QFETCH(qint64, answerMs);
    QFETCH(qint64, serverAheadMs);
    constexpr qint64 kRunMs = 20000;
    const QDateTime first(QDate(2023, 6, 15), QTime(12, 34, 56), Qt::UTC);
    const auto trueSecond = [&](qint64 at) {
        return "60110 " +
            first.addMSecs(serverAheadMs + at - tickPhaseMs - answerMs)
                .toString("yy-MM-dd hh:mm:ss")
                .toLatin1() +
            " 50 0 0 722.3 UTC(NIST) *\n";
    };
    auto *timer = m_clock->findChild<QTimer *>(QStringLiteral("timSecond"));
    QVERIFY(timer != nullptr);
    QList<qint64> changedAt;
    QStringList texts;
    connect(m_clock.get(), &InternetClock::lblTimeChanged, this, [&](const QString &text) {
        changedAt.append(m_now);
        texts.append(text);
    });
    m_server->hold = true;
    qint64 nextTick = tickPhaseMs;
    qint64 answerAt = -1; // of the query under way
    const qint64 end = tickPhaseMs + answerMs + kRunMs;
    for (;;) {
        const qint64 due = timer->isActive() ? m_now + timer->interval() : -1;
        const qint64 next = std::min({due < 0 ? end + 1 : due, answerAt < 0 ? end + 1 : answerAt, nextTick});
        if (next > end)
            break;
        m_now = next;
        if (next == answerAt) {
            m_server->send(int(m_server->connections.size()) - 1, trueSecond(next));
            QTRY_VERIFY(runningQuery() == nullptr);
            answerAt = -1;
        } else if (next == due) {
            timer->start(0); // its moment has come
            QTRY_VERIFY(timer->interval() != 0 || !timer->isActive());
        } else {
            const qsizetype queries = m_server->connections.size();
            tick(next);
            if (runningQuery() != nullptr) {
                QTRY_COMPARE(m_server->connections.size(), queries + 1);
                answerAt = next + answerMs;
            }
            nextTick += 1000;
        }
    }
    QCOMPARE(m_server->connections.size(), kRunMs / InternetClock::kQueryIntervalMs + 1);
    QCOMPARE(changedAt.size(), 21); // the first reply, then one a second
    for (qsizetype n = 1; n < changedAt.size(); ++n) {
        QVERIFY2(
            qAbs(changedAt[n] - changedAt[n - 1] - 1000) <= 50,
            qPrintable(QStringLiteral("%1 ms to %2").arg(changedAt[n] - changedAt[n - 1]).arg(texts[n])));
        QCOMPARE(texts[n], DaytimeLabelText(first.addSecs(n)));
    }
}

QTEST_GUILESS_MAIN(TestInternetClock)
#include "tst_internetclock.moc"
