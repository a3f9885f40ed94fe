#include "democam.h"

#include <QImage>
#include <QTcpSocket>
#include <QtTest>

// The demo camera as the viewer meets it, and the date its clock pictures carry.
class TestDemoCam : public QObject
{
    Q_OBJECT

    DemoCam m_cam;

private slots:
    void initTestCase() { QVERIFY(m_cam.listen(0)); }

    void routes_data()
    {
        QTest::addColumn<QSize>("size"); // of the picture; empty: a page
        QTest::newRow("/clock.jpg") << QSize(640, 480);
        QTest::newRow("/still.jpg") << QSize(640, 480);
        QTest::newRow("/big.jpg") << QSize(1920, 1080);
        QTest::newRow("/page.html") << QSize(0, 0);
    }

    void routes()
    {
        QFETCH(QSize, size);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_cam.port());
        socket.write(QByteArray("GET ") + QTest::currentDataTag() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState); // the server closes after the reply
        const QByteArray reply = socket.readAll();
        const QByteArray header = reply.first(reply.indexOf("\r\n\r\n") + 2), body = reply.sliced(header.size() + 2);
        QVERIFY(reply.startsWith("HTTP/1.1 200 OK\r\n"));
        QVERIFY(header.contains("\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n"));
        QCOMPARE(header.contains("\r\nContent-Type: image/jpeg\r\n") && header.contains("\r\nLast-Modified: "), !size.isEmpty());
        QCOMPARE(header.contains("\r\nContent-Type: text/html"), size.isEmpty());
        QCOMPARE(QImage::fromData(body).size(), size);
    }

    void lastModifiedWindow()
    {
        // Each moment maps to the start of its 5-second window, in any time zone and before 1970 too.
        const auto at = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); };
        const std::pair<QDateTime, QDateTime> cases[] = {
            {at(4999), at(0)}, {at(5000), at(5000)}, {at(7000).toOffsetFromUtc(2 * 3600), at(5000)}, {at(-2000), at(-5000)}};
        for (const auto &[now, windowStart] : cases)
            QCOMPARE(DemoCam::lastModifiedFor(now), windowStart);
    }
};

QTEST_MAIN(TestDemoCam)
#include "tst_democam.moc"
