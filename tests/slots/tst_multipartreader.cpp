#include "slots/httpprotocol.h"
#include "slots/multipartreader.h"
#include "slots/replyheader.h"

#include <QtTest>

using Status = MultipartReader::Status;
using Problem = MultipartReader::Problem;

namespace {

constexpr qsizetype kLimit = 64;
// Inputs up to this long are fed split at every position; longer ones at a few.
constexpr qsizetype kSplitEverywhere = 400;

struct Outcome
{
    Status status = Status::Incomplete;
    Problem problem = Problem::None;
    QByteArray header;
    QByteArray body;

    bool operator==(const Outcome &) const = default;
};

// The stream fed in pieces that start at the given offsets, then closed when the server closes.
Outcome read(const QByteArray &contentType, const QByteArray &stream, qsizetype maxPart, bool closed,
             const QList<qsizetype> &cuts)
{
    MultipartReader reader(contentType, maxPart);
    qsizetype from = 0;
    for (const qsizetype cut : cuts) {
        reader.feed(QByteArrayView(stream).sliced(from, cut - from));
        from = cut;
    }
    reader.feed(QByteArrayView(stream).sliced(from));
    if (closed)
        reader.close();
    return {reader.status(), reader.problem(), reader.partHeader(), reader.partBody()};
}

QByteArray picturePart(const QByteArray &body)
{
    return "--b\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\n\r\n" + body + "\r\n";
}

} // namespace

// A camera's picture stream read part by part, as its body arrives in any pieces.
class TestMultipartReader : public QObject
{
    Q_OBJECT

private slots:
    void stream_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<qsizetype>("maxPart");
        QTest::addColumn<bool>("closed"); // the server closes the connection after the bytes
        QTest::addColumn<Status>("status");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("body");
        const QByteArray type = "multipart/x-mixed-replace; boundary=b";
        const QByteArray jpeg = "Content-Type: image/jpeg";

