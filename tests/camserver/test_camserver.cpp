#include "camserver.h"
#include "testpictures.h"

#include <QImage>
#include <QImageReader>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

namespace {
constexpr int kWaitMs = 5000;

const QByteArray kRequest = QByteArrayLiteral(
    "GET /cam.jpg HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nAccept: */*\r\n\r\n");

// One client exchange: what arrived, in how many pieces, and whether the server closed.
struct Exchange
{
    QByteArray received;
    QList<QByteArray> pieces;
    bool closedByServer = false;
};

class Client
{
public:
    explicit Client(quint16 port)
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] {
            const QByteArray piece = m_socket.readAll();
            m_exchange.received += piece;
            m_exchange.pieces.append(piece);
        });
        QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket,
                         [this] { m_exchange.closedByServer = true; });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    bool waitConnected() { return m_socket.waitForConnected(kWaitMs); }
    void send(const QByteArray &bytes) { m_socket.write(bytes); m_socket.flush(); }
    bool waitClosed()
    {
        QDeadlineTimer deadline(kWaitMs);
        while (!m_exchange.closedByServer && !deadline.hasExpired())
            QTest::qWait(10);
        return m_exchange.closedByServer;
    }
    const Exchange &exchange() const { return m_exchange; }
    QTcpSocket &socket() { return m_socket; }

private:
    QTcpSocket m_socket;
    Exchange m_exchange;
};

Exchange fetch(quint16 port, const QByteArray &request = kRequest)
{
    Client client(port);
    if (!client.waitConnected())
        return {};
    client.send(request);
    client.waitClosed();
    return client.exchange();
}
} // namespace

class TestCamServer : public QObject
{
    Q_OBJECT

private slots:
    void replyArrivesAsSent_data();
    void replyArrivesAsSent();
    void splitRepliesArriveInPieces();
    void keepOpenLeavesConnectionOpen();
    void unknownPathGetsNotFoundPage();
    void requestIsRecordedWhole();
    void handlerSeesRequest();
    void oversizedRequestIsDropped();
    void requestPath_data();
    void requestPath();
    void httpReplyLayout();
    void httpDate_data();
    void httpDate();
    void picturesDecode_data();
    void picturesDecode();
    void gifKeepsColours();
};

void TestCamServer::replyArrivesAsSent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<qsizetype>>("splitAt");
    QTest::addColumn<qsizetype>("closeAfter");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray reply = CamServer::httpReply("HTTP/1.1 200 OK",
                                                  {"Content-Type: image/jpeg", "Content-Length: 10"},
                                                  "0123456789");
    const QByteArray big = CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: image/jpeg"},
                                                TestPictures::jpeg(800, 600));

    QTest::newRow("whole") << reply << QList<qsizetype>{} << qsizetype(-1) << reply;
    QTest::newRow("split in header end")
        << reply << QList<qsizetype>{reply.indexOf("\r\n\r\n") + 2} << qsizetype(-1) << reply;
    QTest::newRow("split everywhere")
        << reply << QList<qsizetype>{1, 5, 17, 40, reply.size() - 1} << qsizetype(-1) << reply;
    QTest::newRow("split out of order and out of range")
        << reply << QList<qsizetype>{30, 10, 0, 9999} << qsizetype(-1) << reply;
    QTest::newRow("closed in the body")
        << reply << QList<qsizetype>{20} << qsizetype(reply.size() - 4) << reply.left(reply.size() - 4);
    QTest::newRow("closed before a split point")
        << reply << QList<qsizetype>{10, 30} << qsizetype(25) << reply.left(25);
    QTest::newRow("closed at once") << reply << QList<qsizetype>{} << qsizetype(0) << QByteArray();
    QTest::newRow("close after beyond end") << reply << QList<qsizetype>{} << qsizetype(9999) << reply;
    QTest::newRow("empty reply") << QByteArray() << QList<qsizetype>{} << qsizetype(-1) << QByteArray();
    QTest::newRow("large picture") << big << QList<qsizetype>{100, 5000} << qsizetype(-1) << big;
}

void TestCamServer::replyArrivesAsSent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<qsizetype>, splitAt);
    QFETCH(qsizetype, closeAfter);
    QFETCH(QByteArray, expected);

    CamServer server;
    QVERIFY(server.listen());
    CamReply reply;
    reply.bytes = bytes;
    reply.splitAt = splitAt;
    reply.delayMs = 5;
    reply.closeAfter = closeAfter;
    server.setReply("/cam.jpg", reply);

    const Exchange exchange = fetch(server.port());
    QVERIFY(exchange.closedByServer);
    QCOMPARE(exchange.received.size(), expected.size());
    QCOMPARE(exchange.received, expected);
}

