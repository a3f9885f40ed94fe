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
        // Content-Length right, a picture's type and its Last-Modified line, the picture's size.
        QTest::addColumn<QVariantList>("expected");
        QTest::newRow("/clock.jpg") << QVariantList({true, true, true, QSize(640, 480)});
        QTest::newRow("/page.html") << QVariantList({true, false, false, QSize(0, 0)});
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
        QTEST(QVariantList({ContentLengthOf(header) == body.size(), IsPictureHeader(header),
                            CheckLastModified(header, {}).hasLine, QImage::fromData(body).size()}),
              "expected");
    }
};

QTEST_MAIN(TestDemoCam)
#include "tst_democam.moc"