        QTest::newRow("quoted boundary, parts with Content-Length")
            << QByteArray("multipart/x-mixed-replace; boundary=\"frame\"")
            << QByteArray("--frame\r\nContent-Type: image/jpeg\r\nContent-Length: 4\r\n\r\nJPEG\r\n"
                          "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: 4\r\n\r\nNEXT\r\n")
            << kLimit << false << Status::Done << Problem::None
            << QByteArray("Content-Type: image/jpeg\r\nContent-Length: 4") << QByteArray("JPEG");
        QTest::newRow("unquoted boundary without dashes in the body, no Content-Length")
            << QByteArray("Multipart/X-Mixed-Replace;boundary=myboundary")
            << QByteArray("myboundary\r\nContent-Type: image/jpeg\r\n\r\nAB\r\nCD\r\nmyboundary\r\n")
            << kLimit << false << Status::Done << Problem::None << jpeg << QByteArray("AB\r\nCD");
        QTest::newRow("text part before the picture, the boundary inside its line")
            << type
            << QByteArray("--b\r\nContent-Type: text/plain\r\n\r\nhello --b inside\r\n--b\r\n"
                          "Content-Type: image/png\r\nContent-Length: 3\r\n\r\nPNG")
            << kLimit << false << Status::Done << Problem::None
            << QByteArray("Content-Type: image/png\r\nContent-Length: 3") << QByteArray("PNG");
        QTest::newRow("a part's Content-Length covers a line that looks like a delimiter")
            << type
            << QByteArray("--b\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n\r\n\r\n--b\r\nxx\r\n"
                          "--b\r\nContent-Type: image/jpeg\r\n\r\nP\r\n--b--\r\n")
            << kLimit << false << Status::Done << Problem::None << jpeg << QByteArray("P");
        QTest::newRow("preamble, LF line ends, type in other letter case")
            << type << QByteArray("preamble text\n--b\ncontent-type: IMAGE/JPEG\n\nXY\n--b--\n") << kLimit
            << false << Status::Done << Problem::None << QByteArray("content-type: IMAGE/JPEG")
            << QByteArray("XY");
        QTest::newRow("spaces after the boundary")
            << type << QByteArray("--b  \t\r\nContent-Type: image/jpeg\r\n\r\nZ\r\n--b \r\n") << kLimit
            << false << Status::Done << Problem::None << jpeg << QByteArray("Z");
        QTest::newRow("a preamble line that only begins with the boundary")
            << QByteArray("multipart/x-mixed-replace; boundary=frame")
            << QByteArray(
                   "frames follow\r\n--frame\r\nContent-Type: image/jpeg\r\nContent-Length: 1\r\n\r\nQ")
            << kLimit << false << Status::Done << Problem::None
            << QByteArray("Content-Type: image/jpeg\r\nContent-Length: 1") << QByteArray("Q");
        QTest::newRow("the first delimiter's form holds for the stream")
            << type
            << QByteArray("--b\r\nContent-Type: text/plain\r\n\r\nb\r\nstill text\r\n--b\r\n"
                          "Content-Type: image/jpeg\r\n\r\nI\r\n--b\r\n")
            << kLimit << false << Status::Done << Problem::None << jpeg << QByteArray("I");
        QTest::newRow("part without a header, then the picture")
            << type << QByteArray("--b\r\n\r\nno type\r\n--b\r\nContent-Type: image/gif\r\n\r\nG\r\n--b\r\n")
            << kLimit << false << Status::Done << Problem::None << QByteArray("Content-Type: image/gif")
            << QByteArray("G");
        QTest::newRow("picture part of exactly the limit")
            << type << QByteArray("--b\r\nContent-Type: image/jpeg\r\n\r\nABCD\r\n--b\r\n") << qsizetype(4)
            << false << Status::Done << Problem::None << jpeg << QByteArray("ABCD");
        QTest::newRow("the boundary's text inside a picture without a length")
            << type << QByteArray("b\r\nContent-Type: image/jpeg\r\n\r\nxx\nbinary\r\n--bb\r\nyy\r\nb\r\n")
            << kLimit << false << Status::Done << Problem::None << jpeg
            << QByteArray("xx\nbinary\r\n--bb\r\nyy");
        QTest::newRow("a picture's next delimiter line not yet ended")
            << type << QByteArray("--b\r\nContent-Type: image/jpeg\r\n\r\nAB\r\n--b") << kLimit << false
            << Status::Incomplete << Problem::None << QByteArray() << QByteArray();
        QTest::newRow("a picture's closing delimiter ended by the server's close")
            << type << QByteArray("--b\r\nContent-Type: image/jpeg\r\n\r\nAB\r\n--b--") << kLimit << true
            << Status::Done << Problem::None << jpeg << QByteArray("AB");
        QTest::newRow("text part larger than the limit is read over")
            << type
            << QByteArray("--b\r\nContent-Length: 20\r\n\r\n01234567890123456789\r\n") + picturePart("OK")
            << qsizetype(4) << false << Status::Done << Problem::None
            << QByteArray("Content-Type: image/jpeg\r\nContent-Length: 2") << QByteArray("OK");

