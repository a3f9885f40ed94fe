#include "camlist/camlistformat.h"

#include <QString>

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr qsizetype kMarkerLength = sizeof(kCamListMarker) - 1;

QByteArrayView LineText(QByteArrayView bytes, const CamListLine &line)
{
    return bytes.sliced(line.start, line.length);
}

// The marker is ASCII, so a byte-wise ASCII case fold finds it in any 8-bit encoding where
// ASCII bytes only stand for themselves (all the system encodings Qt supports here).
bool MarkerAt(QByteArrayView line, qsizetype at)
{
    if (line.size() - at < kMarkerLength)
        return false;
    return line.sliced(at, kMarkerLength).compare(QByteArrayView(kCamListMarker), Qt::CaseInsensitive) == 0;
}

bool EndsWithLineBreak(const QByteArray &bytes)
{
    return bytes.endsWith(kCR) || bytes.endsWith(kCamListLineBreak);
}

} // namespace

QList<CamListLine> SplitCamListLines(QByteArrayView bytes)
{
    QList<CamListLine> lines;
    qsizetype start = 0;
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

bool PassesListTest(QByteArrayView line)
{
    for (qsizetype at = 0; at + kMarkerLength <= line.size(); ++at) {
        if (MarkerAt(line, at))
            return true;
    }
    return false;
}

QByteArray ListTestName(QByteArrayView line)
{
    QByteArray name;
    name.reserve(line.size());
    qsizetype at = 0;
    while (at < line.size()) {
        if (MarkerAt(line, at)) {
            at += kMarkerLength;
        } else {
            name.append(line[at]);
            ++at;
        }
    }
    return name;
}

QStringList CamListNames(QByteArrayView bytes)
{
    QStringList names;
    for (const CamListLine &line : SplitCamListLines(bytes)) {
        const QByteArrayView text = LineText(bytes, line);
        if (PassesListTest(text))
            names.append(QString::fromLocal8Bit(ListTestName(text)));
    }
    return names;
}

QByteArray CamEntryMarkerLine(const QString &name)
{
    return QByteArray(kCamListMarker) + name.toLocal8Bit();
}

CamEntryLookup LookupCamEntry(QByteArrayView bytes, const QString &name)
{
    CamEntryLookup lookup;
    if (name.isEmpty())
        return lookup;
    const QByteArray marker = CamEntryMarkerLine(name);
    const QList<CamListLine> lines = SplitCamListLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (LineText(bytes, lines[i]) != QByteArrayView(marker))
            continue;
        const auto textAfter = [&](qsizetype offset) {
            return i + offset < lines.size() ? QString::fromLocal8Bit(LineText(bytes, lines[i + offset]))
                                             : QString();
        };
        lookup.found = true;
        lookup.entry = CameraEntry{name, textAfter(1), textAfter(2)};
        lookup.markerLine = i;
        break;
    }
    return lookup;
}

QByteArray CamEntryBlock(const CameraEntry &entry)
{
    QByteArray block = CamEntryMarkerLine(entry.name);
    block += kCamListLineBreak;
    block += entry.address.toLocal8Bit();
    block += kCamListLineBreak;
    block += entry.refresh.toLocal8Bit();
    block += kCamListLineBreak;
    block += kCamListLineBreak;
    return block;
}

bool CamEntryIsWritable(const CameraEntry &entry)
{
    return !entry.name.contains(QLatin1Char(kCR)) && !entry.address.contains(QLatin1Char(kCR)) &&
        !entry.refresh.contains(QLatin1Char(kCR));
}

CamEntryRemoval RemoveCamEntryBytes(QByteArrayView bytes, const QString &name)
{
    CamEntryRemoval removal;
    const CamEntryLookup lookup = LookupCamEntry(bytes, name);
    if (!lookup.found)
        return removal;

    const QList<CamListLine> lines = SplitCamListLines(bytes);
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

    if (!out.isEmpty() && !EndsWithLineBreak(out))
        out += kCamListLineBreak;
    out += kCamListLineBreak;

    removal.removed = true;
    removal.bytes = out;
    return removal;
}
