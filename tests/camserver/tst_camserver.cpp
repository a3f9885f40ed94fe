#include "camserver.h"
#include "testpictures.h"

#include <QImage>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

// The loopback picture server the fetch tests stand on: replies arrive as configured, and the
// pictures it serves decode as what they claim to be.
class TestCamServer : public QObject
{
    Q_OBJECT

    using Offsets = QList<qsizetype>;

    CamServer m_server;

    // Requests path on a new connection; every piece that arrives is appended to pieces.
    std::unique_ptr<QTcpSocket> request(const QByteArray &path, QList<QByteArray> &pieces)
    {
        auto socket = std::make_unique<QTcpSocket>();
        connect(socket.get(), &QTcpSocket::readyRead, this, [s = socket.get(), &pieces] { pieces.append(s->readAll()); });
        socket->connectToHost(QHostAddress::LocalHost, m_server.port());
        socket->write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        return socket;
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }

    void arrivesAsSent_data()
    {
        // The reply is "HTTP/1.1 200 OK\r\n\r\nabcdef"; the client reads each piece on its own.
        QTest::addColumn<Offsets>("splitAt");
        QTest::addColumn<qsizetype>("closeAfter");
        QTest::addColumn<bool>("keepOpen");
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::newRow("blank line split") << Offsets{1, 17} << qsizetype(-1) << false << QByteArrayList{"H", "TTP/1.1 200 OK\r\n", "\r\nabcdef"};
        QTest::newRow("closed early") << Offsets{10, 21} << qsizetype(20) << false << QByteArrayList{"HTTP/1.1 2", "00 OK\r\n\r\na"};
        QTest::newRow("kept open") << Offsets{19} << qsizetype(-1) << true << QByteArrayList{"HTTP/1.1 200 OK\r\n\r\n", "abcdef"};
    }

    void arrivesAsSent()
    {
        QFETCH(Offsets, splitAt);
        QFETCH(qsizetype, closeAfter);
        QFETCH(bool, keepOpen);
        QFETCH(QByteArrayList, pieces);
        m_server.setReply("/cam.jpg", {"HTTP/1.1 200 OK\r\n\r\nabcdef", splitAt, 50, closeAfter,
                                       keepOpen ? CamReply::End::KeepOpen : CamReply::End::Close});
        m_server.setReply("/probe", {"x", {}, 0, -1, CamReply::End::Close});
        QByteArrayList received, probed;
        const auto socket = request("/cam.jpg", received);
        QTRY_COMPARE(received.join(), pieces.join());
        // A later exchange ends only after the first one's close, if any, has arrived.
        const auto probe = request("/probe", probed);
        QTRY_COMPARE(probe->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(received, pieces);
        QCOMPARE(socket->state() == QAbstractSocket::ConnectedState, keepOpen);
    }

    void pictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("signature"); // the format's first bytes
        QTest::addColumn<QImage>("expected");      // compared pixel for pixel, except for JPEG (size only)
        QImage flat(31, 7, QImage::Format_RGB32);
        flat.fill(QColor(200, 30, 40));
        QImage colours(253, 17, QImage::Format_RGB32); // 216 colours, and more pixels than codes between clears
        for (int y = 0; y < colours.height(); ++y)
            for (int x = 0; x < colours.width(); ++x)
                colours.setPixel(x, y, qRgb((x % 6) * 51, (y % 6) * 51, ((x / 6 + y / 6) % 6) * 51));
        QTest::newRow("jpeg") << TestPictures::jpeg(320, 240) << QByteArray("\xff\xd8\xff") << QImage(320, 240, QImage::Format_RGB32);
        QTest::newRow("bmp") << TestPictures::bmp(31, 7, flat.pixelColor(0, 0)) << QByteArray("BM") << flat;
        QTest::newRow("gif") << TestPictures::gif(colours) << QByteArray("GIF89a") << colours;
    }

    void pictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, signature);
        QFETCH(QImage, expected);
        QVERIFY(bytes.startsWith(signature));
        const QImage image = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), expected.size());
        if (!signature.startsWith("\xff\xd8"))
            QCOMPARE(image, expected);
    }
};

QTEST_GUILESS_MAIN(TestCamServer)
#include "tst_camserver.moc"