        QTest::newRow("picture part declared larger than the limit")
            << type << picturePart("ABCDE") << qsizetype(4) << false << Status::Bad << Problem::PartTooLarge
            << QByteArray() << QByteArray();
        QTest::newRow("picture part without a length growing past the limit")
            << type << QByteArray("--b\r\nContent-Type: image/jpeg\r\n\r\n0123456789AB") << qsizetype(4)
            << false << Status::Bad << Problem::PartTooLarge << QByteArray() << QByteArray();
        QTest::newRow("no boundary in the content type")
            << QByteArray("multipart/x-mixed-replace; boundary=\"\"") << picturePart("X") << kLimit << false
            << Status::Bad << Problem::NoBoundary << QByteArray() << QByteArray();
        QTest::newRow("a stream that never completes a part")
            << type << QByteArray("--b\r\nContent-Type: image/jpeg\r\nContent-Length: 10\r\n\r\nabc")
            << kLimit << false << Status::Incomplete << Problem::None << QByteArray() << QByteArray();
        QTest::newRow("a stream that closes early")
            << type << QByteArray("--b\r\nContent-Type: image/jpeg\r\nContent-Length: 10\r\n\r\nabc")
            << kLimit << true << Status::Bad << Problem::ClosedEarly << QByteArray() << QByteArray();
        QTest::newRow("a stream that closes before its first delimiter")
            << type << QByteArray("--") << kLimit << true << Status::Bad << Problem::ClosedEarly
            << QByteArray() << QByteArray();
        QTest::newRow("the closing delimiter before any picture")
            << type << QByteArray("--b\r\nContent-Type: text/plain\r\n\r\nx\r\n--b--\r\nepilogue") << kLimit
            << true << Status::Bad << Problem::StreamEnded << QByteArray() << QByteArray();
        QTest::newRow("a picture ends the stream before the server's close")
            << type << picturePart("LAST") + "--b--\r\n"
            << kLimit << true << Status::Done << Problem::None
            << QByteArray("Content-Type: image/jpeg\r\nContent-Length: 4") << QByteArray("LAST");

