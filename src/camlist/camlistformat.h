#pragma once

#include "camlist/cameraentry.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>

// The camera list file as bytes. One block per camera, as appended:
//   "[name]" + name, CR LF, address, CR LF, refresh, CR LF, CR LF
// A line ends at CR LF or at a lone CR (the break is not part of it); a lone LF belongs to the
// line; a last line without a break is still a line. Every line that is not part of a block is
// ignored. The bytes of a line are never re-encoded. A UTF-8 byte-order mark that a text editor
// put at the start of the file belongs to no line (else the first entry would be listed under a
// name that no lookup finds); it stays where it is when the file is rewritten.

inline constexpr char kCamListMarker[] = "[name]";
inline constexpr char kCamListLineBreak[] = "\r\n";

// The names the list shows, in file order: one per line that holds the marker anywhere, in any
// letter case, with every marker occurrence removed in one left-to-right pass.
QByteArrayList camListNames(QByteArrayView bytes);

// The first block whose marker line is exactly the marker followed by the name. A block cut
// short, by the end of the file or by a line that starts with the marker (in any letter case),
// has its missing lines empty. An empty name is never found.
struct CamEntryLookup
{
    bool found = false;
    CameraEntry entry;
    qsizetype markerStart = -1; // where the marker line starts in the file
};
CamEntryLookup lookupCamEntry(QByteArrayView bytes, QByteArrayView name);

// Why an entry cannot be written as a block that reads back as itself: a field holding a CR would
// break the block into other lines; an address or refresh that starts with the marker (any letter
// case) would be read back as the start of another block.
enum class CamEntryFault { None, LineBreak, StartsWithMarker };
CamEntryFault camEntryFault(const CameraEntry &entry);
bool camEntryIsWritable(const CameraEntry &entry);

// The bytes that add the entry's block at the end of a file whose content ends with fileEnd (the
// last two bytes are enough): when the file's last line has no break, the block starts on a new
// line.
QByteArray camEntryAppendBytes(QByteArrayView fileEnd, const CameraEntry &entry);

// An address that carries "user:password@" (or a user name alone) before its host, after an
// optional "scheme://", whether or not a slot could fetch it.
bool addressHoldsCredentials(QByteArrayView address);
// Some block of the list (a line the list shows a name for, and the address line after it)
// holds such an address.
bool camListHoldsCredentials(QByteArrayView bytes);

// The file without the block lookupCamEntry finds for the name: the marker line and the refresh
// line become empty lines (keeping their own breaks), the address line goes with its break, and
// one more empty line ends the file (a last line without a break gets CR LF first). Every other
// byte stays as it was. removed is false (and bytes empty) when there is no such block.
struct CamEntryRemoval
{
    bool removed = false;
    QByteArray bytes;
};
CamEntryRemoval removeCamEntryBytes(QByteArrayView bytes, QByteArrayView name);
