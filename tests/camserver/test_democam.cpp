#include "camserver.h"
#include "democam.h"

#include <QImage>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

namespace {
constexpr int kWaitMs = 10000;

struct Reply
{
    QByteArray status;
    QByteArray header;
    QByteArray body;

    QByteArray field(const QByteArray &name) const
    {
        for (const QByteArray &line : header.split('\n')) {
            if (line.startsWith(name + ": "))
                return line.mid(name.size() + 2).trimmed();
        }
        return {};
    }
};

// A whole exchange the way the viewer makes it: one request, read until the server closes.
Reply get(quint16 port, const QByteArray &path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(kWaitMs))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nAccept: */*\r\n\r\n");
    QByteArray all;
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { all += socket.readAll(); });
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    if (socket.state() == QAbstractSocket::ConnectedState && !closed.wait(kWaitMs))
        return {};
    all += socket.readAll();
    const qsizetype end = all.indexOf("\r\n\r\n");
    if (end < 0)
        return {};
    Reply reply;
    reply.header = all.left(end);
    reply.status = reply.header.left(reply.header.indexOf("\r\n"));
    reply.body = all.mid(end + 4);
    return reply;
}
// Qt reads RFC 2822 dates with a numeric zone only; HTTP dates always say GMT.
QDateTime parseHttpDate(const QByteArray &text)
{
    if (!text.endsWith(" GMT"))
        return {};
    return QDateTime::fromString(QString::fromLatin1(text.chopped(3) + "+0000"), Qt::RFC2822Date);
}
} // namespace

class TestDemoCam : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lastModifiedWindow_data();
    void lastModifiedWindow();
    void pictures_data();
    void pictures();
    void clockDateChangesOnlyWithItsWindow();
    void stillStaysTheSame();
    void pageIsNotAPicture();

private:
    DemoCam m_cam;
};

void TestDemoCam::initTestCase()
{
    QVERIFY(m_cam.listen(0));
    QVERIFY(m_cam.port() != 0);
}

void TestDemoCam::lastModifiedWindow_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("expected");

    const QDate day(2024, 3, 10);
    auto utc = [day](int h, int m, int s, int ms = 0) { return QDateTime(day, QTime(h, m, s, ms), Qt::UTC); };
    QTest::newRow("window start") << utc(12, 0, 0) << utc(12, 0, 0);
    QTest::newRow("window end") << utc(12, 0, 4, 999) << utc(12, 0, 0);
    QTest::newRow("next window") << utc(12, 0, 5) << utc(12, 0, 5);
    QTest::newRow("across the minute") << utc(12, 0, 59, 500) << utc(12, 0, 55);
    QTest::newRow("local time")
        << QDateTime(day, QTime(14, 0, 7), Qt::OffsetFromUTC, 2 * 3600) << utc(12, 0, 5);
    QTest::newRow("before 1970")
        << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 58), Qt::UTC)
        << QDateTime(QDate(1969, 12, 31), QTime(23, 59, 55), Qt::UTC);
}

void TestDemoCam::lastModifiedWindow()
{
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, expected);
    QCOMPARE(DemoCam::lastModifiedFor(now), expected);
}

void TestDemoCam::pictures_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QSize>("size");

    QTest::newRow("clock") << QByteArray("/clock.jpg") << QSize(640, 480);
    QTest::newRow("still") << QByteArray("/still.jpg") << QSize(640, 480);
    QTest::newRow("big clock") << QByteArray("/big.jpg") << QSize(1920, 1080);
}

void TestDemoCam::pictures()
{
    QFETCH(QByteArray, path);
    QFETCH(QSize, size);

    const Reply reply = get(m_cam.port(), path);
    QCOMPARE(reply.status, QByteArray("HTTP/1.1 200 OK"));
    QCOMPARE(reply.field("Content-Type"), QByteArray("image/jpeg"));
    QCOMPARE(reply.field("Content-Length"), QByteArray::number(reply.body.size()));
    const QByteArray modified = reply.field("Last-Modified");
    QVERIFY(parseHttpDate(modified).isValid());
    QImage image;
    QVERIFY(image.loadFromData(reply.body, "JPEG"));
    QCOMPARE(image.size(), size);
}

void TestDemoCam::clockDateChangesOnlyWithItsWindow()
{
    // Fetch until two replies fall into different 5-second windows (at most ~6 s of fetching).
    const Reply first = get(m_cam.port(), "/clock.jpg");
    const QByteArray firstDate = first.field("Last-Modified");
    QVERIFY(!firstDate.isEmpty());
    QByteArray date = firstDate;
    QDeadlineTimer deadline(3 * DemoCam::kLastModifiedStepSeconds * 1000);
    while (date == firstDate && !deadline.hasExpired()) {
        QTest::qWait(200);
        date = get(m_cam.port(), "/clock.jpg").field("Last-Modified");
    }
    QVERIFY(date != firstDate);
    const QDateTime a = parseHttpDate(firstDate);
    const QDateTime b = parseHttpDate(date);
    QVERIFY(a.isValid() && b.isValid());
    QCOMPARE(a.secsTo(b) % DemoCam::kLastModifiedStepSeconds, 0);
    QVERIFY(a.secsTo(b) > 0);
}

void TestDemoCam::stillStaysTheSame()
{
    const Reply a = get(m_cam.port(), "/still.jpg");
    const Reply b = get(m_cam.port(), "/still.jpg");
    QVERIFY(!a.body.isEmpty());
    QCOMPARE(a.body, b.body);
    QCOMPARE(a.field("Last-Modified"), b.field("Last-Modified"));
}

void TestDemoCam::pageIsNotAPicture()
{
    const Reply page = get(m_cam.port(), "/page.html");
    QCOMPARE(page.status, QByteArray("HTTP/1.1 200 OK"));
    QVERIFY(page.field("Content-Type").startsWith("text/html"));
    QVERIFY(!page.header.toLower().contains("image/"));
    QVERIFY(page.body.contains("<html>"));

    const Reply missing = get(m_cam.port(), "/clock.jpeg");
    QVERIFY(missing.status.startsWith("HTTP/1.1 404"));
}

QTEST_MAIN(TestDemoCam)
#include "test_democam.moc"
