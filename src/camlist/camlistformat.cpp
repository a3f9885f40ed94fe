#include "camlist/camlistformat.h"

#include <optional>

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr qsizetype kMarkerLength = sizeof(kCamListMarker) - 1;
constexpr char kByteOrderMark[] = "\xef\xbb\xbf";

// One line of the file: its text is bytes [start, start + length), followed by breakLength bytes
// of line break (2 for CR LF, 1 for a lone CR, 0 for a last line without a break).
struct CamListLine
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype breakLength = 0;

    qsizetype end() const { return start + length + breakLength; }
};

// The lines are found one at a time as they are read, never all at once: a file of line breaks
// would otherwise take many times its own size in memory.
qsizetype firstLineStart(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(kByteOrderMark)) ? sizeof(kByteOrderMark) - 1 : 0;
}

// The line that starts at start, which is inside the file.
CamListLine lineAt(QByteArrayView bytes, qsizetype start)
{
    const qsizetype size = bytes.size();
    qsizetype end = bytes.indexOf(kCR, start);
    if (end < 0)
        end = size;
    CamListLine line{start, end - start, 0};
    if (end < size)
        line.breakLength = (end + 1 < size && bytes[end + 1] == kLF) ? 2 : 1;
    return line;
}

// Calls visit with each line in file order until it returns false.
template<typename Visit>
void forEachLine(QByteArrayView bytes, Visit visit)
{
    for (qsizetype start = firstLineStart(bytes); start < bytes.size();) {
        const CamListLine line = lineAt(bytes, start);
        if (!visit(line))
            return;
        start = line.end();
    }
}

QByteArrayView lineText(QByteArrayView bytes, const CamListLine &line)
{
    return bytes.sliced(line.start, line.length);
}

// The marker is ASCII, so a byte-wise ASCII case fold finds it in any 8-bit encoding where
// ASCII bytes only stand for themselves (all the system encodings Qt supports here).
bool markerAt(QByteArrayView line, qsizetype at)
{
    if (line.size() - at < kMarkerLength)
        return false;
    return line.sliced(at, kMarkerLength).compare(QByteArrayView(kCamListMarker), Qt::CaseInsensitive) == 0;
}

// A block: its marker line and the two lines after it. A hand-edited block may be cut short, by
// the end of the file or by the next marker line: a line that starts with the marker in any
// letter case is never taken as an address or refresh, so removing the short block leaves the
// next one whole. Missing lines are absent.
struct CamBlockLines
{
    CamListLine marker;
    std::optional<CamListLine> address;
    std::optional<CamListLine> refresh;
};

CamBlockLines blockAt(QByteArrayView bytes, const CamListLine &marker)
{
    const auto lineAfter = [bytes](const CamListLine &line) -> std::optional<CamListLine> {
        if (line.end() >= bytes.size())
            return std::nullopt;
        const CamListLine next = lineAt(bytes, line.end());
        if (markerAt(lineText(bytes, next), 0))
            return std::nullopt;
        return next;
    };
    CamBlockLines block{marker, lineAfter(marker), std::nullopt};
    if (block.address)
        block.refresh = lineAfter(*block.address);
    return block;
}

// The name the list shows for a line; none when the line holds no marker.
std::optional<QByteArray> listedName(QByteArrayView line)
{
    QByteArray name;
    bool marked = false;
    qsizetype at = 0;
    while (at < line.size()) {
        if (markerAt(line, at)) {
            marked = true;
            at += kMarkerLength;
        } else {
            name.append(line[at]);
            ++at;
        }
    }
    if (!marked)
        return std::nullopt;
    return name;
}

// A line ends with a break when its file does: at a CR, or at CR LF (a lone LF is text).
bool endsWithLineBreak(QByteArrayView bytes)
{
    return bytes.endsWith(kCR) || bytes.endsWith(QByteArrayView(kCamListLineBreak));
}

QByteArray camEntryBlock(const CameraEntry &entry)
{
    QByteArray block = kCamListMarker + entry.name;
    block += kCamListLineBreak;
    block += entry.address;
    block += kCamListLineBreak;
    block += entry.refresh;
    block += kCamListLineBreak;
    block += kCamListLineBreak;
    return block;
}

} // namespace

