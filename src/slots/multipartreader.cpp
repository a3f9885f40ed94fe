#include "slots/multipartreader.h"

#include "slots/httpprotocol.h"
#include "slots/replyheader.h"

#include <QList>

#include <algorithm>

namespace {

using HttpProtocol::kLineEnd;
constexpr QByteArrayView kStreamType{"multipart/x-mixed-replace"};
constexpr QByteArrayView kPictureType{"image/"};
constexpr QByteArrayView kDashes{"--"};
constexpr char kLf = '\n';
constexpr char kCr = '\r';
// What may follow a boundary on its line is spaces (and "--" on the closing one): a longer rest
// means the line was no delimiter.
constexpr qsizetype kMaxDelimiterLineBytes = 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == kCr;
}

QByteArrayView trimmedBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

QByteArrayView headerName(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    return colon < 0 ? QByteArrayView() : line.first(colon).trimmed();
}

// The lines of a block split at CR LF; none for an empty block.
QList<QByteArrayView> crLfLines(QByteArrayView block)
{
    QList<QByteArrayView> lines;
    for (qsizetype start = 0; !block.isEmpty() && start <= block.size();) {
        qsizetype end = block.indexOf(kLineEnd, start);
        if (end < 0)
            end = block.size();
        lines.append(block.sliced(start, end - start));
        start = end + kLineEnd.size();
    }
    return lines;
}

QByteArrayView mediaType(QByteArrayView contentType)
{
    const qsizetype semicolon = contentType.indexOf(';');
    return (semicolon < 0 ? contentType : contentType.first(semicolon)).trimmed();
}

} // namespace

bool MultipartReader::isStreamHeader(QByteArrayView headerBlock)
{
    const QList<QByteArray> types = headerValues(headerBlock, "Content-Type");
    return !types.isEmpty() && mediaType(types.first()).compare(kStreamType, Qt::CaseInsensitive) == 0;
}

QByteArray MultipartReader::boundaryOf(QByteArrayView contentType)
{
    qsizetype pos = contentType.indexOf(';');
    while (pos >= 0 && pos < contentType.size()) {
        ++pos; // over the ';'
        const qsizetype equals = contentType.indexOf('=', pos);
        const qsizetype nextSemicolon = contentType.indexOf(';', pos);
        if (equals < 0)
            return {};
        if (nextSemicolon >= 0 && nextSemicolon < equals) {
            pos = nextSemicolon; // a parameter without a value
            continue;
        }
        const bool named =
            contentType.sliced(pos, equals - pos).trimmed().compare("boundary", Qt::CaseInsensitive) == 0;
        QByteArray value;
        qsizetype at = equals + 1;
        while (at < contentType.size() && (contentType[at] == ' ' || contentType[at] == '\t'))
            ++at;
        if (at < contentType.size() && contentType[at] == '"') {
            for (++at; at < contentType.size() && contentType[at] != '"'; ++at) {
                if (contentType[at] == '\\' && at + 1 < contentType.size())
                    ++at;
                value += contentType[at];
            }
            pos = contentType.indexOf(';', at);
        } else {
            const qsizetype end = contentType.indexOf(';', at);
            value = contentType.sliced(at, (end < 0 ? contentType.size() : end) - at).trimmed().toByteArray();
            pos = end;
        }
        if (named)
            return value;
    }
    return {};
}

QByteArray MultipartReader::partReplyHeader(QByteArrayView replyHeader, QByteArrayView partHeader)
{
    const QList<QByteArrayView> lines = crLfLines(replyHeader);
    QList<QByteArrayView> kept;
    if (!lines.isEmpty())
        kept.append(lines.first());
    kept.append(crLfLines(partHeader));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView name = headerName(lines[i]);
        const bool wholeBody = name.compare("Content-Type", Qt::CaseInsensitive) == 0 ||
            name.compare("Content-Length", Qt::CaseInsensitive) == 0 ||
            name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0;
        if (!wholeBody)
            kept.append(lines[i]);
    }
    QByteArray header;
    for (qsizetype i = 0; i < kept.size(); ++i) {
        if (i > 0)
            header += kLineEnd;
        header += kept[i];
    }
    return header;
}

QString MultipartReader::problemText(Problem problem)
{
    switch (problem) {
    case Problem::None:
        break;
    case Problem::NoBoundary:
        return QStringLiteral("picture stream without a boundary");
    case Problem::PartHeaderTooLarge:
        return QStringLiteral("picture stream part header too large");
    case Problem::PartTooLarge:
        return QStringLiteral("picture stream part too large");
    case Problem::StreamEnded:
        return QStringLiteral("picture stream ended without a picture");
    case Problem::ClosedEarly:
        return QStringLiteral("picture stream closed before a whole picture");
    }
    return {};
}

