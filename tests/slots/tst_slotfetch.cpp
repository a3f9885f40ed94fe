#include "camserver.h"
#include "cameraslot.h"
#include "clickableimage.h"
#include "offscreenmain.h"
#include "sharedstate.h"
#include "slotpane.h"
#include "testpictures.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTcpServer>

#include <memory>

// Whole fetches of one slot against a loopback camera server, as the user sees them.
class TestSlotFetch : public QObject
{
    Q_OBJECT

    static constexpr qint16 kSlot = 3;
    SharedState m_state;
    CamServer m_server; // shared by all cases; each sets the routes it needs
    std::unique_ptr<SlotPane> m_pane;
    std::unique_ptr<QSignalSpy> m_handled;

    CameraSlot *s() const { return m_pane->slot(kSlot); }

    // Starts the slot on http://<host><path>; the host defaults to the test server.
    void start(const QString &path, const QString &host = {})
    {
        const QString server = host.isEmpty() ? "127.0.0.1:" + QString::number(m_server.port()) : host;
        s()->txtAddress->setText("http://" + server + path);
        m_pane->cmdStart_Click(kSlot);
    }

    static QByteArray picture(const QByteArray &body, const QByteArray &type = "image/jpeg")
    {
        return CamServer::httpReply("HTTP/1.1 200 OK",
                                    {"Content-Type: " + type, "Content-Length: " + QByteArray::number(body.size())}, body);
    }

