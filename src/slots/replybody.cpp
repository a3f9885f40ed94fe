#include "slots/replybody.h"

#include "slots/dechunk.h"
#include "slots/replyheader.h"

#include <utility>

namespace {
constexpr QByteArrayView kJpegStart{"\xFF\xD8"};
constexpr QByteArrayView kJpegEnd{"\xFF\xD9"};

bool isPadding(char c)
{
    return c == '\r' || c == '\n' || c == ' ' || c == '\0';
}
} // namespace

bool jpegHasEnd(QByteArrayView body)
{
    if (!body.startsWith(kJpegStart))
        return true;
    qsizetype end = body.size();
    while (end > 0 && isPadding(body[end - 1]))
        --end;
    return body.first(end).endsWith(kJpegEnd);
}

std::optional<QByteArray> loadableBody(QByteArrayView headerBlock, const QByteArray &body)
{
    QByteArray joined = body; // shared, not copied
    if (isChunkedHeader(headerBlock)) {
        DechunkResult result = dechunk(body);
        if (result.status != DechunkResult::Status::Ok)
            return std::nullopt;
        joined = std::move(result.body);
        joined.squeeze();
    } else if (const std::optional<qint64> declared = declaredBodyLength(headerBlock)) {
        if (body.size() < *declared)
            return std::nullopt;
    }
    if (!jpegHasEnd(joined))
        return std::nullopt;
    return joined;
}
