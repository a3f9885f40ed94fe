// A camera's reply received in arbitrary pieces, then completed as a slot completes it.
// Input: one byte, then up to 16 piece sizes (one byte each, used in turn), then the reply's bytes.
// The first byte gives the number of sizes (its value modulo 17) and a size limit for the reply
// (its value divided by 17, times 64 bytes; 0 for the program's own limit).

#include "fuzzcheck.h"

#include "slots/dechunk.h"
#include "slots/fetchoutcome.h"
#include "slots/httpprotocol.h"
#include "slots/replybody.h"
#include "slots/replyheader.h"
#include "slots/slotfetch.h"

#include <QCoreApplication>

#include <memory>

namespace {

constexpr int kMaxPieceSizes = 16;
constexpr qsizetype kLimitStep = 64;

struct Received
{
    bool failed = false;
    FetchOutcome::Kind failure = FetchOutcome::Kind::PictureReceived;
    bool headerDone = false;
    qint32 contentLength = 0;
    qint32 bytesReceived = 0;
    FinishedReply finished;
    QByteArray body;
};

// Hands the reply over piece by piece as data events; an empty size list sends it whole.
Received receiveInPieces(QByteArrayView reply, QByteArrayView sizes, qsizetype sizeLimit)
{
    SlotFetch fetch;
    if (sizeLimit > 0)
        fetch.setReplySizeLimit(sizeLimit);
    Received got;
    QObject::connect(&fetch, &SlotFetch::failed, &fetch, [&got](const FetchOutcome &outcome) {
        got.failed = true;
        got.failure = outcome.kind;
    });
    qsizetype pos = 0;
    qsizetype next = 0;
    qsizetype emptyInRow = 0;
    while (pos < reply.size() && !got.failed) {
        qsizetype size = reply.size() - pos;
        if (!sizes.isEmpty() && emptyInRow <= sizes.size())
            size = std::min<qsizetype>(size, static_cast<uint8_t>(sizes[next++ % sizes.size()]));
        emptyInRow = size == 0 ? emptyInRow + 1 : 0;
        if (const std::optional<int> progress = fetch.receiveBytes(reply.sliced(pos, size)))
            FUZZ_CHECK(*progress >= 0 && *progress <= 100);
        FUZZ_CHECK(fetch.bytesReceived() >= 0);
        pos += size;
    }
    if (got.failed) {
        FUZZ_CHECK(fetch.replyBuffer().isEmpty()); // given up at once
        return got;
    }
    got.headerDone = fetch.headerDone();
    got.contentLength = fetch.contentLength();
    got.bytesReceived = fetch.bytesReceived();
    got.finished = fetch.finish();
    got.body = fetch.replyBuffer();
    return got;
}

void checkCompletion(const QByteArray &header, const QByteArray &body)
{
    const bool chunked = isChunkedHeader(header);
    const std::optional<qint64> declared = declaredBodyLength(header);
    FUZZ_CHECK(!(chunked && declared));
    FUZZ_CHECK(!declared || *declared >= 0);

    const std::optional<QByteArray> loadable = loadableBody(header, body);
    if (chunked) {
        const DechunkResult joined = dechunk(body);
        FUZZ_CHECK(!loadable || joined.status == DechunkResult::Status::Ok);
        FUZZ_CHECK(!loadable || *loadable == joined.body);
    } else if (loadable) {
        FUZZ_CHECK(*loadable == body);
        FUZZ_CHECK(!declared || body.size() >= *declared);
    }
    FUZZ_CHECK(!loadable || jpegHasEnd(*loadable));

    const bool picture = isPictureHeader(header);
    const FetchOutcome outcome = replyOutcome(header, loadable.has_value());
    FUZZ_CHECK(picture || outcome.kind != FetchOutcome::Kind::PictureReceived);
    FUZZ_CHECK(!picture || outcome.failed() != loadable.has_value());
    // The user sees one short, printable line.
    const QString text = outcome.text();
    FUZZ_CHECK(!text.isEmpty() && text.size() <= 200);
    for (const QChar c : text)
        FUZZ_CHECK(c.category() != QChar::Other_Control);

    const StatusLine status = readStatusLine(header);
    // Three digits read, 0 when there is no status line; a code outside 2xx is shown to the user.
    FUZZ_CHECK(status.code >= 0 && status.code <= 999);
    if (!picture && status.code != 0 && (status.code < 200 || status.code > 299))
        FUZZ_CHECK(outcome.kind == FetchOutcome::Kind::ServerAnswered ||
                   outcome.kind == FetchOutcome::Kind::NeedsPassword);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static auto app = std::make_unique<QCoreApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t steer = input.takeByte();
    const QByteArrayView sizes = input.take(steer % (kMaxPieceSizes + 1));
    const qsizetype sizeLimit = steer / (kMaxPieceSizes + 1) * kLimitStep;
    const QByteArrayView reply = input.rest();

    const Received whole = receiveInPieces(reply, {}, sizeLimit);
    const Received cut = receiveInPieces(reply, sizes, sizeLimit);
    // A reply fails for its size alone, whatever the cut.
    const bool tooLarge = sizeLimit > 0 && reply.size() > sizeLimit;
    for (const Received *got : {&whole, &cut}) {
        FUZZ_CHECK(got->failed == tooLarge);
        FUZZ_CHECK(!got->failed || got->failure == FetchOutcome::Kind::ReplyTooLarge);
    }
    if (tooLarge)
        return 0;

    // The header ends at the first CR LF CR LF, wherever the pieces were cut.
    const qsizetype headerEnd = reply.indexOf(HttpProtocol::kHeaderEnd);
    for (const Received *got : {&whole, &cut}) {
        FUZZ_CHECK(got->headerDone == (headerEnd >= 0));
        FUZZ_CHECK(got->finished.hasHeader == (headerEnd >= 0));
        if (headerEnd >= 0) {
            const qsizetype bodyStart = headerEnd + HttpProtocol::kHeaderEnd.size();
            FUZZ_CHECK(got->finished.headerBlock == reply.first(headerEnd));
            FUZZ_CHECK(got->body == reply.sliced(bodyStart));
            FUZZ_CHECK(got->bytesReceived == reply.size() - bodyStart);
            FUZZ_CHECK(got->contentLength == contentLengthOf(got->finished.headerBlock));
        } else {
            FUZZ_CHECK(got->finished.headerBlock.isEmpty());
            FUZZ_CHECK(got->body == reply);
            FUZZ_CHECK(got->bytesReceived == reply.size());
            FUZZ_CHECK(got->contentLength == 0);
        }
    }
    checkCompletion(cut.finished.headerBlock, cut.body);
    return 0;
}
