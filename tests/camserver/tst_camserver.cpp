#include "camserver/camserver.h"
#include "camserver/testpictures.h"

#include <QImage>
#include <QTcpSocket>
#include <QtTest>

Q_DECLARE_METATYPE(CamReply)

// The loopback picture server the fetch tests stand on: replies arrive as configured, and GIF
// pictures from our own encoder decode to what was encoded.
class TestCamServer : public QObject
{
    Q_OBJECT

    CamServer m_server;

    // Requests path on socket; every piece that arrives is appended to pieces.
    void request(QTcpSocket &socket, const QByteArray &path, QByteArrayList &pieces)
    {
        connect(&socket, &QTcpSocket::readyRead, this,
                [&socket, &pieces] { pieces.append(socket.readAll()); });
        socket.connectToHost(QHostAddress::LocalHost, m_server.port());
        socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }

    void arrivesAsSent_data()
    {
        // The client reads each piece on its own; an early close sends only the bytes before it.
        QTest::addColumn<CamReply>("reply");
        QTest::addColumn<QByteArrayList>("pieces");
        const QByteArray bytes("HTTP/1.1 200 OK\r\n\r\nabcdef");
        QTest::newRow("blank line split, kept open")
            << CamReply{bytes, {1, 17, 19}, 50, -1, CamReply::End::KeepOpen}
            << QByteArrayList{"H", "TTP/1.1 200 OK\r\n", "\r\n", "abcdef"};
        QTest::newRow("closed early") << CamReply{bytes, {10, 21}, 50, 20, CamReply::End::Close}
                                      << QByteArrayList{"HTTP/1.1 2", "00 OK\r\n\r\na"};
    }

    void arrivesAsSent()
    {
        QFETCH(CamReply, reply);
        QFETCH(QByteArrayList, pieces);
        m_server.setReply("/cam.jpg", reply);
        QTcpSocket socket, probe;
        QByteArrayList received, probed;
        request(socket, "/cam.jpg", received);
        QTRY_COMPARE(received.join(), pieces.join());
        // A later exchange (an unknown path: the 404 page) ends only after the first one's close, if any, has
        // arrived.
        request(probe, "/probe", probed);
        QTRY_COMPARE(probe.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(received, pieces);
        QCOMPARE(socket.state() == QAbstractSocket::ConnectedState, reply.end == CamReply::End::KeepOpen);
    }

    void gifPixelForPixel()
    {
        // Our own encoder: 216 colours, and more pixels than codes between two clears.
        QImage colours(253, 17, QImage::Format_RGB32);
        for (int y = 0; y < colours.height(); ++y)
            for (int x = 0; x < colours.width(); ++x)
                colours.setPixel(x, y, qRgb((x % 6) * 51, (y % 6) * 51, ((x / 6 + y / 6) % 6) * 51));
        const QByteArray gif = TestPictures::gif(colours);
        QCOMPARE(QImage::fromData(gif).convertToFormat(QImage::Format_RGB32), colours);
    }
};

QTEST_GUILESS_MAIN(TestCamServer)
#include "tst_camserver.moc"