void TestCamServer::splitRepliesArriveInPieces()
{
    CamServer server;
    QVERIFY(server.listen());
    CamReply reply;
    reply.bytes = "HTTP/1.1 200 OK\r\n\r\nabcdef";
    reply.splitAt = {10, 21};
    reply.delayMs = 50; // long enough for the client to read each piece on its own
    server.setReply("/cam.jpg", reply);

    const Exchange exchange = fetch(server.port());
    QCOMPARE(exchange.received, reply.bytes);
    QCOMPARE(exchange.pieces.size(), 3);
    QCOMPARE(exchange.pieces.at(0), reply.bytes.left(10));
    QCOMPARE(exchange.pieces.at(1), reply.bytes.mid(10, 11));
    QCOMPARE(exchange.pieces.at(2), reply.bytes.mid(21));
}

void TestCamServer::keepOpenLeavesConnectionOpen()
{
    CamServer server;
    QVERIFY(server.listen());
    CamReply reply;
    reply.bytes = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n\r\npartial";
    reply.end = CamReply::End::KeepOpen;
    server.setReply("/cam.jpg", reply);

    Client client(server.port());
    QVERIFY(client.waitConnected());
    QSignalSpy closed(&client.socket(), &QTcpSocket::disconnected);
    client.send(kRequest);
    QTRY_COMPARE_WITH_TIMEOUT(client.exchange().received, reply.bytes, kWaitMs);
    // Nothing to await here: the point is that no close comes.
    QVERIFY(!closed.wait(300));
    QCOMPARE(client.socket().state(), QAbstractSocket::ConnectedState);

    // A close-after still closes even when KeepOpen is asked for.
    reply.closeAfter = 4;
    server.setReply("/cam.jpg", reply);
    const Exchange early = fetch(server.port());
    QVERIFY(early.closedByServer);
    QCOMPARE(early.received, QByteArray("HTTP"));
}

void TestCamServer::unknownPathGetsNotFoundPage()
{
    CamServer server;
    QVERIFY(server.listen());
    server.setReply("/cam.jpg", CamReply{"HTTP/1.1 200 OK\r\n\r\n", {}, 0, -1, CamReply::End::Close});

    const Exchange exchange =
        fetch(server.port(), "GET /other.jpg HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    QVERIFY(exchange.closedByServer);
    QVERIFY(exchange.received.startsWith("HTTP/1.1 404 Not Found\r\n"));
    const qsizetype end = exchange.received.indexOf("\r\n\r\n");
    QVERIFY(end > 0);
    const QByteArray header = exchange.received.left(end);
    const QByteArray body = exchange.received.mid(end + 4);
    QVERIFY(header.contains("Content-Type: text/html"));
    QVERIFY(header.contains("Content-Length: " + QByteArray::number(body.size())));
    QVERIFY(!body.isEmpty());
    QVERIFY(!header.contains("image/"));

    // Not a GET at all: also the not-found page, and the server keeps serving.
    const Exchange post = fetch(server.port(), "POST /cam.jpg HTTP/1.1\r\n\r\n");
    QVERIFY(post.received.startsWith("HTTP/1.1 404"));
    QCOMPARE(fetch(server.port()).received, QByteArray("HTTP/1.1 200 OK\r\n\r\n"));
}

void TestCamServer::requestIsRecordedWhole()
{
    CamServer server;
    QVERIFY(server.listen());
    server.setReply("/cam.jpg", CamReply{"HTTP/1.1 200 OK\r\n\r\nx", {}, 0, -1, CamReply::End::Close});
    QSignalSpy received(&server, &CamServer::requestReceived);

    Client client(server.port());
    QVERIFY(client.waitConnected());
    // The request comes in three pieces, the blank line itself cut in two; bytes after it
    // belong to no request.
    client.send(kRequest.left(7));
    QTest::qWait(20);
    client.send(kRequest.mid(7, kRequest.size() - 9));
    QTest::qWait(20);
    QVERIFY(server.requests().isEmpty());
    client.send(kRequest.right(2) + "trailing");
    QVERIFY(client.waitClosed());

    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().first(), kRequest);
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().toByteArray(), kRequest);
    QCOMPARE(client.exchange().received, QByteArray("HTTP/1.1 200 OK\r\n\r\nx"));

    // A second connection adds its request after the first.
    const QByteArray second = "GET /nothing HTTP/1.1\r\n\r\n";
    fetch(server.port(), second);
    QCOMPARE(server.requests(), (QList<QByteArray>{kRequest, second}));
}

