#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/clickableimage.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/offscreenmain.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

// Whole fetches of one slot against loopback camera servers, as the user sees them.
class TestSlotFetch : public QObject
{
    Q_OBJECT

    static constexpr qint16 kSlot = 3;
    SharedState m_state;
    CamServer m_server; // shared by all cases; each sets the routes it needs
    std::unique_ptr<SlotPane> m_pane;
    std::unique_ptr<QSignalSpy> m_handled;

    CameraSlot *s() const { return m_pane->slot(kSlot); }

    // Starts the slot on http://<host><path>; the host defaults to the shared server.
    void start(const QByteArray &path, QByteArray host = {})
    {
        if (host.isEmpty())
            host = "127.0.0.1:" + QByteArray::number(m_server.port());
        s()->txtAddress->setText(QString::fromLatin1("http://" + host + path));
        m_pane->cmdStart_Click(kSlot);
    }

    // The slot reads the type only for "image/"; the picture's own bytes tell its format.
    static QByteArray picture(const QByteArray &body)
    {
        return CamServer::httpReply(
            "HTTP/1.1 200 OK",
            {"Content-Type: image/jpeg", "Content-Length: " + QByteArray::number(body.size())}, body);
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }

    void init()
    {
        m_pane = std::make_unique<SlotPane>(m_state);
        m_handled = std::make_unique<QSignalSpy>(m_pane.get(), &SlotPane::replyHandled);
        s()->setPicture(SlotPicture::notFound()); // what the slot showed before
    }

    void cleanup()
    {
        m_handled.reset();
        m_pane.reset();
    }

    void showsPicture_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QList<qsizetype>>("cuts"); // from the blank line's start; pieces written 10 ms apart
        QTest::addColumn<bool>("ipv6"); // served on [::1]
        QTest::newRow("jpeg") << TestPictures::jpeg(640, 480) << QList<qsizetype>{} << false;
        QTest::newRow("gif, blank line split")
            << TestPictures::gif(83, 62, Qt::red) << QList<qsizetype>{-20, 1, 2, 3, 4, 100} << false;
        QTest::newRow("bmp, many pieces")
            << TestPictures::bmp(200, 100, Qt::blue) << QList<qsizetype>{-50, -1, 6, 5000, 30000} << false;
        QTest::newRow("jpeg from an IPv6 literal")
            << TestPictures::jpeg(64, 48) << QList<qsizetype>{} << true;
    }

    void showsPicture()
    {
        QFETCH(QByteArray, body);
        QFETCH(QList<qsizetype>, cuts);
        QFETCH(bool, ipv6);
        CamServer server;
        const bool listening = server.listen(ipv6 ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost);
        if (ipv6 && !listening)
            QSKIP("no IPv6 loopback here");
        QVERIFY(listening);
        const QByteArray bytes = picture(body);
        for (qsizetype &cut : cuts)
            cut += bytes.indexOf("\r\n\r\n");
        server.setReply("/cam.jpg", {bytes, cuts, 10, -1, CamReply::End::Close});
        const QByteArray host = (ipv6 ? "[::1]:" : "127.0.0.1:") + QByteArray::number(server.port());
        start("/cam.jpg", host);
        QVERIFY(m_handled->wait());
        QCOMPARE(server.requests().value(0),
                 "GET /cam.jpg HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\nAccept: */*\r\n\r\n");
        QCOMPARE(s()->picture().bytes(), body);
        QCOMPARE(QList<qint32>({s()->contentLength, s()->bytesReceived}),
                 QList<qint32>(2, qint32(body.size())));
    }

    void progressThenReplaced()
    {
        // A server that never closes and writes only when told: each write is one data event.
        QTcpServer hanging;
        QVERIFY(hanging.listen(QHostAddress::LocalHost));
        const QByteArray hangingHost = "127.0.0.1:" + QByteArray::number(hanging.serverPort());
        start("/p.jpg", hangingHost);
        QTRY_VERIFY(hanging.hasPendingConnections());
        QTcpSocket *peer = hanging.nextPendingConnection();
        peer->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 800\r\n\r\n" +
                    QByteArray(200, 'x'));
        QTRY_COMPARE(s()->bytesReceived, 200);
        QCOMPARE(s()->prgCam->value(), 0); // the header's own event moves nothing
        peer->write(QByteArray(200, 'x'));
        QTRY_COMPARE(s()->prgCam->value(), 50);
        peer->write(QByteArray(500, 'x')); // more than announced: the bar keeps its value
        QTRY_COMPARE(s()->bytesReceived, 900);
        QCOMPARE(s()->prgCam->value(), 50);

        const QByteArray body = TestPictures::jpeg(64, 48);
        m_server.setReply("/cam.jpg", {picture(body), {}, 0, -1, CamReply::End::Close});
        start("/cam.jpg"); // replaces the running fetch; its partial reply is gone
        QVERIFY(m_handled->wait());
        QCOMPARE(s()->replyBuffer, body);
        QCOMPARE(s()->contentLength, qint32(body.size()));
        QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);

        start("/p.jpg", hangingHost); // stopped while it runs: nothing more is handled
        m_pane->cmdStop_Click(kSlot);
        QVERIFY(!s()->wsCam);
        QCOMPARE(m_handled->size(), 1);
    }

    void earlyClose_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<bool>("notFound");
        QTest::newRow("unknown path: 404 page") << QByteArray("/missing.jpg") << true;
        QTest::newRow("closed inside the body") << QByteArray("/cut.jpg") << false;
    }

    void earlyClose()
    {
        QFETCH(QByteArray, path);
        QFETCH(bool, notFound);
        m_server.setReply("/cut.jpg",
                          {picture(TestPictures::jpeg(320, 240)), {}, 0, 900, CamReply::End::Close});
        s()->setPicture(SlotPicture());
        start(path);
        QVERIFY(m_handled->wait());
        QCOMPARE(s()->picture().kind() == SlotPicture::Kind::NotFound, notFound);
    }

    void failedFetch_data()
    {
        QTest::addColumn<bool>("refused"); // otherwise the reply grows past the size limit
        QTest::newRow("connection refused") << true;
        QTest::newRow("reply past the size limit") << false;
    }

    void failedFetch()
    {
        // Ends quietly: nothing handled, picture and indicator stay, the timer tries again.
        QFETCH(bool, refused);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QByteArray closedHost = "127.0.0.1:" + QByteArray::number(closed.serverPort());
        closed.close();
        m_pane->setReplySizeLimit(64 * 1024);
        m_server.setReply("/big.jpg",
                          {picture(QByteArray(300 * 1024, 'x')), {}, 0, -1, CamReply::End::Close});
        start("/big.jpg", refused ? closedHost : QByteArray());
        QTRY_VERIFY(!s()->wsCam);
        const bool pictureKept = s()->picture().kind() == SlotPicture::Kind::NotFound;
        QCOMPARE(
            QList<bool>({m_handled->isEmpty(), s()->replyBuffer.isEmpty(), s()->imgRefresh->isHidden(),
                         s()->timRefresh->isActive(), pictureKept}),
            QList<bool>({true, true, false, true,
                         true})); // nothing handled, buffer empty, indicator shown, timer on, picture kept
    }
};

VANTORA_WIDGET_TEST_MAIN(TestSlotFetch)
#include "tst_slotfetch.moc"
