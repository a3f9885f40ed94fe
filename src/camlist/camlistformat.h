#pragma once

#include "camlist/cameraentry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>

// The camera list file as bytes. One block per camera, as appended:
//   "[name]" + name, CR LF, address, CR LF, refresh, CR LF, CR LF
// A line ends at CR LF or at a lone CR (the break is not part of it); a lone LF belongs to the
// line; a last line without a break is still a line. Every line that is not part of a block is
// ignored. Texts are 8-bit in the system's encoding: names are decoded only for display and
// encoded the same way for a lookup, so the bytes of the file are never re-encoded.

inline constexpr char kCamListMarker[] = "[name]";
inline constexpr char kCamListLineBreak[] = "\r\n";

// One line of the file: its text is bytes [start, start + length), followed by breakLength bytes
// of line break (2 for CR LF, 1 for a lone CR, 0 for a last line without a break).
struct CamListLine
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype breakLength = 0;
};

QList<CamListLine> SplitCamListLines(QByteArrayView bytes);

// The list test: the line contains the marker anywhere, in any letter case.
bool PassesListTest(QByteArrayView line);
// The name the list shows for a line: the line with every marker occurrence (any letter case)
// removed in one left-to-right pass.
QByteArray ListTestName(QByteArrayView line);
// The names the list shows, one per line that passes the list test, in file order.
QStringList CamListNames(QByteArrayView bytes);

// The lookup test expects a line that is exactly this: the marker followed by the encoded name.
QByteArray CamEntryMarkerLine(const QString &name);

// The first block whose marker line passes the lookup test for the name. Lines missing at the
// end of the file count as empty text. An empty name is never found.
struct CamEntryLookup
{
    bool found = false;
    CameraEntry entry;
    qsizetype markerLine = -1; // index into SplitCamListLines
};
CamEntryLookup LookupCamEntry(QByteArrayView bytes, const QString &name);

// The bytes AppendCamEntry adds at the end of the file.
QByteArray CamEntryBlock(const CameraEntry &entry);
// False when a field holds a CR, which would break the block into other lines.
bool CamEntryIsWritable(const CameraEntry &entry);

// The file without the block LookupCamEntry finds for the name: the marker line and the refresh
// line become empty lines (keeping their own breaks), the address line goes with its break, and
// one more empty line ends the file (a last line without a break gets CR LF first). Every other
// byte stays as it was. removed is false (and bytes empty) when there is no such block.
struct CamEntryRemoval
{
    bool removed = false;
    QByteArray bytes;
};
CamEntryRemoval RemoveCamEntryBytes(QByteArrayView bytes, const QString &name);
