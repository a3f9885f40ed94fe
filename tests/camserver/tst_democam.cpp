#include "common/sharedstate.h"
#include "democam/democam.h"
#include "slots/cameraslot.h"
#include "slots/multipartreader.h"
#include "slots/replyheader.h"
#include "slots/slotfetch.h"
#include "slots/slotpane.h"
#include "support/offscreenmain.h"

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

    // The stream as the viewer reads it: a picture part at once, then one a second, until the
    // viewer closes the connection.
    void stream()
    {
        DemoCam cam;
        QVERIFY(cam.listen(0));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, cam.port());
        socket.write("GET /stream.mjpg HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray received;
        QTRY_VERIFY((received += socket.readAll()).contains("\r\n\r\n"));
        const QByteArray header = received.first(received.indexOf("\r\n\r\n"));
        QVERIFY(MultipartReader::isStreamHeader(header));
        MultipartReader reader(headerValues(header, "Content-Type").value(0), qsizetype(1) << 24);
        qsizetype fed = header.size() + 4;
        const auto readMore = [&] {
            received += socket.readAll();
            return reader.feed(QByteArrayView(received).sliced(std::exchange(fed, received.size())));
        };
        QTRY_COMPARE(readMore(), MultipartReader::Status::Done);
        QCOMPARE(QImage::fromData(reader.partBody()).size(), QSize(640, 480));
        const QByteArray delimiter = "--" + QByteArray(DemoCam::kStreamBoundary) + "\r\n";
        QTRY_VERIFY((received += socket.readAll()).count(delimiter) >= 2);
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    }

    // The demo list's stream camera, opened in a slot as the viewer opens it: each fetch shows the
    // stream's first picture and ends the connection.
    void streamInASlot()
    {
        DemoCam cam;
        QVERIFY(cam.listen(0));
        SharedState state;
        SlotPane pane(state);
        QSignalSpy handled(&pane, &SlotPane::replyHandled);
        pane.loadCam(3, QStringLiteral("Demo Stream Clock"),
                     QStringLiteral("http://127.0.0.1:%1/stream.mjpg").arg(cam.port()), QStringLiteral("5"));
        for (int fetch = 1; fetch <= 2; ++fetch) {
            QTRY_COMPARE_WITH_TIMEOUT(handled.size(), fetch, 10000);
            CameraSlot *s = pane.slot(3);
            QCOMPARE(s->picture().kind(), SlotPicture::Kind::Camera);
            QCOMPARE(s->picture().naturalSize(), QSize(640, 480));
            QCOMPARE(s->failuresInRow(), 0);
            QVERIFY(!s->fetch()->hasConnection());
            pane.cmdRefresh_Click(3);
        }
    }
};

VANTORA_WIDGET_TEST_MAIN(TestDemoCam)
#include "tst_democam.moc"