QByteArrayList camListNames(QByteArrayView bytes)
{
    QByteArrayList names;
    forEachLine(bytes, [&](const CamListLine &line) {
        std::optional<QByteArray> name = listedName(lineText(bytes, line));
        if (name)
            names.append(std::move(*name));
        return true;
    });
    return names;
}

CamEntryLookup lookupCamEntry(QByteArrayView bytes, QByteArrayView name)
{
    CamEntryLookup lookup;
    if (name.isEmpty())
        return lookup;
    const QByteArray marker = kCamListMarker + name.toByteArray();
    forEachLine(bytes, [&](const CamListLine &line) {
        if (lineText(bytes, line) != QByteArrayView(marker))
            return true;
        const CamBlockLines block = blockAt(bytes, line);
        const auto textOf = [&](const std::optional<CamListLine> &l) {
            return l ? lineText(bytes, *l).toByteArray() : QByteArray();
        };
        lookup.found = true;
        lookup.entry = CameraEntry{name.toByteArray(), textOf(block.address), textOf(block.refresh)};
        lookup.markerStart = line.start;
        return false;
    });
    return lookup;
}

CamEntryFault camEntryFault(const CameraEntry &entry)
{
    if (entry.name.contains(kCR) || entry.address.contains(kCR) || entry.refresh.contains(kCR))
        return CamEntryFault::LineBreak;
    if (markerAt(entry.address, 0) || markerAt(entry.refresh, 0))
        return CamEntryFault::StartsWithMarker;
    return CamEntryFault::None;
}

bool camEntryIsWritable(const CameraEntry &entry)
{
    return camEntryFault(entry) == CamEntryFault::None;
}

QByteArray camEntryAppendBytes(QByteArrayView fileEnd, const CameraEntry &entry)
{
    if (fileEnd.isEmpty() || endsWithLineBreak(fileEnd))
        return camEntryBlock(entry);
    return kCamListLineBreak + camEntryBlock(entry);
}

bool addressHoldsCredentials(QByteArrayView address)
{
    QByteArrayView rest = address;
    const qsizetype schemeEnd = rest.indexOf(QByteArrayView("://"));
    bool scheme = schemeEnd > 0;
    for (qsizetype i = 0; scheme && i < schemeEnd; ++i)
        scheme = QChar::isLetter(static_cast<uchar>(rest[i]));
    if (scheme)
        rest = rest.sliced(schemeEnd + 3);
    const qsizetype slash = rest.indexOf('/');
    return rest.first(slash < 0 ? rest.size() : slash).contains('@');
}

bool camListHoldsCredentials(QByteArrayView bytes)
{
    bool holds = false;
    forEachLine(bytes, [&](const CamListLine &line) {
        if (!listedName(lineText(bytes, line)))
            return true;
        const std::optional<CamListLine> address = blockAt(bytes, line).address;
        holds = address && addressHoldsCredentials(lineText(bytes, *address));
        return !holds;
    });
    return holds;
}

CamEntryRemoval removeCamEntryBytes(QByteArrayView bytes, QByteArrayView name)
{
    CamEntryRemoval removal;
    const CamEntryLookup lookup = lookupCamEntry(bytes, name);
    if (!lookup.found)
        return removal;

    const auto [marker, address, refresh] = blockAt(bytes, lineAt(bytes, lookup.markerStart));

    // A line of the block that stays as an empty line keeps its own break; the last line of the
    // file had none, and gets CR LF so that it still counts as a line.
    const auto emptyLineFor = [&](const CamListLine &line) {
        return line.breakLength > 0 ? bytes.sliced(line.start + line.length, line.breakLength).toByteArray()
                                    : QByteArray(kCamListLineBreak);
    };

    QByteArray out = bytes.first(marker.start).toByteArray();
    out += emptyLineFor(marker);
    qsizetype restStart = address ? address->end() : marker.end();
    if (refresh) {
        out += emptyLineFor(*refresh);
        restStart = refresh->end();
    }
    out += bytes.sliced(restStart);

    if (!out.isEmpty() && !endsWithLineBreak(out))
        out += kCamListLineBreak;
    out += kCamListLineBreak;

    removal.removed = true;
    removal.bytes = out;
    return removal;
}
