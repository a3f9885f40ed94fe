#include "camlist/camlistformat.h"

#include <QList>

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
};

QList<CamListLine> splitCamListLines(QByteArrayView bytes)
{
    QList<CamListLine> lines;
    qsizetype start = bytes.startsWith(QByteArrayView(kByteOrderMark)) ? sizeof(kByteOrderMark) - 1 : 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && bytes[end] != kCR)
            ++end;
        CamListLine line{start, end - start, 0};
        if (end < size)
            line.breakLength = (end + 1 < size && bytes[end + 1] == kLF) ? 2 : 1;
        lines.append(line);
        start = end + line.breakLength;
    }
    return lines;
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
    for (const CamListLine &line : splitCamListLines(bytes)) {
        std::optional<QByteArray> name = listedName(lineText(bytes, line));
        if (name)
            names.append(std::move(*name));
    }
    return names;
}

CamEntryLookup lookupCamEntry(QByteArrayView bytes, QByteArrayView name)
{
    CamEntryLookup lookup;
    if (name.isEmpty())
        return lookup;
    const QByteArray marker = kCamListMarker + name.toByteArray();
    const QList<CamListLine> lines = splitCamListLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lineText(bytes, lines[i]) != QByteArrayView(marker))
            continue;
        const auto lineAfter = [&](qsizetype offset) {
            return i + offset < lines.size() ? lineText(bytes, lines[i + offset]).toByteArray()
                                             : QByteArray();
        };
        lookup.found = true;
        lookup.entry = CameraEntry{name.toByteArray(), lineAfter(1), lineAfter(2)};
        lookup.markerLine = i;
        break;
    }
    return lookup;
}

bool camEntryIsWritable(const CameraEntry &entry)
{
    return !entry.name.contains(kCR) && !entry.address.contains(kCR) && !entry.refresh.contains(kCR);
}

QByteArray camEntryAppendBytes(QByteArrayView fileEnd, const CameraEntry &entry)
{
    if (fileEnd.isEmpty() || endsWithLineBreak(fileEnd))
        return camEntryBlock(entry);
    return kCamListLineBreak + camEntryBlock(entry);
}

CamEntryRemoval removeCamEntryBytes(QByteArrayView bytes, QByteArrayView name)
{
    CamEntryRemoval removal;
    const CamEntryLookup lookup = lookupCamEntry(bytes, name);
    if (!lookup.found)
        return removal;

    const QList<CamListLine> lines = splitCamListLines(bytes);
    const qsizetype markerIndex = lookup.markerLine;
    const qsizetype addressIndex = markerIndex + 1;
    const qsizetype refreshIndex = markerIndex + 2;

    // A line of the block that stays as an empty line keeps its own break; the last line of the
    // file had none, and gets CR LF so that it still counts as a line.
    const auto emptyLineFor = [&](const CamListLine &line) {
        return line.breakLength > 0 ? bytes.sliced(line.start + line.length, line.breakLength).toByteArray()
                                    : QByteArray(kCamListLineBreak);
    };

    const CamListLine &marker = lines[markerIndex];
    QByteArray out = bytes.first(marker.start).toByteArray();
    out += emptyLineFor(marker);
    qsizetype restStart = marker.start + marker.length + marker.breakLength;
    if (addressIndex < lines.size()) {
        const CamListLine &address = lines[addressIndex];
        restStart = address.start + address.length + address.breakLength;
    }
    if (refreshIndex < lines.size()) {
        const CamListLine &refresh = lines[refreshIndex];
        out += emptyLineFor(refresh);
        restStart = refresh.start + refresh.length + refresh.breakLength;
    }
    out += bytes.sliced(restStart);

    if (!out.isEmpty() && !endsWithLineBreak(out))
        out += kCamListLineBreak;
    out += kCamListLineBreak;

    removal.removed = true;
    removal.bytes = out;
    return removal;
}
