// A camera's reply received in arbitrary pieces, then completed as a slot completes it.
// Input: one byte, then up to 16 piece sizes (one byte each, used in turn), one byte for a memory
// budget, then the reply's bytes. The first byte gives the number of sizes (its value modulo 17)
// and a size limit for the reply (its value divided by 17, times 64 bytes; 0 for the program's
// own limit). The budget is the byte's value times 16 bytes.

#include "fuzzcheck.h"

#include "slots/dechunk.h"
#include "slots/fetchoutcome.h"
#include "slots/httpprotocol.h"
#include "slots/replybody.h"
#include "slots/replybudget.h"
#include "slots/replyheader.h"
#include "slots/slotfetch.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace {

constexpr int kMaxPieceSizes = 16;
constexpr qsizetype kLimitStep = 64;
constexpr qsizetype kBudgetStep = 16;
constexpr int kCamerasSideBySide = 3;

// The reply's pieces: sizes used in turn, the rest in one piece once the sizes are all zero.
class Pieces
{
public:
    Pieces(QByteArrayView reply, QByteArrayView sizes)
        : m_reply(reply)
        , m_sizes(sizes)
    { }

    bool atEnd() const { return m_pos >= m_reply.size(); }
    QByteArrayView next()
    {
        qsizetype size = m_reply.size() - m_pos;
        if (!m_sizes.isEmpty() && m_emptyInRow <= m_sizes.size())
            size = std::min<qsizetype>(size, static_cast<uint8_t>(m_sizes[m_next++ % m_sizes.size()]));
        m_emptyInRow = size == 0 ? m_emptyInRow + 1 : 0;
        const QByteArrayView piece = m_reply.sliced(m_pos, size);
        m_pos += size;
        return piece;
    }

private:
    QByteArrayView m_reply;
    QByteArrayView m_sizes;
    qsizetype m_pos = 0;
    qsizetype m_next = 0;
    qsizetype m_emptyInRow = 0;
};

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
    Pieces pieces(reply, sizes);
    while (!pieces.atEnd() && !got.failed) {
        if (const std::optional<int> progress = fetch.receiveBytes(pieces.next()))
            FUZZ_CHECK(*progress >= 0 && *progress <= 100);
        FUZZ_CHECK(fetch.bytesReceived() >= 0);
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

// Three cameras' replies growing side by side (the pieces go to them in turn) under one budget:
// the replies in flight never hold more than it, what they hold is what the budget counts, and
// the replies given up for it are the largest.
void receiveSideBySide(QByteArrayView reply, QByteArrayView sizes, qsizetype budgetLimit)
{
    ReplyBudget budget(budgetLimit);
    std::array<SlotFetch, kCamerasSideBySide> fetches;
    std::array<bool, kCamerasSideBySide> failed{};
    for (int i = 0; i < kCamerasSideBySide; ++i) {
        fetches[i].setReplyBudget(&budget);
        QObject::connect(&fetches[i], &SlotFetch::failed, &fetches[i],
                         [&failed, i](const FetchOutcome &outcome) {
                             FUZZ_CHECK(outcome.kind == FetchOutcome::Kind::OverBudget);
                             failed[i] = true;
                         });
    }
    Pieces pieces(reply, sizes);
    const auto allFailed = [&failed] {
        return std::all_of(failed.begin(), failed.end(), [](bool f) { return f; });
    };
    for (int turn = 0; !pieces.atEnd() && !allFailed(); turn = (turn + 1) % kCamerasSideBySide) {
        if (failed[turn])
            continue;
        std::array<qsizetype, kCamerasSideBySide> held{};
        for (int i = 0; i < kCamerasSideBySide; ++i)
            held[i] = fetches[i].replyBuffer().size();
        const std::array<bool, kCamerasSideBySide> failedBefore = failed;
        const QByteArrayView piece = pieces.next();
        held[turn] += piece.size();
        fetches[turn].receiveBytes(piece);

        qsizetype inFlight = 0;
        qsizetype smallestGivenUp = std::numeric_limits<qsizetype>::max();
        qsizetype largestKept = 0;
        for (int i = 0; i < kCamerasSideBySide; ++i) {
            if (failed[i]) {
                FUZZ_CHECK(fetches[i].replyBuffer().isEmpty());
                if (!failedBefore[i])
                    smallestGivenUp = std::min(smallestGivenUp, held[i]);
            } else {
                inFlight += fetches[i].replyBuffer().size();
                largestKept = std::max(largestKept, fetches[i].replyBuffer().size());
            }
        }
        FUZZ_CHECK(budget.held() == inFlight);
        FUZZ_CHECK(inFlight <= budgetLimit);
        FUZZ_CHECK(smallestGivenUp >= largestKept);
    }
    // A finished reply is the slot's: the budget no longer counts it. (A fetch given up sees no
    // server's close, so it is never finished.)
    for (int i = 0; i < kCamerasSideBySide; ++i) {
        if (!failed[i])
            fetches[i].finish();
    }
    FUZZ_CHECK(budget.held() == 0);
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
    const qsizetype budgetLimit = input.takeByte() * kBudgetStep;
    const QByteArrayView reply = input.rest();

    receiveSideBySide(reply, sizes, budgetLimit);

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
