#include "dechunk.h"
#include "headerendscanner.h"
#include "refreshschedule.h"
#include "replyheader.h"

#include <QRandomGenerator>
#include <QtTest>

// Reading a reply as it arrives and when it is complete, and the refresh period texts.
class TestReplyParsing : public QObject
{
    Q_OBJECT

private slots:
    void headerEndSplitAcrossArrivals()
    {
        // CR/LF-rich replies arriving in random pieces (the blank line cut at every place sooner
        // or later): the same answer as one search of the whole reply.
        QRandomGenerator random(20240611);
        for (int round = 0; round < 2000; ++round) {
            QByteArray reply;
            for (int i = random.bounded(1, 40); i > 0; --i)
                reply += "\r\na"[random.bounded(3)];
            HeaderEndScanner scanner;
            qsizetype at = 0;
            qsizetype found = -1;
            while (at < reply.size() && found < 0) {
                at = std::min<qsizetype>(reply.size(), at + random.bounded(1, 6));
                found = scanner.scan(QByteArrayView(reply).first(at));
            }
            QCOMPARE(found, reply.indexOf("\r\n\r\n"));
        }
    }

    void contentLength_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("Server: x\r\nContent-Length: 800\r\nX: y") << 800;
        QTest::newRow("no space after colon") << QByteArray("Content-Length:800") << 0;
        QTest::newRow("lowercase name") << QByteArray("content-length: 800") << 0;
        QTest::newRow("prefixed name wins") << QByteArray("X-Content-Length-Orig: 5\r\nContent-Length: 800") << 5;
        QTest::newRow("first match unreadable") << QByteArray("Content-Length: abc\r\nContent-Length: 800") << 0;
        QTest::newRow("spaces, fraction to even") << QByteArray("Content-Length:  800.5 ") << 800;
        QTest::newRow("beyond 32 bits") << QByteArray("Content-Length: 3000000000") << 0;
    }

    void contentLength()
    {
        QFETCH(QByteArray, lines);
        QTEST(int(ContentLengthOf("HTTP/1.1 200 OK\r\n" + lines)), "expected");
    }

    void progress_data()
    {
        QTest::addColumn<int>("received");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expected"); // -1: the bar keeps its value
        QTest::newRow("all") << 800 << 800 << 100;
        QTest::newRow("more than announced") << 801 << 800 << -1;
        QTest::newRow("two thirds rounds") << 2 << 3 << 67;
        QTest::newRow("no length") << 400 << 0 << -1;
        QTest::newRow("32-bit extremes") << 2147483647 << 2147483647 << 100;
    }

    void progress()
    {
        QFETCH(int, received);
        QFETCH(int, length);
        QTEST(ProgressValue(received, length).value_or(-1), "expected");
    }

    void headerKinds_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<bool>("chunked");
        QTest::newRow("capital type") << QByteArray("Content-Type: IMAGE/JPEG") << true << false;
        QTest::newRow("image without slash") << QByteArray("Content-Type: image") << false << false;
        QTest::newRow("chunked, any case") << QByteArray("transfer-ENCODING :CHUNKED \r\nContent-Type: image/png") << true << true;
        QTest::newRow("chunked last") << QByteArray("Transfer-Encoding: gzip, chunked") << false << true;
        QTest::newRow("chunked not last") << QByteArray("Transfer-Encoding: chunked, gzip") << false << false;
        QTest::newRow("other name") << QByteArray("X-Transfer-Encoding: chunked") << false << false;
    }

    void headerKinds()
    {
        QFETCH(QByteArray, lines);
        const QByteArray block = "HTTP/1.1 200 OK\r\n" + lines;
        QTEST(IsPictureHeader(block), "picture");
        QTEST(IsChunkedHeader(block), "chunked");
    }

    void dechunk_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        const int ok = int(DechunkResult::Status::Ok);
        const int incomplete = int(DechunkResult::Status::Incomplete);
        const int bad = int(DechunkResult::Status::Bad);
        QTest::newRow("hex, extension, space") << QByteArray("A;n=v\r\n0123456789\r\n1 \r\n!\r\n0\r\n\r\n") << ok << QByteArray("0123456789!");
        QTest::newRow("CR LF inside data") << QByteArray("4\r\n\r\n\r\n\r\n0\r\n\r\n") << ok << QByteArray("\r\n\r\n");
        QTest::newRow("trailers, bytes after") << QByteArray("2\r\nab\r\n0\r\nX-T: 1\r\n\r\njunk") << ok << QByteArray("ab");
        QTest::newRow("no final blank line") << QByteArray("2\r\nab\r\n0\r\n") << incomplete << QByteArray();
        QTest::newRow("cut inside data") << QByteArray("A\r\n01234") << incomplete << QByteArray();
        QTest::newRow("huge size not allocated") << QByteArray("7FFFFFFF\r\nab") << incomplete << QByteArray();
        QTest::newRow("not hex") << QByteArray("zz\r\nab\r\n0\r\n\r\n") << bad << QByteArray();
        QTest::newRow("too many digits") << QByteArray("1000000000000000\r\n") << bad << QByteArray();
        QTest::newRow("data not followed by CR LF") << QByteArray("4\r\nWikiXX0\r\n\r\n") << bad << QByteArray();
    }

    void dechunk()
    {
        QFETCH(QByteArray, input);
        const DechunkResult result = Dechunk(input);
        QTEST(int(result.status), "status");
        if (result.status == DechunkResult::Status::Ok)
            QTEST(result.body, "body");
    }

    void refreshTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");      // taken at a fetch start; the previous value is 7
        QTest::addColumn<QString>("countdown"); // 5 seconds into the period
        QTest::newRow("digits") << "30" << 30 << "25";
        QTest::newRow("spaces around") << "  45 " << 45 << "40";
        QTest::newRow("half to even down") << "30.5" << 30 << "25.5";
        QTest::newRow("half to even up") << "31.5" << 32 << "26.5";
        QTest::newRow("32-bit minimum") << "-2147483648" << int(-2147483648LL) << "-2147483653";
        QTest::newRow("above range") << "2147483648" << 7 << "2147483643";
        QTest::newRow("plain, no exponent") << "1e20" << 7 << "100000000000000000000";
        QTest::newRow("words: the period in force") << "abc" << 7 << "2";
        QTest::newRow("number and unit") << "45s" << 7 << "2";
        QTest::newRow("grouped") << "1,000" << 7 << "2";
        QTest::newRow("infinity") << "inf" << 7 << "2";
    }

    void refreshTexts()
    {
        QFETCH(QString, text);
        QTEST(int(RefreshSecondsFromText(text, 7)), "seconds");
        QTEST(NextRefreshText(text, 5, 7), "countdown");
    }
};

QTEST_GUILESS_MAIN(TestReplyParsing)
#include "tst_replyparsing.moc"
