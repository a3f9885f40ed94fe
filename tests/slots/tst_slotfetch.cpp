#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "slots/httpauth.h"
#include "slots/httpprotocol.h"
#include "slots/replybudget.h"
#include "slots/slotfetch.h"
#include "support/testca.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <array>
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
    std::unique_ptr<QSignalSpy> m_failed;
    TestCa m_ca;
    bool m_haveCa = false;

    FetchOutcome::Kind failure() const { return m_failed->value(0).value(0).value<FetchOutcome>().kind; }

    // A whole reply sent in one piece, then the close.
    static CamReply reply(const QByteArray &status, const QList<QByteArray> &lines, const QByteArray &body)
    {
        CamReply r;
        r.bytes = CamServer::httpReply(status, lines, body);
        return r;
    }

    static CamReply picture(const QByteArray &body)
    {
        return reply("HTTP/1.1 200 OK",
                     {"Content-Type: image/jpeg", "Content-Length: " + QByteArray::number(body.size())},
                     body);
    }

    static CamReply redirect(const QByteArray &location)
    {
        return reply("HTTP/1.1 302 Found", {"Location: " + location, "Content-Length: 0"}, {});
    }

    // The value of a request's header line, or empty.
    static QByteArray requestHeader(const QByteArray &request, const QByteArray &name)
    {
        for (const QByteArray &line : request.split('\n')) {
            if (line.startsWith(name + ": "))
                return line.mid(name.size() + 2).trimmed();
        }
        return {};
    }

    // The fields of a Digest Authorization value.
    static QHash<QByteArray, QByteArray> digestFields(const QByteArray &value)
    {
        QHash<QByteArray, QByteArray> fields;
        for (const QByteArray &part : value.mid(value.indexOf(' ') + 1).split(',')) {
            const qsizetype eq = part.indexOf('=');
            QByteArray v = part.mid(eq + 1).trimmed();
            if (v.startsWith('"'))
                v = v.mid(1, v.size() - 2);
            fields.insert(part.left(eq).trimmed(), v);
        }
        return fields;
    }

    QString local(const QByteArray &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.port()) + QString::fromUtf8(path);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        m_haveCa = m_ca.make();
    }

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
        m_failed = std::make_unique<QSignalSpy>(f, &SlotFetch::failed);
    }

    void cleanup()
    {
        m_failed.reset();
        m_finished.reset();
        m_fetch.reset();
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

    void headerBlockCap_data()
    {
        QTest::addColumn<qsizetype>("headerLength"); // bytes before the blank line
        QTest::addColumn<bool>("blankLine"); // the blank line is sent after them
        QTest::addColumn<bool>("given up");
        constexpr qsizetype cap = HttpProtocol::kMaxHeaderBytes;
        QTest::newRow("header at the cap") << cap << true << false;
        QTest::newRow("header one byte over") << cap + 1 << true << true;
        QTest::newRow("no end yet, a blank line still fits") << cap + 3 << false << false;
        QTest::newRow("no end, no blank line can fit") << cap + 4 << false << true;
    }

    void headerBlockCap()
    {
        // One endless header line, arriving in small pieces like a drip.
        QFETCH(qsizetype, headerLength);
        QFETCH(bool, blankLine);
        QByteArray reply = "HTTP/1.1 200 OK\r\nX-Long: ";
        reply += QByteArray(headerLength - reply.size(), 'a');
        if (blankLine)
            reply += "\r\n\r\n";
        QVERIFY(m_fetch->start(QStringLiteral("/p.jpg")));
        for (qsizetype at = 0; at < reply.size() && m_failed->isEmpty(); at += 4093)
            m_fetch->receiveBytes(QByteArrayView(reply).sliced(at, qMin<qsizetype>(4093, reply.size() - at)));
        QTEST(!m_failed->isEmpty(), "given up");
        if (!m_failed->isEmpty()) {
            QCOMPARE(failure(), FetchOutcome::Kind::HeaderTooLarge);
            QCOMPARE(m_fetch->replyBuffer().capacity(), 0);
        }
    }

    void budgetGivesUpTheLargest_data()
    {
        // Three replies in flight share a budget of 1000 bytes; the third grows.
        QTest::addColumn<int>("held0");
        QTest::addColumn<int>("held1");
        QTest::addColumn<int>("held2");
        QTest::addColumn<int>("growth");
        QTest::addColumn<int>("givenUp"); // which fetch fails; -1: none
        QTest::newRow("fits") << 600 << 100 << 200 << 100 << -1;
        QTest::newRow("a larger reply goes") << 600 << 100 << 200 << 150 << 0;
        QTest::newRow("the growing reply is the largest") << 100 << 0 << 800 << 200 << 2;
        QTest::newRow("the growing reply goes before its equal") << 450 << 0 << 300 << 300 << 2;
    }

    void budgetGivesUpTheLargest()
    {
        QFETCH(int, held0);
        QFETCH(int, held1);
        QFETCH(int, held2);
        QFETCH(int, growth);
        QFETCH(int, givenUp);
        const QList<int> sizes{held0, held1, held2};
        ReplyBudget budget(1000);
        std::array<SlotFetch, 3> fetches;
        std::vector<std::unique_ptr<QSignalSpy>> failed;
        for (int i = 0; i < 3; ++i) {
            SlotFetch &f = fetches.at(std::size_t(i));
            f.setReplyBudget(&budget);
            failed.push_back(std::make_unique<QSignalSpy>(&f, &SlotFetch::failed));
            QVERIFY(f.start(QStringLiteral("/p.jpg")));
            if (sizes.at(i) > 0)
                f.receiveBytes(QByteArray(sizes.at(i), 'x')); // a header block that has not ended yet
        }
        fetches.at(2).receiveBytes(QByteArray(growth, 'x'));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(failed.at(std::size_t(i))->size(), i == givenUp ? 1 : 0);
            QCOMPARE(fetches.at(std::size_t(i)).replyBuffer().size(),
                     i == givenUp ? 0 : sizes.at(i) + (i == 2 ? growth : 0));
        }
        if (givenUp >= 0) {
            const auto outcome = failed.at(std::size_t(givenUp))->value(0).value(0).value<FetchOutcome>();
            QCOMPARE(outcome.kind, FetchOutcome::Kind::OverBudget);
        }
        QVERIFY(budget.held() <= budget.limit());
        // Finished replies belong to their slots and leave the budget.
        for (SlotFetch &f : fetches) {
            f.finish();
            f.setReplyBudget(nullptr);
        }
        QCOMPARE(budget.held(), 0);
    }

    void readsAreBounded()
    {
        // A reply far larger than one read, sent at once: it comes in bounded events, whole.
        const QByteArray body(3 * HttpProtocol::kMaxReadPerEvent + 17, 'b');
        m_server.setReply("/flood.jpg", picture(body));
        qsizetype largestRead = 0;
        qsizetype before = 0;
        SlotFetch *f = m_fetch.get();
        connect(f, &SlotFetch::dataArrived, f, [&, f] {
            largestRead = qMax(largestRead, f->replyBuffer().size() - before);
            before = f->replyBuffer().size();
        });
        QVERIFY(f->start(local("/flood.jpg")));
        QVERIFY(m_finished->wait());
        QVERIFY(largestRead <= HttpProtocol::kMaxReadPerEvent);
        f->finish();
        QCOMPARE(f->replyBuffer(), body);
    }

    void progressThenAbandoned()
    {
        QTcpServer hanging; // never closes, writes only when told: each write is one data event
        QVERIFY(hanging.listen(QHostAddress::LocalHost));
        QVERIFY(m_fetch->start(QStringLiteral("http://127.0.0.1:%1/p.jpg").arg(hanging.serverPort())));
        QVERIFY(hanging.waitForNewConnection(5000));
        QTcpSocket *peer = hanging.nextPendingConnection();
        peer->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 8000\r\n\r\n" +
                    QByteArray(2000, 'x'));
        QTRY_COMPARE(m_fetch->bytesReceived(), 2000);
        peer->write(QByteArray(2000, 'x'));
        QTRY_COMPARE(m_fetch->bytesReceived(), 4000);
        peer->write(QByteArray(3000, 'x'));
        QTRY_COMPARE(m_fetch->bytesReceived(), 7000);
        QCOMPARE(m_progress, QList<int>({-1, 50, 88})); // the header's own event moves nothing

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
        m_server.setReply(
            "/big.jpg", reply("HTTP/1.1 200 OK", {"Content-Type: image/jpeg"}, QByteArray(300 * 1024, 'x')));
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

    void completeAtContentLength()
    {
        // The server keeps the connection open after the body: the reply is whole at its length.
        const QByteArray body = TestPictures::jpeg(64, 48);
        CamReply reply = picture(body);
        reply.end = CamReply::End::KeepOpen;
        reply.splitAt = {10, reply.bytes.size() - 5};
        reply.delayMs = 20;
        m_server.setReply("/open.jpg", reply);
        QVERIFY(m_fetch->start(local("/open.jpg")));
        QVERIFY(m_finished->wait());
        QVERIFY(!m_fetch->hasConnection());
        QCOMPARE(m_progress.last(), 100);
        m_fetch->finish();
        QCOMPARE(m_fetch->replyBuffer(), body);
    }

    void stalledOrSlow_data()
    {
        QTest::addColumn<int>("pieceDelayMs"); // between pieces of the body; the limit is 300 ms
        QTest::addColumn<bool>("abandoned");
        QTest::newRow("silent after the header") << 5000 << true;
        QTest::newRow("slow but steady") << 100 << false;
    }

    void stalledOrSlow()
    {
        QFETCH(int, pieceDelayMs);
        QFETCH(bool, abandoned);
        CamReply reply = picture(QByteArray(600, 'x'));
        for (qsizetype at = reply.bytes.size() - 600; at < reply.bytes.size(); at += 100)
            reply.splitAt.append(at);
        reply.delayMs = pieceDelayMs;
        m_server.setReply("/slow.jpg", reply);
        m_fetch->setStallLimit(std::chrono::milliseconds(300));
        QVERIFY(m_fetch->start(local("/slow.jpg")));
        QTRY_COMPARE_WITH_TIMEOUT(m_finished->size() + m_failed->size(), 1, 10000);
        QCOMPARE(m_failed->size(), abandoned ? 1 : 0);
        if (abandoned)
            QCOMPARE(failure(), FetchOutcome::Kind::NoAnswer);
    }

    void replaced_data()
    {
        QTest::addColumn<bool>("replyEnded"); // before the next start
        QTest::addColumn<bool>("reported");
        QTest::newRow("while the reply drips in") << false << true;
        QTest::newRow("after the reply ended") << true << false;
    }

    void replaced()
    {
        QFETCH(bool, replyEnded);
        CamReply reply = picture(QByteArray(600, 'x'));
        reply.splitAt = {100, 200};
        reply.delayMs = replyEnded ? 0 : 60000;
        m_server.setReply("/drip.jpg", reply);
        QVERIFY(m_fetch->start(local("/drip.jpg")));
        if (replyEnded)
            QVERIFY(m_finished->wait());
        else
            QTRY_VERIFY(m_fetch->replyBuffer().size() >= 100);
        QVERIFY(m_fetch->start(local("/drip.jpg")));
        QTEST(!m_failed->isEmpty(), "reported");
        if (!m_failed->isEmpty())
            QCOMPARE(failure(), FetchOutcome::Kind::Unfinished);
        m_fetch->abandon();
    }

    void certificateRefused_data()
    {
        QTest::addColumn<int>("server"); // TestCa::Server
        QTest::addColumn<bool>("trustTestCa");
        QTest::addColumn<int>("reason"); // QSslError::SslError; NoError: any reason
        QTest::newRow("expired") << int(TestCa::Server::Expired) << true
                                 << int(QSslError::CertificateExpired);
        QTest::newRow("another host")
            << int(TestCa::Server::OtherHost) << true << int(QSslError::HostNameMismatch);
        QTest::newRow("unknown authority")
            << int(TestCa::Server::Untrusted) << true << int(QSslError::NoError);
        QTest::newRow("test authority not handed over")
            << int(TestCa::Server::Good) << false << int(QSslError::NoError);
    }

    void certificateRefused()
    {
        if (!m_haveCa)
            QSKIP("no openssl program to make test certificates");
        QFETCH(int, server);
        QFETCH(bool, trustTestCa);
        QFETCH(int, reason);
        CamServer secure;
        QVERIFY(secure.listenSecure(m_ca.serverConfiguration(TestCa::Server(server))));
        secure.setReply("/cam.jpg", picture(TestPictures::jpeg(64, 48)));
        if (trustTestCa)
            m_fetch->setExtraCaCertificates(m_ca.authority());
        QVERIFY(m_fetch->start(QStringLiteral("https://127.0.0.1:%1/cam.jpg").arg(secure.port())));
        QVERIFY(m_failed->wait());
        QCOMPARE(failure(), FetchOutcome::Kind::CertificateNotTrusted);
        const QString text = m_failed->value(0).value(0).value<FetchOutcome>().text();
        if (reason != QSslError::NoError)
            QVERIFY2(text.contains(QSslError(QSslError::SslError(reason)).errorString()), qPrintable(text));
        QCOMPARE(secure.requests().size(), 0);
        QCOMPARE(m_finished->size(), 0);
    }

    void redirects_data()
    {
        QTest::addColumn<QString>("path"); // on the plain server; "https:" paths on the secure one
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("failure"); // FetchOutcome::Kind when not shown
        QTest::newRow("chain of 5") << "/r5" << true << 0;
        QTest::newRow("chain of 6") << "/r6" << false << int(FetchOutcome::Kind::TooManyRedirects);
        QTest::newRow("loop") << "/loop" << false << int(FetchOutcome::Kind::TooManyRedirects);
        QTest::newRow("http to https") << "/up" << true << 0;
        QTest::newRow("https to http") << "https:/down" << false << int(FetchOutcome::Kind::InsecureRedirect);
    }

    void redirects()
    {
        if (!m_haveCa)
            QSKIP("no openssl program to make test certificates");
        QFETCH(QString, path);
        QFETCH(bool, shown);
        CamServer secure;
        QVERIFY(secure.listenSecure(m_ca.serverConfiguration(TestCa::Server::Good)));
        m_fetch->setExtraCaCertificates(m_ca.authority());
        const QByteArray body = TestPictures::jpeg(64, 48);
        const QByteArray plainBase = "http://127.0.0.1:" + QByteArray::number(m_server.port());
        const QByteArray secureBase = "https://127.0.0.1:" + QByteArray::number(secure.port());
        m_server.setReply("/r0", picture(body));
        for (int i = 1; i <= 6; ++i)
            m_server.setReply("/r" + QByteArray::number(i), redirect("/r" + QByteArray::number(i - 1)));
        m_server.setReply("/loop", redirect(plainBase + "/loop"));
        m_server.setReply("/up", redirect(secureBase + "/pic.jpg"));
        secure.setReply("/pic.jpg", picture(body));
        secure.setReply("/down", redirect(plainBase + "/r0"));
        const QString address = path.startsWith(u"https:") ? QString::fromLatin1(secureBase) + path.mid(6)
                                                           : QString::fromLatin1(plainBase) + path;
        QVERIFY(m_fetch->start(address));
        QTRY_COMPARE(m_finished->size() + m_failed->size(), 1);
        QCOMPARE(m_finished->size(), shown ? 1 : 0);
        if (!shown) {
            QTEST(int(failure()), "failure");
            return;
        }
        m_fetch->finish();
        QCOMPARE(m_fetch->replyBuffer(), body);
    }

    void passwords_data()
    {
        QTest::addColumn<QByteArray>("scheme"); // Basic, or the Digest algorithm
        QTest::addColumn<QString>("password"); // the camera's is "s3cret"
        QTest::addColumn<bool>("staleOnSecond"); // the second fetch's nonce has run out
        QTest::newRow("Basic") << QByteArray("Basic") << "s3cret" << false;
        QTest::newRow("SHA-256") << QByteArray("SHA-256") << "s3cret" << false;
        QTest::newRow("SHA-256, wrong") << QByteArray("SHA-256") << "guess" << false;
        QTest::newRow("MD5, stale nonce") << QByteArray("MD5") << "s3cret" << true;
    }

    void passwords()
    {
        QFETCH(QByteArray, scheme);
        QFETCH(QString, password);
        QFETCH(bool, staleOnSecond);
        const bool right = password == u"s3cret";
        const QByteArray body = TestPictures::jpeg(64, 48);
        QByteArray nonce = "nonce-1";
        QByteArray staleNonce;
        m_server.setHandler("/pw.jpg", [&](const QByteArray &request) {
            const QByteArray authorization = requestHeader(request, "Authorization");
            bool ok = false;
            bool stale = false;
            if (scheme == "Basic") {
                ok = authorization == basicAuthorization(QStringLiteral("ann"), QStringLiteral("s3cret"));
            } else if (authorization.startsWith("Digest ")) {
                const QHash<QByteArray, QByteArray> f = digestFields(authorization);
                const AuthChallenge c{
                    AuthChallenge::Scheme::Digest, "cam", f.value("nonce"), {}, scheme, true};
                const DigestInput input{
                    QStringLiteral("ann"), QStringLiteral("s3cret"),          "GET",
                    f.value("uri"),        f.value("nc").toUInt(nullptr, 16), f.value("cnonce")};
                stale = f.value("nonce") == staleNonce;
                ok = !stale && f.value("nonce") == nonce && f.value("response") == digestResponse(c, input) &&
                    f.value("uri") == "/pw.jpg";
            }
            if (ok)
                return picture(body);
            const QByteArray challenge = scheme == "Basic"
                ? QByteArray("Basic realm=\"cam\"")
                : "Digest realm=\"cam\", qop=\"auth\", algorithm=" + scheme + ", nonce=\"" + nonce + "\"" +
                    (stale ? ", stale=true" : "");
            return reply("HTTP/1.1 401 Unauthorized",
                         {"WWW-Authenticate: " + challenge, "Content-Type: text/html"}, "<p>401</p>");
        });
        const QString address =
            QStringLiteral("http://ann:%1@127.0.0.1:%2/pw.jpg").arg(password).arg(m_server.port());
        const qsizetype before = m_server.requests().size();
        QVERIFY(m_fetch->start(address));
        QVERIFY(m_finished->wait());
        const QList<QByteArray> first = m_server.requests().mid(before);
        QCOMPARE(first.size(), 2); // asked, then answered
        QCOMPARE(requestHeader(first[0], "Authorization"), QByteArray()); // nothing before the server asks
        const FinishedReply reply = m_fetch->finish();
        QCOMPARE(reply.headerBlock.startsWith("HTTP/1.1 200"), right);
        if (!right)
            return;

        // The next fetch answers at once, with the nonce counted on (or a fresh one when stale).
        if (staleOnSecond) {
            staleNonce = nonce;
            nonce = "nonce-2";
        }
        QVERIFY(m_fetch->start(address));
        QVERIFY(m_finished->wait());
        const QList<QByteArray> second = m_server.requests().mid(before + 2);
        QCOMPARE(second.size(), staleOnSecond ? 2 : 1);
        QVERIFY(m_fetch->finish().headerBlock.startsWith("HTTP/1.1 200"));
        if (scheme != "Basic")
            QCOMPARE(digestFields(requestHeader(second.last(), "Authorization")).value("nc"),
                     staleOnSecond ? QByteArray("00000001") : QByteArray("00000002"));
    }
};

QTEST_GUILESS_MAIN(TestSlotFetch)
#include "tst_slotfetch.moc"
