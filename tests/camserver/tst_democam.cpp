#include "democam/democam.h"
#include "slots/replyheader.h"

#include <QImage>
#include <QTcpSocket>
#include <QtTest>

// The demo camera as the viewer meets it, read with the viewer's own header readers.
class TestDemoCam : public QObject
{
    Q_OBJECT

    DemoCam m_cam;

private slots:
    void initTestCase() { QVERIFY(m_cam.listen(0)); }

    void routes_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<QSize>("size"); // of the picture; empty: none
        QTest::newRow("clock") << QByteArray("/clock.jpg") << QByteArray() << QByteArray("HTTP/1.1 200 OK")
                               << QSize(640, 480);
        QTest::newRow("page") << QByteArray("/page.html") << QByteArray() << QByteArray("HTTP/1.1 200 OK")
                              << QSize();
        QTest::newRow("moved") << QByteArray("/moved.jpg") << QByteArray() << QByteArray("HTTP/1.1 302 Found")
                               << QSize();
        QTest::newRow("private, no password") << QByteArray("/private.jpg") << QByteArray()
                                              << QByteArray("HTTP/1.1 401 Unauthorized") << QSize();
        QTest::newRow("private, its password")
            << QByteArray("/private.jpg") << QByteArray("Authorization: Basic ZGVtbzp3ZWJjYW0=\r\n")
            << QByteArray("HTTP/1.1 200 OK") << QSize();
    }

    void routes()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, authorization);
        QFETCH(QSize, size);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_cam.port());
        socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + authorization + "\r\n");
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState); // the server closes after the reply
        const QByteArray reply = socket.readAll();
        const QByteArray header = reply.first(std::max<qsizetype>(reply.indexOf("\r\n\r\n"), 0));
        const QByteArray body = reply.sliced(header.size() + 4);
        QTEST(header.left(header.indexOf("\r\n")), "statusLine");
        if (!size.isEmpty()) {
            QCOMPARE(contentLengthOf(header), body.size());
            QVERIFY(isPictureHeader(header));
            QVERIFY(checkLastModified(header, {}).hasLine);
            QCOMPARE(QImage::fromData(body).size(), size);
        }
    }
};

QTEST_MAIN(TestDemoCam)
#include "tst_democam.moc"