MultipartReader::MultipartReader(QByteArrayView contentType, qsizetype maxPartBytes)
    : m_boundary(boundaryOf(contentType))
    , m_maxPartBytes(maxPartBytes)
{
    if (m_boundary.isEmpty())
        fail(Problem::NoBoundary);
    startSeeking();
}

void MultipartReader::fail(Problem problem)
{
    m_status = Status::Bad;
    m_problem = problem;
    m_line = QByteArray();
    m_header = QByteArray();
    m_body = QByteArray();
}

void MultipartReader::startSeeking()
{
    m_state = State::SeekDelimiter;
    m_line = QByteArray(1, kLf); // a delimiter may begin right here, as at the start of a line
}

MultipartReader::Status MultipartReader::feed(QByteArrayView bytes)
{
    while (m_status == Status::Incomplete && !bytes.isEmpty()) {
        qsizetype taken = 0;
        switch (m_state) {
        case State::SeekDelimiter:
            taken = seekDelimiter(bytes);
            break;
        case State::DelimiterLine:
            taken = readDelimiterLine(bytes);
            break;
        case State::PartHeader:
            taken = readPartHeader(bytes);
            break;
        case State::PartBodyByLength:
            taken = readBodyByLength(bytes);
            break;
        case State::PartBodyToDelimiter:
            taken = readBodyToDelimiter(bytes);
            break;
        }
        bytes = bytes.sliced(std::min(taken, bytes.size()));
    }
    return m_status;
}

MultipartReader::Status MultipartReader::close()
{
    // A delimiter line still waiting for its line end is ended by the close.
    if (m_status == Status::Incomplete && m_state == State::PartBodyToDelimiter) {
        const qsizetype at = m_body.indexOf(m_delimiter, m_scanned);
        if (at >= 0 && isDelimiterLine(at, true).value_or(false))
            endBodyAt(at);
    }
    if (m_status == Status::Incomplete)
        fail(Problem::ClosedEarly);
    return m_status;
}

qsizetype MultipartReader::seekDelimiter(QByteArrayView bytes)
{
    // m_line holds the end of what came before: too short to hold a whole delimiter, long
    // enough for one that began there.
    const QByteArray dashed = kLf + kDashes.toByteArray() + m_boundary;
    const QByteArray bare = kLf + m_boundary;
    QByteArray work = m_line;
    work += bytes;
    qsizetype at = -1;
    QByteArray found;
    for (const QByteArray &candidate : m_delimiter.isEmpty() ? QList{dashed, bare} : QList{m_delimiter}) {
        const qsizetype p = work.indexOf(candidate);
        if (p >= 0 && (at < 0 || p < at)) {
            at = p;
            found = candidate;
        }
    }
    if (at < 0) {
        const qsizetype keep = std::min(work.size(), dashed.size() - 1);
        m_line = work.last(keep);
        return bytes.size();
    }
    const qsizetype taken = at + found.size() - m_line.size();
    m_line = QByteArray();
    m_candidate = found;
    m_state = State::DelimiterLine;
    return taken;
}

qsizetype MultipartReader::readDelimiterLine(QByteArrayView bytes)
{
    const qsizetype lf = bytes.indexOf(kLf);
    if (lf < 0) {
        m_line += bytes;
        if (m_line.size() > kMaxDelimiterLineBytes) {
            // No delimiter; nor can one begin before a line end.
            m_state = State::SeekDelimiter;
            m_line = QByteArray();
        }
        return bytes.size();
    }
    m_line += bytes.first(lf);
    const QByteArrayView rest = trimmedBlanks(m_line);
    if (rest.isEmpty()) {
        m_delimiter = m_candidate;
        beginPart();
    } else if (rest == kDashes) {
        fail(Problem::StreamEnded);
    } else {
        startSeeking(); // no delimiter; the line end just read may begin one
    }
    return lf + 1;
}

void MultipartReader::beginPart()
{
    m_state = State::PartHeader;
    m_line = QByteArray();
    m_header = QByteArray();
    m_scanned = 0;
    m_body = QByteArray();
    m_keepBody = false;
    m_bodyLeft.reset();
}

qsizetype MultipartReader::readPartHeader(QByteArrayView bytes)
{
    // A header block may be kMaxHeaderBytes long; its blank line then ends 4 bytes later.
    const qsizetype limit = HttpProtocol::kMaxHeaderBytes + HttpProtocol::kHeaderEnd.size();
    const qsizetype before = m_header.size();
    m_header += bytes.first(std::min(limit - before, bytes.size()));
    // m_scanned is where the line being read starts.
    for (qsizetype lf = m_header.indexOf(kLf, m_scanned); lf >= 0; lf = m_header.indexOf(kLf, m_scanned)) {
        const qsizetype length = lf - m_scanned;
        const bool blank = length == 0 || (length == 1 && m_header[m_scanned] == kCr);
        if (blank) {
            const qsizetype taken = lf + 1 - before;
            endHeader();
            return taken;
        }
        m_scanned = lf + 1;
    }
    if (m_header.size() >= limit)
        fail(Problem::PartHeaderTooLarge);
    return bytes.size();
}

