#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "slots/slotfetch.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

// One fetch against loopback servers, without any widget: the request on the wire, the reply as
// it arrives, and the ways a fetch ends early.
class TestSlotFetch : public QObject
{
    Q_OBJECT

    CamServer m_server; // shared by all cases; each sets the routes it needs
    std::unique_ptr<SlotFetch> m_fetch;
    QList<int> m_progress; // the bar's value after each data event; -1 when it keeps its value
    std::unique_ptr<QSignalSpy> m_finished;

    QString local(const QByteArray &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.port()) + QString::fromUtf8(path);
    }

    // A server that never closes and writes only when told: each write is one data event.
    struct Hanging
    {
        QTcpServer server;
        QTcpSocket *peer = nullptr;
    };

private slots:
    void initTestCase() { QVERIFY(m_server.listen()); }

    void init()
    {
        // What the slot's handlers do with the fetch's events.
        m_fetch = std::make_unique<SlotFetch>();
        m_progress.clear();
        SlotFetch *f = m_fetch.get();
        connect(f, &SlotFetch::connected, f, &SlotFetch::sendRequest);
        connect(f, &SlotFetch::dataArrived, f,
                [this, f](qint32 bytesTotal) { m_progress.append(f->receive(bytesTotal).value_or(-1)); });
        m_finished = std::make_unique<QSignalSpy>(f, &SlotFetch::replyFinished);
    }

    void cleanup()
    {
        m_finished.reset();
        m_fetch.reset();
    }

    void requestOnTheWire_data()
    {
        QTest::addColumn<QString>("path"); // as the list file gives it
        QTest::addColumn<QByteArray>("sentPath");
        QTest::addColumn<bool>("ipv6"); // served on [::1]
        QTest::newRow("plain") << "/cam.jpg" << QByteArray("/cam.jpg") << false;
        QTest::newRow("accent, euro sign, space") << QStringLiteral("/caf\u00e9/\u20ac 1.jpg")
                                                  << QByteArray("/caf\xC3\xA9/\xE2\x82\xAC%201.jpg") << false;
        QTest::newRow("IPv6 literal") << "/cam.jpg" << QByteArray("/cam.jpg") << true;
    }

    void requestOnTheWire()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, sentPath);
        QFETCH(bool, ipv6);
        CamServer server;
        const bool listening = server.listen(ipv6 ? QHostAddress::LocalHostIPv6 : QHostAddress::LocalHost);
        if (ipv6 && !listening)
            QSKIP("no IPv6 loopback here");
        QVERIFY(listening);
        const QByteArray host = (ipv6 ? "[::1]:" : "127.0.0.1:") + QByteArray::number(server.port());
        QVERIFY(m_fetch->start(QString::fromLatin1("http://" + host) + path));
        QVERIFY(m_finished->wait());
        QCOMPARE(server.requests().value(0),
                 "GET " + sentPath + " HTTP/1.1\r\nHost: " + host +
                     "\r\nConnection: close\r\nAccept: */*\r\n\r\n");
    }

    void wholeReply_data()
    {
        QTest::addColumn<QList<qsizetype>>("cuts"); // from the blank line's start; pieces written 10 ms apart
        QTest::newRow("one piece") << QList<qsizetype>{};
        QTest::newRow("blank line split") << QList<qsizetype>{-20, 1, 2, 3, 4, 100};
        QTest::newRow("many pieces") << QList<qsizetype>{-50, -1, 6, 5000, 30000};
    }

    void wholeReply()
    {
        QFETCH(QList<qsizetype>, cuts);
        const QByteArray body = TestPictures::jpeg(320, 240);
        const QByteArray header = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
            QByteArray::number(body.size());
        for (qsizetype &cut : cuts)
            cut += header.size();
        m_server.setReply("/cam.jpg", {header + "\r\n\r\n" + body, cuts, 10, -1, CamReply::End::Close});
        QVERIFY(m_fetch->start(local("/cam.jpg")));
        QVERIFY(m_finished->wait());
        QCOMPARE(m_fetch->contentLength(), qint32(body.size()));
        QCOMPARE(m_fetch->bytesReceived(), qint32(body.size()));
        const FinishedReply reply = m_fetch->finish();
        QVERIFY(reply.hasHeader);
        QCOMPARE(reply.headerBlock, header);
        QCOMPARE(m_fetch->replyBuffer(), body);
    }

    void roomFromTheDeclaredLength_data()
    {
        QTest::addColumn<int>("declared"); // the Content-Length sent; the size limit is 64 KiB
        QTest::addColumn<bool>("reserved"); // the whole reply's room is taken when the header ends
        QTest::newRow("within the limit") << 40000 << true;
        QTest::newRow("beyond the limit") << 100000 << false;
    }

    void roomFromTheDeclaredLength()
    {
        QFETCH(int, declared);
        const QByteArray header =
            "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(declared) + "\r\n\r\n";
        const QByteArray body(qMin(declared, 50000), 'x');
        m_fetch->setReplySizeLimit(64 * 1024);
        QVERIFY(m_fetch->start(QStringLiteral("/p.jpg"))); // no host: nothing connects
        m_fetch->receiveBytes(header + body.first(100));
        QTEST(m_fetch->replyBuffer().capacity() >= header.size() + declared, "reserved");
        m_fetch->receiveBytes(body.sliced(100));
        m_fetch->finish();
        QCOMPARE(m_fetch->replyBuffer(), body);
        QCOMPARE(m_fetch->replyBuffer().capacity(), body.size()); // the body's bytes and no spare room
    }

    void progressThenAbandoned()
    {
        Hanging hanging;
        QVERIFY(hanging.server.listen(QHostAddress::LocalHost));
        QVERIFY(m_fetch->start(QStringLiteral("http://127.0.0.1:%1/p.jpg").arg(hanging.server.serverPort())));
        QVERIFY(hanging.server.waitForNewConnection(5000));
        QTcpSocket *peer = hanging.server.nextPendingConnection();
        peer->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 8000\r\n\r\n" +
                    QByteArray(2000, 'x'));
        QTRY_COMPARE(m_fetch->bytesReceived(), 2000);
        peer->write(QByteArray(2000, 'x'));
        QTRY_COMPARE(m_fetch->bytesReceived(), 4000);
        peer->write(QByteArray(5000, 'x')); // more than announced: the bar keeps its value
        QTRY_COMPARE(m_fetch->bytesReceived(), 9000);
        QCOMPARE(m_progress, QList<int>({-1, 50, -1})); // the header's own event moves nothing

        // Abandoned while receiving: the half reply is freed at once, nothing more is reported.
        m_fetch->abandon();
        QCOMPARE(m_fetch->replyBuffer().capacity(), 0);
        QVERIFY(!m_fetch->hasConnection());
        QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(m_progress.size(), 3);
        QCOMPARE(m_finished->size(), 0);
    }

    void endsEarly_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("refused") << "refused";
        QTest::newRow("past the size limit") << "big";
        QTest::newRow("CR LF in the address") << "injected";
    }

    void endsEarly()
    {
        // Ends quietly: nothing finished, no connection left, no reply kept.
        QFETCH(QString, how);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 closedPort = closed.serverPort();
        closed.close();
        m_fetch->setReplySizeLimit(64 * 1024);
        m_server.setReply("/big.jpg",
                          {CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: image/jpeg"},
                                                QByteArray(300 * 1024, 'x')),
                           {},
                           0,
                           -1,
                           CamReply::End::Close});
        const qsizetype requestsBefore = m_server.requests().size();
        if (how == "refused")
            QVERIFY(m_fetch->start(QStringLiteral("http://127.0.0.1:%1/p.jpg").arg(closedPort)));
        else if (how == "big")
            QVERIFY(m_fetch->start(local("/big.jpg")));
        else
            QVERIFY(!m_fetch->start(local("/big.jpg\r\nX-Injected: 1")));
        QTRY_VERIFY(!m_fetch->hasConnection());
        QCOMPARE(m_finished->size(), 0);
        QCOMPARE(m_fetch->replyBuffer().capacity(), 0);
        QCOMPARE(m_server.requests().size(), requestsBefore + (how == "big" ? 1 : 0));
    }
};

QTEST_GUILESS_MAIN(TestSlotFetch)
#include "tst_slotfetch.moc"
