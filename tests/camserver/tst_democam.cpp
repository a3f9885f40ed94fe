#include "democam/democam.h"
#include "slots/replyheader.h"

#include <QImage>
#include <QTcpSocket>
#include <QtTest>

// The demo camera as the viewer meets it, read with the viewer's own header readers.
class TestDemoCam : public QObject
{
    Q_OBJECT

private slots:
    void routes()
    {
        DemoCam cam;
        QVERIFY(cam.listen(0));
        for (const auto &[path, authorization, statusLine] :
             {std::tuple{"/clock.jpg", "", "HTTP/1.1 200 OK"},
              std::tuple{"/moved.jpg", "", "HTTP/1.1 302 Found"},
              std::tuple{"/private.jpg", "", "HTTP/1.1 401 Unauthorized"},
              std::tuple{"/private.jpg", "Authorization: Basic ZGVtbzp3ZWJjYW0=\r\n", "HTTP/1.1 200 OK"}}) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, cam.port());
            socket.write(QByteArray("GET ") + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + authorization +
                         "\r\n");
            QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState); // closed after the reply
            const QByteArray reply = socket.readAll();
            const QByteArray header = reply.first(std::max<qsizetype>(reply.indexOf("\r\n\r\n"), 0));
            QCOMPARE(header.left(header.indexOf("\r\n")), QByteArray(statusLine));
            if (path == QByteArrayView("/clock.jpg")) {
                const QByteArray body = reply.sliced(header.size() + 4);
                QCOMPARE(contentLengthOf(header), body.size());
                QVERIFY(isPictureHeader(header) && checkLastModified(header, {}).hasLine);
                QCOMPARE(QImage::fromData(body).size(), QSize(640, 480));
            }
        }
    }
};

QTEST_MAIN(TestDemoCam)
#include "tst_democam.moc"
