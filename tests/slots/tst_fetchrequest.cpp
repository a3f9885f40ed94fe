#include "slots/camaddress.h"
#include "slots/httprequest.h"

#include <QtTest>

// Taking a camera address apart and the request bytes sent for it.
class TestFetchRequest : public QObject
{
    Q_OBJECT

private slots:
    void splitAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>(
            "expected"); // host|path|port|Host line|connect host; empty: the split fails
        const QString q = QStringLiteral("/images/live.jpg?size=2");
        QTest::newRow("prefix, query kept")
            << "http://cam.test" + q << "cam.test|" + q + "|80|cam.test|cam.test";
        QTest::newRow("colon after the slash") << "cam/a b/p:1.jpg"
                                               << "cam|/a b/p:1.jpg|80|cam|cam";
        QTest::newRow("explicit 80") << "cam:080/p"
                                     << "cam|/p|80|cam:80|cam";
        QTest::newRow("port 65535") << "cam:65535/p"
                                    << "cam|/p|65535|cam:65535|cam";
        QTest::newRow("IPv6 with port") << "http://[::1]:8080/p.jpg"
                                        << "[::1]|/p.jpg|8080|[::1]:8080|::1";
        QTest::newRow("IPv6 without port") << "[::1]/p.jpg"
                                           << "[::1]|/p.jpg|80|[::1]|::1";
        for (const char *bad :
             {"http://cam.test", "", "HTTP://cam/p.jpg", "ftp://cam/p.jpg", "cam:0/p", "cam:65536/p",
              "cam:/p", "cam:+80/p", "::1/p.jpg", "[::1/p.jpg", "[::1]x/p", "[::1]:/p"})
            QTest::addRow("bad: %s", bad) << QString::fromLatin1(bad) << QString();
    }

    void splitAddress()
    {
        QFETCH(QString, address);
        QFETCH(QString, expected);
        const AddressSplit split = SplitAddress(address);
        const CamAddress &a = split.address;
        const QString got =
            QStringList({a.hostName, a.requestPath, QString::number(a.port), a.hostHeader, a.connectHost()})
                .join('|');
        QCOMPARE(split.status == AddressSplit::Status::Ok ? got : QString(), expected);
    }

    void request_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("requestLine"); // sent with "Host: [::1]:8080"
        QTest::newRow("spaces escaped")
            << "/live images/cam 1.jpg" << QByteArray("GET /live%20images/cam%201.jpg HTTP/1.1");
        QTest::newRow("%20 not escaped again")
            << "/a%20b.jpg?x=%" << QByteArray("GET /a%20b.jpg?x=% HTTP/1.1");
        QTest::newRow("8-bit path") << QString::fromLatin1("/caf\xe9.jpg")
                                    << QByteArray("GET /caf\xe9.jpg HTTP/1.1");
    }

    void request()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, requestLine);
        const QString escaped = EscapeSpaces(path);
        QCOMPARE(EscapeSpaces(escaped), escaped); // the stored, escaped path is sent unchanged later
        QCOMPARE(BuildRequest(escaped, "[::1]:8080"),
                 requestLine + "\r\nHost: [::1]:8080\r\nConnection: close\r\nAccept: */*\r\n\r\n");
    }
};

QTEST_GUILESS_MAIN(TestFetchRequest)
#include "tst_fetchrequest.moc"
