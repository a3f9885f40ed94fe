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
        // A picture's type and its Last-Modified line, the picture's size.
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("dated");
        QTest::addColumn<QSize>("size");
        QTest::newRow("/clock.jpg") << true << true << QSize(640, 480);
        QTest::newRow("/page.html") << false << false << QSize(0, 0);
    }

    void movedAndPrivate_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::newRow("moved") << QByteArray("/moved.jpg") << QByteArray()
                               << QByteArray("HTTP/1.1 302 Found");
        QTest::newRow("private, no password")
            << QByteArray("/private.jpg") << QByteArray() << QByteArray("HTTP/1.1 401 Unauthorized");
        QTest::newRow("private, its password")
            << QByteArray("/private.jpg") << QByteArray("Authorization: Basic ZGVtbzp3ZWJjYW0=\r\n")
            << QByteArray("HTTP/1.1 200 OK");
    }

    void movedAndPrivate()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, authorization);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_cam.port());
        socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + authorization + "\r\n");
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
        const QByteArray reply = socket.readAll();
        QTEST(reply.left(reply.indexOf("\r\n")), "statusLine");
    }

    void routes()
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_cam.port());
        socket.write(QByteArray("GET ") + QTest::currentDataTag() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState); // the server closes after the reply
        const QByteArray reply = socket.readAll();
        const QByteArray header = reply.first(std::max<qsizetype>(reply.indexOf("\r\n\r\n"), 0)),
                         body = reply.sliced(header.size() + 4);
        QCOMPARE(contentLengthOf(header), body.size());
        QTEST(isPictureHeader(header), "picture");
        QTEST(checkLastModified(header, {}).hasLine, "dated");
        QTEST(QImage::fromData(body).size(), "size");
    }
};

QTEST_MAIN(TestDemoCam)
#include "tst_democam.moc"