    static CamReply reply(const QByteArray &bytes, const QList<qsizetype> &splitAt = {}, int delayMs = 0,
                          qsizetype closeAfter = -1, CamReply::End end = CamReply::End::Close)
    {
        return {bytes, splitAt, delayMs, closeAfter, end};
    }

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }

    void init()
    {
        m_pane = std::make_unique<SlotPane>(m_state);
        m_handled = std::make_unique<QSignalSpy>(m_pane.get(), &SlotPane::replyHandled);
        s()->show();
        s()->setPicture(SlotPicture::notFound()); // what the slot showed before
    }

    void cleanup() { m_handled.reset(); m_pane.reset(); }

    void showsPicture_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QList<qsizetype>>("cuts"); // from the blank line's start; pieces written 10 ms apart
        QTest::newRow("jpeg") << TestPictures::jpeg(640, 480) << QByteArray("image/jpeg") << QList<qsizetype>{};
        QTest::newRow("gif, blank line split") << TestPictures::gif(83, 62, Qt::red) << QByteArray("image/gif")
                                               << QList<qsizetype>{-20, 1, 2, 3, 4, 100};
        QTest::newRow("bmp, many pieces") << TestPictures::bmp(200, 100, Qt::blue) << QByteArray("image/bmp")
                                          << QList<qsizetype>{-50, -1, 6, 5000, 30000};
    }

    void showsPicture()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, type);
        QFETCH(QList<qsizetype>, cuts);
        const QByteArray bytes = picture(body, type);
        for (qsizetype &cut : cuts)
            cut += bytes.indexOf("\r\n\r\n");
        m_server.setReply("/cam.jpg", reply(bytes, cuts, 10));
        start("/cam.jpg");
        QVERIFY(m_handled->wait());
        QCOMPARE(m_server.requests().last(), "GET /cam.jpg HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_server.port())
                                                 + "\r\nConnection: close\r\nAccept: */*\r\n\r\n");
        QCOMPARE(s()->picture().bytes(), body);
        QCOMPARE(QList<qint32>({s()->contentLength, s()->bytesReceived}), QList<qint32>({qint32(body.size()), qint32(body.size())}));
    }

    void progress()
    {
        const QByteArray header("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 800\r\n\r\n");
        m_server.setReply("/half", reply(header + QByteArray(400, 'x'), {header.size()}, 100, -1, CamReply::End::KeepOpen));
        start("/half");
        QTRY_COMPARE(s()->prgCam->value(), 50);

        // More than announced: the bar refuses the share and keeps its value.
        const QByteArray small("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n");
        m_server.setReply("/over", reply(small + QByteArray(150, 'x'), {small.size(), small.size() + 30}, 100));
        start("/over");
        QVERIFY(m_handled->wait());
        QCOMPARE(s()->bytesReceived, 150);
        QCOMPARE(s()->prgCam->value(), 30);
    }

    void earlyClose_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("keep"); // bytes sent before the server closes; -1: up to the blank line
        QTest::addColumn<bool>("notFound");
        QTest::newRow("unknown path: 404 page") << "/missing.jpg" << 0 << true;
        QTest::newRow("inside header") << "/cut.jpg" << -1 << true;
        QTest::newRow("inside body") << "/cut.jpg" << 900 << false;
    }

    void earlyClose()
    {
        QFETCH(QString, path);
        QFETCH(int, keep);
        QFETCH(bool, notFound);
        const QByteArray bytes = picture(TestPictures::jpeg(320, 240));
        m_server.setReply("/cut.jpg", reply(bytes, {}, 0, keep < 0 ? bytes.indexOf("\r\n\r\n") : keep));
        s()->setPicture(SlotPicture());
        start(path);
        QVERIFY(m_handled->wait());
        QVERIFY(s()->imgRefresh->isHidden());
        QCOMPARE(s()->picture().kind() == SlotPicture::Kind::NotFound, notFound);
    }

    void abandonedFetchRaisesNothing()
    {
        const QByteArray body = TestPictures::jpeg(64, 48);
        m_server.setReply("/hang.jpg", reply(picture(body).first(100), {}, 0, -1, CamReply::End::KeepOpen));
        m_server.setReply("/cam.jpg", reply(picture(body)));
        start("/hang.jpg");
        QTRY_COMPARE(s()->replyBuffer.size(), 100);

        start("/cam.jpg"); // replaces the running fetch; its partial reply is gone
        QVERIFY(m_handled->wait());
        QCOMPARE(s()->replyBuffer, body);

        start("/hang.jpg");
        QTRY_COMPARE(s()->replyBuffer.size(), 100);
        m_pane->cmdStop_Click(kSlot);
        QVERIFY(!s()->wsCam && s()->isHidden());
        QCOMPARE(m_handled->size(), 1);
    }

    void replyPastSizeLimit()
    {
        m_pane->setReplySizeLimit(64 * 1024);
        m_server.setReply("/big.jpg", reply(picture(QByteArray(300 * 1024, 'x'))));
        start("/big.jpg");
        QVERIFY(s()->wsCam);
        QTRY_VERIFY(!s()->wsCam);
        QCOMPARE(m_handled->size(), 0);
        QVERIFY(s()->replyBuffer.isEmpty() && !s()->imgRefresh->isHidden());
        QCOMPARE(s()->picture().kind(), SlotPicture::Kind::NotFound);
    }

    void refusedConnectionIsAFailedFetch()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString host = "127.0.0.1:" + QString::number(closed.serverPort());
        closed.close();
        start("/p.jpg", host);
        QTRY_VERIFY(!s()->wsCam);
        QCOMPARE(m_handled->size(), 0);
        QCOMPARE(s()->picture().kind(), SlotPicture::Kind::NotFound);
        QVERIFY(!s()->imgRefresh->isHidden() && s()->timRefresh->isActive());
        m_pane->cmdRefresh_Click(kSlot); // the next refresh tries again
        QVERIFY(s()->wsCam);
    }

    void ipv6Literal()
    {
        CamServer server6;
        if (!server6.listen(QHostAddress::LocalHostIPv6))
            QSKIP("no IPv6 loopback here");
        const QByteArray body = TestPictures::jpeg(64, 48);
        server6.setReply("/p.jpg", reply(picture(body)));
        const QByteArray host = "[::1]:" + QByteArray::number(server6.port());
        start("/p.jpg", QString::fromLatin1(host));
        QVERIFY(m_handled->wait());
        QVERIFY(server6.requests().value(0).contains("\r\nHost: " + host + "\r\n"));
        QCOMPARE(s()->picture().bytes(), body);
    }
};

VANTORA_WIDGET_TEST_MAIN(TestSlotFetch)
#include "tst_slotfetch.moc"