        const QByteArray longLine = "X-Pad: " + QByteArray(HttpProtocol::kMaxHeaderBytes, 'p');
        const auto withHeaderOf = [](qsizetype bytes) {
            const QByteArray start = "Content-Type: image/jpeg\r\nX-Pad: ";
            return start + QByteArray(bytes - start.size(), 'p');
        };
        QTest::newRow("part header of exactly the header limit")
            << type << "--b\r\n" + withHeaderOf(HttpProtocol::kMaxHeaderBytes) + "\r\n\r\nH\r\n--b\r\n"
            << kLimit << false << Status::Done << Problem::None << withHeaderOf(HttpProtocol::kMaxHeaderBytes)
            << QByteArray("H");
        QTest::newRow("part header one byte over the header limit")
            << type << "--b\r\n" + withHeaderOf(HttpProtocol::kMaxHeaderBytes + 1) + "\r\n\r\nH\r\n--b"
            << kLimit << false << Status::Bad << Problem::PartHeaderTooLarge << QByteArray() << QByteArray();
        QTest::newRow("part header without an end")
            << type << "--b\r\n" + longLine + longLine << kLimit << false << Status::Bad
            << Problem::PartHeaderTooLarge << QByteArray() << QByteArray();
    }

    void stream()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, stream);
        QFETCH(qsizetype, maxPart);
        QFETCH(bool, closed);
        const Outcome whole = read(contentType, stream, maxPart, closed, {});
        QTEST(whole.status, "status");
        QTEST(whole.problem, "problem");
        QTEST(whole.header, "header");
        QTEST(whole.body, "body");

        // The same outcome whatever the pieces the bytes arrive in.
        QList<QList<qsizetype>> splits;
        if (stream.size() <= kSplitEverywhere) {
            for (qsizetype at = 1; at < stream.size(); ++at)
                splits.append(QList<qsizetype>{at});
            QList<qsizetype> everyByte;
            for (qsizetype at = 1; at < stream.size(); ++at)
                everyByte.append(at);
            splits.append(everyByte);
        } else {
            for (const qsizetype at : {qsizetype(1), qsizetype(5), stream.size() / 3, stream.size() - 3})
                splits.append(QList<qsizetype>{at});
        }
        for (const QList<qsizetype> &cuts : splits) {
            if (!(read(contentType, stream, maxPart, closed, cuts) == whole))
                QFAIL(qPrintable(QStringLiteral("another outcome when cut at %1 (of %2 cuts)")
                                     .arg(cuts.first())
                                     .arg(cuts.size())));
        }
    }

    // Only the current part is held, however long the stream runs before its picture.
    void memoryStaysBounded()
    {
        const QByteArray textPart =
            "--b\r\nContent-Type: text/plain\r\n\r\n" + QByteArray(1000, 't') + "\r\n";
        const QByteArray lengthPart = "--b\r\nContent-Length: 1000\r\n\r\n" + QByteArray(1000, 'l') + "\r\n";
        QByteArray stream = "preamble " + QByteArray(5000, 'p') + "\r\n";
        for (int i = 0; i < 500; ++i)
            stream += i % 2 == 0 ? textPart : lengthPart;
        stream += "--b\r\nContent-Type: image/jpeg\r\n\r\n" + QByteArray(3000, 'j');
        MultipartReader reader("multipart/x-mixed-replace; boundary=b", 4000);
        constexpr qsizetype kPiece = 512;
        qsizetype most = 0;
        for (qsizetype at = 0; at < stream.size(); at += kPiece) {
            reader.feed(QByteArrayView(stream).sliced(at, std::min(kPiece, stream.size() - at)));
            most = std::max(most, reader.heldBytes());
        }
        QCOMPARE(reader.status(), Status::Incomplete);
        QVERIFY2(most <= 3000 + kPiece, qPrintable(QString::number(most)));
    }

    void boundary_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("boundary");
        QTest::newRow("token") << QByteArray("multipart/x-mixed-replace; boundary=frame")
                               << QByteArray("frame");
        QTest::newRow("after another parameter, name in capitals, spaces")
            << QByteArray("multipart/x-mixed-replace ; charset=x ; BOUNDARY = --my frame ")
            << QByteArray("--my frame");
        QTest::newRow("quoted, with an escaped quote and a semicolon")
            << QByteArray("multipart/x-mixed-replace; boundary=\"a\\\"b; c\"; x=1") << QByteArray("a\"b; c");
        QTest::newRow("a quoted parameter before it holds a semicolon")
            << QByteArray("multipart/x-mixed-replace; title=\"x; boundary=no\"; boundary=yes")
            << QByteArray("yes");
        QTest::newRow("a parameter whose name ends in boundary")
            << QByteArray("multipart/x-mixed-replace; myboundary=no") << QByteArray();
        QTest::newRow("none") << QByteArray("multipart/x-mixed-replace") << QByteArray();
    }

    void boundary()
    {
        QFETCH(QByteArray, contentType);
        QTEST(MultipartReader::boundaryOf(contentType), "boundary");
    }

    void streamHeader_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<bool>("isStream");
        QTest::newRow("stream")
            << QByteArray("HTTP/1.1 200 OK\r\ncontent-type: Multipart/X-Mixed-Replace;boundary=b") << true;
        QTest::newRow("other multipart")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=b") << false;
        QTest::newRow("picture") << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg") << false;
        QTest::newRow("only the first Content-Type counts")
            << QByteArray(
                   "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Type: multipart/x-mixed-replace")
            << false;
    }

    void streamHeader()
    {
        QFETCH(QByteArray, header);
        QTEST(MultipartReader::isStreamHeader(header), "isStream");
    }

    // The picture part is handled as a reply of its own: its type, length and date decide.
    void partReplyHeader()
    {
        const QByteArray merged = MultipartReader::partReplyHeader(
            "HTTP/1.1 200 OK\r\nServer: cam\r\nContent-Type: multipart/x-mixed-replace; boundary=b\r\n"
            "transfer-encoding: chunked\r\nLast-Modified: A",
            "Content-Type: image/jpeg\r\nContent-Length: 4\r\nLast-Modified: B");
        QCOMPARE(merged,
                 QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 4\r\n"
                            "Last-Modified: B\r\nServer: cam\r\nLast-Modified: A"));
        QCOMPARE(declaredBodyLength(merged), std::optional<qint64>(4));
        QCOMPARE(checkLastModified(merged, {}).lastModified, QStringLiteral("Last-Modified: B"));
    }
};

QTEST_GUILESS_MAIN(TestMultipartReader)
#include "tst_multipartreader.moc"
