// The picture stream reader. Input: a steering byte (piece size: value % 32 + 1; picture part
// limit: value / 32 * 16 bytes), a byte telling whether the server closes after the stream, the
// stream's Content-Type up to a line end, then the stream's bytes.

#include "fuzzcheck.h"

#include "slots/httpprotocol.h"
#include "slots/multipartreader.h"
#include "slots/replyheader.h"

namespace {

using Status = MultipartReader::Status;

constexpr qsizetype kPieceSteps = 32;
constexpr qsizetype kLimitStep = 16;
constexpr qsizetype kDelimiterLineSlack = 1024 + 8; // the reader's own bound on a delimiter line

struct Outcome
{
    Status status = Status::Incomplete;
    MultipartReader::Problem problem = MultipartReader::Problem::None;
    QByteArray header;
    QByteArray body;

    bool operator==(const Outcome &) const = default;
};

Outcome outcomeOf(const MultipartReader &reader)
{
    return {reader.status(), reader.problem(), reader.partHeader(), reader.partBody()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t steer = input.takeByte();
    const bool closed = input.takeByte() % 2 == 1;
    const QByteArrayView contentType = input.takeUpTo('\n');
    const QByteArrayView stream = input.rest();
    const qsizetype piece = steer % kPieceSteps + 1;
    const qsizetype maxPart = steer / kPieceSteps * kLimitStep;

    MultipartReader whole(contentType, maxPart);
    whole.feed(stream);
    const Outcome unclosed = outcomeOf(whole);
    if (closed)
        whole.close();
    const Outcome expected = outcomeOf(whole);
    FUZZ_CHECK(!closed || expected.status != Status::Incomplete);
    FUZZ_CHECK((expected.status == Status::Bad) == (expected.problem != MultipartReader::Problem::None));

    // Pieces give the same outcome, hold no more than the current part, and a part once found
    // or a failure once met stays as it is.
    MultipartReader pieces(contentType, maxPart);
    const qsizetype bound = HttpProtocol::kMaxHeaderBytes + HttpProtocol::kHeaderEnd.size() + maxPart +
        MultipartReader::boundaryOf(contentType).size() + kDelimiterLineSlack + piece;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        const Status before = pieces.status();
        const Outcome earlier = outcomeOf(pieces);
        pieces.feed(stream.sliced(at, std::min(piece, stream.size() - at)));
        FUZZ_CHECK(pieces.heldBytes() <= bound);
        FUZZ_CHECK(before == Status::Incomplete || outcomeOf(pieces) == earlier);
        FUZZ_CHECK(pieces.status() == Status::Incomplete || outcomeOf(pieces) == unclosed);
    }
    if (closed)
        pieces.close();
    FUZZ_CHECK(outcomeOf(pieces) == expected);

    if (expected.status != Status::Done)
        return 0;
    FUZZ_CHECK(expected.body.size() <= maxPart);
    FUZZ_CHECK(!expected.header.contains("\r\n\r\n"));
    const QList<QByteArray> types = headerValues(expected.header, "Content-Type");
    FUZZ_CHECK(!types.isEmpty() && types.first().toLower().startsWith("image/"));
    if (const std::optional<qint64> length = declaredBodyLength(expected.header))
        FUZZ_CHECK(expected.body.size() == *length);

    // The part sent again on its own, with its length, gives the same bytes.
    const QByteArray boundary = MultipartReader::boundaryOf(contentType);
    MultipartReader again(contentType, maxPart);
    again.feed("--" + boundary + "\r\nContent-Type: image/jpeg\r\nContent-Length: " +
               QByteArray::number(expected.body.size()) + "\r\n\r\n" + expected.body);
    FUZZ_CHECK(again.status() == Status::Done && again.partBody() == expected.body);
    return 0;
}
