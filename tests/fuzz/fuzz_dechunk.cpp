// The de-chunker. Input: one byte steering the re-chunking and the prefixes tried, then the body
// as it came with "Transfer-Encoding: chunked".

#include "fuzzcheck.h"

#include "slots/dechunk.h"

namespace {

using Status = DechunkResult::Status;

// The body sent again in chunks of at most pieceSize bytes (an extension on every other one).
QByteArray rechunk(const QByteArray &body, qsizetype pieceSize)
{
    QByteArray chunked;
    for (qsizetype pos = 0; pos < body.size(); pos += pieceSize) {
        const qsizetype size = std::min(pieceSize, body.size() - pos);
        chunked += QByteArray::number(size, 16) + ((pos / pieceSize) % 2 ? ";name=value" : "") + "\r\n" +
            body.sliced(pos, size) + "\r\n";
    }
    return chunked + "0\r\n\r\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t steer = input.takeByte();
    const QByteArrayView chunked = input.rest();

    const DechunkResult whole = dechunk(chunked);
    FUZZ_CHECK(whole.body.size() <= chunked.size());
    if (whole.status == Status::Ok) {
        const DechunkResult again = dechunk(rechunk(whole.body, steer % 64 + 1));
        FUZZ_CHECK(again.status == Status::Ok && again.body == whole.body);
    }
    // A cut at the end makes a body wait for more, never bad; a cut that still ends it gives the same body.
    for (const qsizetype cut :
         {chunked.size() - 1, chunked.size() / 2, qsizetype(steer % (chunked.size() + 1))}) {
        if (cut < 0 || cut >= chunked.size())
            continue;
        const DechunkResult part = dechunk(chunked.first(cut));
        FUZZ_CHECK(whole.status == Status::Bad || part.status != Status::Bad);
        FUZZ_CHECK(part.status != Status::Ok || (whole.status == Status::Ok && part.body == whole.body));
    }
    return 0;
}
