#include "slots/replyheader.h"

#include "slots/httpprotocol.h"
#include "slots/wholenumber.h"

namespace {

using HttpProtocol::kLineEnd;
const QLatin1String kLastModified("Last-Modified:");

QLatin1String latin1(QByteArrayView bytes)
{
    return QLatin1String(bytes.data(), bytes.size());
}

// Calls visit(line) for each CR LF separated line until it returns true.
template<typename Visit>
void forEachLine(QByteArrayView block, Visit visit)
{
    qsizetype start = 0;
    while (true) {
        const qsizetype end = block.indexOf(kLineEnd, start);
        const QByteArrayView line = block.sliced(start, (end < 0 ? block.size() : end) - start);
        if (visit(line) || end < 0)
            return;
        start = end + kLineEnd.size();
    }
}

} // namespace

qint32 contentLengthOf(QByteArrayView headerBlock)
{
    qint32 length = 0;
    forEachLine(headerBlock, [&length](QByteArrayView line) {
        if (!line.contains(QByteArrayView("Content-Length")))
            return false;
        const qsizetype space = line.indexOf(' ');
        if (space >= 0) {
            const std::optional<qint32> value = toWholeNumber(latin1(line.sliced(space + 1)));
            if (value)
                length = *value;
        }
        return true;
    });
    return length;
}

std::optional<qint64> declaredBodyLength(QByteArrayView headerBlock)
{
    if (isChunkedHeader(headerBlock))
        return std::nullopt;
    std::optional<qint64> length;
    bool valid = true;
    forEachLine(headerBlock, [&length, &valid](QByteArrayView line) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.first(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) != 0)
            return false;
        const QByteArrayView digits = line.sliced(colon + 1).trimmed();
        bool ok = !digits.isEmpty();
        for (const char c : digits)
            ok = ok && c >= '0' && c <= '9';
        const qint64 value = ok ? digits.toLongLong(&ok) : -1;
        valid = ok && (!length || *length == value);
        length = value;
        return !valid;
    });
    return valid ? length : std::nullopt;
}

std::optional<int> progressValue(qint32 bytesReceived, qint32 contentLength)
{
    constexpr float kMinimum = 0.0F;
    constexpr float kMaximum = 100.0F;
    if (contentLength < 1)
        return std::nullopt;
    const auto percent =
        static_cast<float>(static_cast<double>(bytesReceived) / (static_cast<double>(contentLength) / 100.0));
    if (percent < kMinimum || percent > kMaximum)
        return std::nullopt;
    return qRound(percent);
}

bool isPictureHeader(QByteArrayView headerBlock)
{
    return latin1(headerBlock).contains(QLatin1String("image/"), Qt::CaseInsensitive);
}

bool isChunkedHeader(QByteArrayView headerBlock)
{
    bool chunked = false;
    forEachLine(headerBlock, [&chunked](QByteArrayView line) {
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            return false;
        const QString name = QString(latin1(line.first(colon))).trimmed();
        if (name.compare(QLatin1String("Transfer-Encoding"), Qt::CaseInsensitive) != 0)
            return false;
        const QString value = QString(latin1(line.sliced(colon + 1)));
        const QString lastCoding = value.section(QLatin1Char(','), -1).trimmed();
        chunked = lastCoding.compare(QLatin1String("chunked"), Qt::CaseInsensitive) == 0;
        return chunked;
    });
    return chunked;
}

LastModifiedCheck checkLastModified(QByteArrayView headerBlock, const QString &lastModified)
{
    LastModifiedCheck check;
    check.lastModified = lastModified;
    const QLatin1String block = latin1(headerBlock);
    const qsizetype start = block.indexOf(kLastModified, 0, Qt::CaseInsensitive);
    if (start < 0)
        return check;
    const qsizetype end = headerBlock.indexOf(kLineEnd, start);
    const QString line = QString(block.sliced(start, (end < 0 ? block.size() : end) - start));

    check.hasLine = true;
    check.updatedText = QString(line).remove(kLastModified, Qt::CaseInsensitive);
    if (line == lastModified)
        return check;
    check.pictureChanged = !lastModified.isEmpty();
    check.stampRefreshed = true;
    check.lastModified = line;
    return check;
}

StatusLine readStatusLine(QByteArrayView headerBlock)
{
    StatusLine status;
    const qsizetype end = headerBlock.indexOf(kLineEnd);
    const QByteArrayView line = end < 0 ? headerBlock : headerBlock.first(end);
    const qsizetype space = line.indexOf(' ');
    if (!line.startsWith("HTTP/") || space < 0 || line.size() < space + 4)
        return status;
    const QByteArrayView digits = line.sliced(space + 1, 3);
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return status;
    }
    if (line.size() > space + 4 && line[space + 4] != ' ')
        return status;
    status.code = digits.toInt();
    status.reason = line.sliced(space + 4).trimmed().toByteArray();
    return status;
}

QList<QByteArray> headerValues(QByteArrayView headerBlock, QByteArrayView name)
{
    QList<QByteArray> values;
    forEachLine(headerBlock, [&values, name](QByteArrayView line) {
        const qsizetype colon = line.indexOf(':');
        if (colon >= 0 && line.first(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            values.append(line.sliced(colon + 1).trimmed().toByteArray());
        return false;
    });
    return values;
}

bool isRedirectStatus(int code)
{
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}
