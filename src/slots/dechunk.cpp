#include "slots/dechunk.h"

#include "slots/httpprotocol.h"

#include <optional>

namespace {

using HttpProtocol::kLineEnd;
// Sizes of more hex digits than this cannot be real (and would overflow).
constexpr qsizetype kMaxSizeDigits = 15;

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The chunk size of a size line: hex digits, then optional spaces or tabs, then optionally
// ";" and extensions.
std::optional<qint64> chunkSize(QByteArrayView line)
{
    qint64 size = 0;
    qsizetype i = 0;
    for (; i < line.size() && hexValue(line[i]) >= 0; ++i) {
        if (i >= kMaxSizeDigits)
            return std::nullopt;
        size = size * 16 + hexValue(line[i]);
    }
    if (i == 0)
        return std::nullopt;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i < line.size() && line[i] != ';')
        return std::nullopt;
    return size;
}

} // namespace

DechunkResult dechunk(QByteArrayView chunked)
{
    using Status = DechunkResult::Status;
    DechunkResult result;
    result.body.reserve(chunked.size());
    qsizetype pos = 0;
    while (true) {
        const qsizetype lineEnd = chunked.indexOf(kLineEnd, pos);
        if (lineEnd < 0) {
            result.status = Status::Incomplete;
            return result;
        }
        const std::optional<qint64> size = chunkSize(chunked.sliced(pos, lineEnd - pos));
        if (!size) {
            result.status = Status::Bad;
            return result;
        }
        pos = lineEnd + kLineEnd.size();
        if (*size == 0)
            break;
        if (*size > chunked.size() - pos) {
            result.status = Status::Incomplete;
            return result;
        }
        result.body.append(chunked.sliced(pos, *size));
        pos += *size;
        if (chunked.size() - pos < kLineEnd.size()) {
            result.status = Status::Incomplete;
            return result;
        }
        if (chunked.sliced(pos, kLineEnd.size()) != kLineEnd) {
            result.status = Status::Bad;
            return result;
        }
        pos += kLineEnd.size();
    }
    // Trailer lines, up to the blank line that ends the body.
    while (true) {
        const qsizetype lineEnd = chunked.indexOf(kLineEnd, pos);
        if (lineEnd < 0) {
            result.status = Status::Incomplete;
            return result;
        }
        const bool blank = lineEnd == pos;
        pos = lineEnd + kLineEnd.size();
        if (blank)
            break;
    }
    result.status = Status::Ok;
    return result;
}
