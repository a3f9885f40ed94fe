#include "slots/dechunk.h"
#include "slots/headerendscanner.h"
#include "slots/refreshschedule.h"
#include "slots/replyheader.h"

#include <QtTest>

// Reading a reply as it arrives and when it is complete, and the refresh period texts.
class TestReplyParsing : public QObject
{
    Q_OBJECT

private slots:
    void headerEndSplitAcrossArrivals()
    {
        // A reply arriving in three pieces, cut at every pair of places (a near miss first): the
        // blank line is found where one search of the whole reply finds it.
        const QByteArray reply("HTTP/1.1 200 OK\r\nX: \r\n\ra\r\n\r\n\r\n\r\nab");
        for (qsizetype a = 1; a < reply.size(); ++a) {
            for (qsizetype b = a; b < reply.size(); ++b) {
                HeaderEndScanner scanner;
                qsizetype found = -1;
                for (const qsizetype at : {a, b, reply.size()})
                    found = found < 0 ? scanner.scan(QByteArrayView(reply).first(at)) : found;
                QCOMPARE(found, reply.indexOf("\r\n\r\n"));
            }
        }
    }

    void contentLength_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("Server: x\r\nContent-Length: 800\r\nX: y") << 800;
        QTest::newRow("no space after colon") << QByteArray("Content-Length:800") << 0;
        QTest::newRow("lowercase name") << QByteArray("content-length: 800") << 0;
        QTest::newRow("prefixed name wins")
            << QByteArray("X-Content-Length-Orig: 5\r\nContent-Length: 800") << 5;
        QTest::newRow("first match unreadable")
            << QByteArray("Content-Length: abc\r\nContent-Length: 800") << 0;
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
        QTest::newRow("more than announced") << 801 << 800 << -1;
        QTest::newRow("two thirds rounds") << 2 << 3 << 67;
        QTest::newRow("no length") << 0 << 0 << -1;
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
        QTest::newRow("chunked, any case")
            << QByteArray("transfer-ENCODING :CHUNKED \r\nContent-Type: image/png") << true << true;
        QTest::newRow("chunked last") << QByteArray("Transfer-Encoding: gzip, chunked") << false << true;
        QTest::newRow("chunked not last") << QByteArray("Transfer-Encoding: chunked, gzip") << false << false;
        QTest::newRow("other name, image without slash")
            << QByteArray("X-Transfer-Encoding: chunked\r\nContent-Type: image") << false << false;
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
        QTest::addColumn<QByteArray>("expected"); // "Ok " and the body, "Incomplete" or "Bad"
        QTest::newRow("hex, extension, space")
            << QByteArray("A;n=v\r\n0123456789\r\n1 \r\n!\r\n0\r\n\r\n") << QByteArray("Ok 0123456789!");
        QTest::newRow("CR LF inside data")
            << QByteArray("4\r\n\r\n\r\n\r\n0\r\n\r\n") << QByteArray("Ok \r\n\r\n");
        QTest::newRow("trailers, bytes after")
            << QByteArray("2\r\nab\r\n0\r\nX-T: 1\r\n\r\njunk") << QByteArray("Ok ab");
        QTest::newRow("no final blank line")
            << QByteArray("2\r\nab\r\n0\r\nX-T: 1\r\n") << QByteArray("Incomplete");
        QTest::newRow("huge size not allocated") << QByteArray("7FFFFFFF\r\nab") << QByteArray("Incomplete");
        QTest::newRow("not hex") << QByteArray("zz\r\nab\r\n0\r\n\r\n") << QByteArray("Bad");
        QTest::newRow("too many digits") << QByteArray("1000000000000000\r\n") << QByteArray("Bad");
        QTest::newRow("data not followed by CR LF")
            << QByteArray("4\r\nWikiXX0\r\n\r\n") << QByteArray("Bad");
    }

    void dechunk()
    {
        QFETCH(QByteArray, input);
        using Status = DechunkResult::Status;
        const DechunkResult r = Dechunk(input);
        QTEST(r.status == Status::Ok ? "Ok " + r.body
                                     : QByteArray(r.status == Status::Incomplete ? "Incomplete" : "Bad"),
              "expected");
    }

    void refreshTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds"); // taken at a fetch start; the previous value is 7
        QTest::addColumn<QString>("countdown"); // 5 seconds into the period
        QTest::newRow("half to even down") << "30.5" << 30 << "25.5";
        QTest::newRow("half to even up") << "31.5" << 32 << "26.5";
        QTest::newRow("32-bit minimum") << "-2147483648" << int(-2147483648LL) << "-2147483653";
        QTest::newRow("above range") << "2147483648" << 7 << "2147483643";
        QTest::newRow("plain, no exponent") << "1e20" << 7 << "100000000000000000000";
        QTest::newRow("words: the period in force") << "abc" << 7 << "2";
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
