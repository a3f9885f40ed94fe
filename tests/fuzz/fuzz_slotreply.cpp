// A camera's reply received in arbitrary pieces, then completed as a slot completes it.
// Input: a steering byte (number of piece sizes: value % 17; reply size limit: value / 17 * 64
// bytes, 0 for the program's own), the piece sizes, a budget byte (times 16 bytes), the reply.

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
constexpr int kCameras = 3;

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
        m_pos += size;
        return m_reply.sliced(m_pos - size, size);
    }

private:
    QByteArrayView m_reply, m_sizes;
    qsizetype m_pos = 0, m_next = 0, m_emptyInRow = 0;
};

struct Received
{
    bool failed = false;
    FetchOutcome::Kind failure = FetchOutcome::Kind::PictureReceived;
    bool headerDone = false;
    qint32 contentLength = 0, bytesReceived = 0;
    FinishedReply finished;
    QByteArray body;
};

// shown: the body of the picture the slot shows, which the reply's body is compared with.
Received receiveInPieces(QByteArrayView reply, QByteArrayView sizes, qsizetype sizeLimit,
                         const QByteArray &shown = {})
{
    SlotFetch fetch;
    if (sizeLimit > 0)
        fetch.setReplySizeLimit(sizeLimit);
    fetch.start(QStringLiteral("/p.jpg"), shown); // no host: nothing connects
    Received got;
    QObject::connect(&fetch, &SlotFetch::failed, &fetch, [&got](const FetchOutcome &outcome) {
        got.failed = true;
        got.failure = outcome.kind;
    });
    for (Pieces pieces(reply, sizes); !pieces.atEnd() && !got.failed;) {
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

// Three replies growing side by side (pieces in turn) under one budget: what they hold is what the
// budget counts, never more than it, and the replies given up for it are the largest.
void receiveSideBySide(QByteArrayView reply, QByteArrayView sizes, qsizetype budgetLimit)
{
    ReplyBudget budget(budgetLimit);
    std::array<SlotFetch, kCameras> fetches;
    std::array<bool, kCameras> failed{};
    for (int i = 0; i < kCameras; ++i) {
        fetches[i].setReplyBudget(&budget);
        QObject::connect(&fetches[i], &SlotFetch::failed, &fetches[i],
                         [&failed, i](const FetchOutcome &outcome) {
                             FUZZ_CHECK(outcome.kind == FetchOutcome::Kind::OverBudget);
                             failed[i] = true;
                         });
    }
    Pieces pieces(reply, sizes);
    for (int turn = 0; !pieces.atEnd() && std::count(failed.begin(), failed.end(), true) < kCameras;
         turn = (turn + 1) % kCameras) {
        if (failed[turn])
            continue;
        std::array<qsizetype, kCameras> held{};
        for (int i = 0; i < kCameras; ++i)
            held[i] = fetches[i].replyBuffer().size();
        const std::array<bool, kCameras> failedBefore = failed;
        const QByteArrayView piece = pieces.next();
        held[turn] += piece.size();
        fetches[turn].receiveBytes(piece);

        qsizetype inFlight = 0, largestKept = 0, smallestGivenUp = std::numeric_limits<qsizetype>::max();
        for (int i = 0; i < kCameras; ++i) {
            const qsizetype size = fetches[i].replyBuffer().size();
            FUZZ_CHECK(!failed[i] || size == 0);
            if (failed[i] && !failedBefore[i])
                smallestGivenUp = std::min(smallestGivenUp, held[i]);
            inFlight += size;
            largestKept = failed[i] ? largestKept : std::max(largestKept, size);
        }
        FUZZ_CHECK(budget.held() == inFlight && inFlight <= budgetLimit);
        FUZZ_CHECK(smallestGivenUp >= largestKept);
    }
    for (int i = 0; i < kCameras; ++i) { // a finished reply is the slot's, no longer counted
        if (!failed[i])
            fetches[i].finish();
    }
    FUZZ_CHECK(budget.held() == 0);
}

void checkCompletion(const QByteArray &header, const QByteArray &body)
{
    const bool chunked = isChunkedHeader(header);
    const std::optional<qint64> declared = declaredBodyLength(header);
    FUZZ_CHECK(!(chunked && declared) && (!declared || *declared >= 0));

    const std::optional<QByteArray> loadable = loadableBody(header, body);
    if (chunked && loadable) {
        const DechunkResult joined = dechunk(body);
        FUZZ_CHECK(joined.status == DechunkResult::Status::Ok && *loadable == joined.body);
    } else if (loadable) {
        FUZZ_CHECK(*loadable == body && (!declared || body.size() >= *declared));
    }
    FUZZ_CHECK(!loadable || jpegHasEnd(*loadable));

    const bool picture = isPictureHeader(header);
    const FetchOutcome outcome = replyOutcome(header, loadable.has_value(), false);
    const FetchOutcome withCredentials = replyOutcome(header, loadable.has_value(), true);
    // A password in the address changes nothing but what a 401 is told as.
    FUZZ_CHECK(withCredentials.kind == outcome.kind ||
               (outcome.kind == FetchOutcome::Kind::NeedsPassword &&
                withCredentials.kind == FetchOutcome::Kind::PasswordRefused));
    FUZZ_CHECK(picture || outcome.kind != FetchOutcome::Kind::PictureReceived);
    FUZZ_CHECK(!picture || outcome.failed() != loadable.has_value());
    const QString text = outcome.text(); // one short, printable line
    FUZZ_CHECK(!text.isEmpty() && text.size() <= 200);
    FUZZ_CHECK(
        std::none_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; }));

    // Three digits, 0 without a status line; a code outside 2xx is shown to the user.
    const int code = readStatusLine(header).code;
    FUZZ_CHECK(code >= 0 && code <= 999);
    if (!picture && code != 0 && (code < 200 || code > 299))
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
    const qsizetype sizeLimit = steer / (kMaxPieceSizes + 1) * 64;
    const qsizetype budgetLimit = input.takeByte() * 16;
    const QByteArrayView reply = input.rest();

    receiveSideBySide(reply, sizes, budgetLimit);

    // A reply fails for its size alone, whatever the cut; the header ends at the first CR LF CR LF.
    const bool tooLarge = sizeLimit > 0 && reply.size() > sizeLimit;
    const qsizetype headerEnd = reply.indexOf(HttpProtocol::kHeaderEnd);
    const qsizetype bodyStart = headerEnd < 0 ? 0 : headerEnd + HttpProtocol::kHeaderEnd.size();
    const Received whole = receiveInPieces(reply, {}, sizeLimit);
    const Received cut = receiveInPieces(reply, sizes, sizeLimit);
    // The same reply while the slot shows its body, or that body with one byte different or one
    // byte less: received the same, whatever is compared and not stored.
    const QByteArray body = reply.sliced(bodyStart).toByteArray();
    QByteArray otherByte = body;
    if (!otherByte.isEmpty())
        otherByte[otherByte.size() / 2] = char(otherByte[otherByte.size() / 2] ^ 1);
    const Received shownAgain = receiveInPieces(reply, sizes, sizeLimit, body);
    const Received shownOther = receiveInPieces(reply, sizes, sizeLimit, otherByte);
    const Received shownShorter =
        receiveInPieces(reply, sizes, sizeLimit, body.chopped(std::min<qsizetype>(1, body.size())));
    for (const Received *got : {&whole, &cut, &shownAgain, &shownOther, &shownShorter}) {
        FUZZ_CHECK(got->failed == tooLarge);
        FUZZ_CHECK(!got->failed || got->failure == FetchOutcome::Kind::ReplyTooLarge);
        if (tooLarge)
            continue;
        FUZZ_CHECK(got->headerDone == (headerEnd >= 0) && got->finished.hasHeader == (headerEnd >= 0));
        FUZZ_CHECK(got->finished.headerBlock == (headerEnd < 0 ? QByteArrayView() : reply.first(headerEnd)));
        FUZZ_CHECK(got->body == reply.sliced(bodyStart));
        FUZZ_CHECK(got->bytesReceived == reply.size() - bodyStart);
        FUZZ_CHECK(got->contentLength == (headerEnd < 0 ? 0 : contentLengthOf(got->finished.headerBlock)));
    }
    if (!tooLarge)
        checkCompletion(cut.finished.headerBlock, cut.body);
    return 0;
}