void TestCamServer::handlerSeesRequest()
{
    CamServer server;
    QVERIFY(server.listen());
    int calls = 0;
    server.setHandler("/echo", [&calls](const QByteArray &request) {
        ++calls;
        CamReply reply;
        reply.bytes = CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/plain"},
                                           QByteArray::number(calls) + ":" + request);
        return reply;
    });
    const QByteArray request = "GET /echo HTTP/1.1\r\nHost: h\r\n\r\n";
    QCOMPARE(fetch(server.port(), request).received,
             QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n1:" + request));
    QCOMPARE(fetch(server.port(), request).received,
             QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n2:" + request));

    // A later setReply on the same path replaces the handler.
    server.setReply("/echo", CamReply{"fixed", {}, 0, -1, CamReply::End::Close});
    QCOMPARE(fetch(server.port(), request).received, QByteArray("fixed"));
    QCOMPARE(calls, 2);
}

void TestCamServer::oversizedRequestIsDropped()
{
    CamServer server;
    QVERIFY(server.listen());
    Client client(server.port());
    QVERIFY(client.waitConnected());
    client.send(QByteArray(CamServer::kMaxRequestBytes + 1024, 'a'));
    QVERIFY(client.waitClosed());
    QVERIFY(client.exchange().received.isEmpty());
    QVERIFY(server.requests().isEmpty());
}

void TestCamServer::requestPath_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("path");

    QTest::newRow("plain") << kRequest << QByteArray("/cam.jpg");
    QTest::newRow("query kept") << QByteArray("GET /a/b.jpg?size=2 HTTP/1.1\r\n\r\n")
                                << QByteArray("/a/b.jpg?size=2");
    QTest::newRow("escaped space") << QByteArray("GET /live%20cam.jpg HTTP/1.1\r\n\r\n")
                                   << QByteArray("/live%20cam.jpg");
    QTest::newRow("raw space") << QByteArray("GET /a b.jpg HTTP/1.1\r\n\r\n") << QByteArray("/a b.jpg");
    QTest::newRow("not GET") << QByteArray("HEAD /cam.jpg HTTP/1.1\r\n\r\n") << QByteArray();
    QTest::newRow("no version") << QByteArray("GET /cam.jpg\r\n\r\n") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestCamServer::requestPath()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, path);
    QCOMPARE(CamServer::requestPath(request), path);
}

void TestCamServer::httpReplyLayout()
{
    QCOMPARE(CamServer::httpReply("HTTP/1.1 200 OK", {"A: 1", "B: 2"}, "body"),
             QByteArray("HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\n\r\nbody"));
    QCOMPARE(CamServer::httpReply("HTTP/1.1 204 No Content", {}, {}),
             QByteArray("HTTP/1.1 204 No Content\r\n\r\n"));
}

void TestCamServer::httpDate_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("utc") << QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC)
                         << QByteArray("Sun, 06 Nov 1994 08:49:37 GMT");
    QTest::newRow("offset crosses the year")
        << QDateTime(QDate(2024, 1, 1), QTime(1, 30), Qt::OffsetFromUTC, 2 * 3600)
        << QByteArray("Sun, 31 Dec 2023 23:30:00 GMT");
    QTest::newRow("leap day") << QDateTime(QDate(2000, 2, 29), QTime(0, 0), Qt::UTC)
                              << QByteArray("Tue, 29 Feb 2000 00:00:00 GMT");
}

void TestCamServer::httpDate()
{
    QFETCH(QDateTime, time);
    QFETCH(QByteArray, text);
    QCOMPARE(CamServer::httpDate(time), text);
}

void TestCamServer::picturesDecode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour"); // invalid: not a flat picture

    const QColor red(200, 30, 40);
    QTest::newRow("jpeg") << TestPictures::jpeg(320, 240) << QByteArray("jpeg") << QSize(320, 240)
                          << QColor();
    QTest::newRow("jpeg tiny") << TestPictures::jpeg(1, 1) << QByteArray("jpeg") << QSize(1, 1)
                               << QColor();
    QTest::newRow("bmp") << TestPictures::bmp(31, 7, red) << QByteArray("bmp") << QSize(31, 7) << red;
    QTest::newRow("png") << TestPictures::png(16, 9, red) << QByteArray("png") << QSize(16, 9) << red;
    QTest::newRow("gif") << TestPictures::gif(40, 30, red) << QByteArray("gif") << QSize(40, 30) << red;
    QTest::newRow("gif one pixel") << TestPictures::gif(1, 1, red) << QByteArray("gif") << QSize(1, 1)
                                   << red;
    // More pixels than literals per clear code, and an odd bit count at the end.
    QTest::newRow("gif many clears") << TestPictures::gif(253, 17, red) << QByteArray("gif")
                                     << QSize(253, 17) << red;
}

void TestCamServer::picturesDecode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);

    QImage image;
    QVERIFY(image.loadFromData(bytes));
    QCOMPARE(image.size(), size);
    QBuffer buffer(&bytes);
    QCOMPARE(QImageReader(&buffer).format(), format);
    if (colour.isValid()) {
        for (const QPoint p : {QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1),
                               QPoint(size.width() / 2, size.height() / 2)})
            QCOMPARE(QColor(image.pixel(p)), colour);
    }
}

void TestCamServer::gifKeepsColours()
{
    QImage source(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgb((x % 6) * 51, (y % 6) * 51, ((x / 6 + y / 6) % 6) * 51));

    QImage decoded;
    QVERIFY(decoded.loadFromData(TestPictures::gif(source), "GIF"));
    QCOMPARE(decoded.size(), source.size());
    // 216 distinct colours at most, so each must come back as it was.
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            QCOMPARE(QColor(decoded.pixel(x, y)).rgb(), QColor(source.pixel(x, y)).rgb());
}

QTEST_GUILESS_MAIN(TestCamServer)
#include "test_camserver.moc"