void MultipartReader::endHeader()
{
    // The lines up to the blank line, with CR LF ends; every one of them ends with LF.
    QByteArrayView lines = QByteArrayView(m_header).first(m_scanned);
    QByteArray header;
    header.reserve(lines.size());
    while (!lines.isEmpty()) {
        const qsizetype lf = lines.indexOf(kLf);
        QByteArrayView line = lines.first(lf);
        if (line.endsWith(kCr))
            line.chop(1);
        if (!header.isEmpty())
            header += kLineEnd;
        header += line;
        lines = lines.sliced(lf + 1);
    }
    m_header = header;
    if (m_header.size() > HttpProtocol::kMaxHeaderBytes) {
        fail(Problem::PartHeaderTooLarge);
        return;
    }
    const QList<QByteArray> types = headerValues(m_header, "Content-Type");
    m_keepBody = !types.isEmpty() && types.first().toLower().startsWith(kPictureType);
    m_bodyLeft = declaredBodyLength(m_header);
    if (m_keepBody && m_bodyLeft && *m_bodyLeft > m_maxPartBytes) {
        fail(Problem::PartTooLarge);
        return;
    }
    if (!m_bodyLeft) {
        if (m_keepBody) {
            m_state = State::PartBodyToDelimiter;
            m_body = QByteArray(1, kLf); // a delimiter may follow the blank line at once
            m_scanned = 0;
        } else {
            startSeeking(); // the part is read over up to the next delimiter
        }
        return;
    }
    if (m_keepBody)
        m_body.reserve(*m_bodyLeft);
    m_state = State::PartBodyByLength;
    if (*m_bodyLeft == 0)
        endBodyByLength();
}

qsizetype MultipartReader::readBodyByLength(QByteArrayView bytes)
{
    const qsizetype taken = std::min<qint64>(*m_bodyLeft, bytes.size());
    if (m_keepBody)
        m_body += bytes.first(taken);
    *m_bodyLeft -= taken;
    if (*m_bodyLeft == 0)
        endBodyByLength();
    return taken;
}

void MultipartReader::endBodyByLength()
{
    if (m_keepBody) {
        m_status = Status::Done;
        m_line = QByteArray();
        return;
    }
    startSeeking(); // a delimiter may follow at once, or after a line end
}

qsizetype MultipartReader::readBodyToDelimiter(QByteArrayView bytes)
{
    // m_body is a line end, then the part's bytes: a delimiter at its very start is found too.
    // A match is the part's end only once the rest of its line shows it is a delimiter line: the
    // boundary's text may well occur inside a picture's bytes.
    m_body += bytes;
    while (true) {
        const qsizetype at = m_body.indexOf(m_delimiter, m_scanned);
        if (at < 0) {
            m_scanned = std::max(m_scanned, m_body.size() - (m_delimiter.size() - 1));
            break;
        }
        const std::optional<bool> line = isDelimiterLine(at, false);
        if (!line) {
            m_scanned = at; // its line has not ended yet
            break;
        }
        if (*line) {
            endBodyAt(at);
            return bytes.size(); // what follows the part is not read
        }
        m_scanned = at + 1;
    }
    // Everything before the place a delimiter may still begin is the part's, but for a CR and the
    // line end that begin m_body.
    if (m_scanned - 2 > m_maxPartBytes)
        fail(Problem::PartTooLarge);
    return bytes.size();
}

std::optional<bool> MultipartReader::isDelimiterLine(qsizetype at, bool atEnd) const
{
    const qsizetype restStart = at + m_delimiter.size();
    qsizetype lf = m_body.indexOf(kLf, restStart);
    if (lf < 0) {
        if (m_body.size() - restStart > kMaxDelimiterLineBytes)
            return false;
        if (!atEnd)
            return std::nullopt;
        lf = m_body.size(); // the server's close ends the line
    }
    const QByteArrayView rest = trimmedBlanks(QByteArrayView(m_body).sliced(restStart, lf - restStart));
    return rest.isEmpty() || rest == kDashes;
}

bool MultipartReader::endBodyAt(qsizetype at)
{
    const qsizetype end = at > 0 && m_body[at - 1] == kCr ? at - 1 : at;
    if (end - 1 > m_maxPartBytes) {
        fail(Problem::PartTooLarge);
        return false;
    }
    m_body.truncate(end);
    m_body.remove(0, 1);
    m_status = Status::Done;
    return true;
}
