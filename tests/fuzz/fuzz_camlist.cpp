// The camera list file read, searched, appended to and removed from. Input: one steering byte,
// then an entry's name, address and refresh text and the file's bytes, separated by NUL bytes.

#include "fuzzcheck.h"

#include "camlist/camlistformat.h"

namespace {

// A is what is left of B after taking out some of its elements, in order.
bool isSubsequence(const QByteArrayList &a, const QByteArrayList &b)
{
    qsizetype at = 0;
    for (const QByteArray &item : b)
        at += at < a.size() && a[at] == item;
    return at == a.size();
}

// Removing a camera found takes its name off the list (and any other line of its block holding a
// marker) and leaves the rest shown.
void checkRemoval(QByteArrayView file, const QByteArrayList &names, QByteArrayView name)
{
    const CamEntryLookup lookup = lookupCamEntry(file, name);
    const CamEntryRemoval removal = removeCamEntryBytes(file, name);
    FUZZ_CHECK(removal.removed == lookup.found);
    FUZZ_CHECK(!lookup.found || (!name.isEmpty() && lookup.entry.name == name));
    FUZZ_CHECK(removal.removed || removal.bytes.isEmpty());
    if (!removal.removed)
        return;
    const QByteArrayList left = camListNames(removal.bytes);
    const auto holdsMarker = [](const QByteArray &line) { return line.toLower().contains(kCamListMarker); };
    FUZZ_CHECK(left.size() ==
               names.size() - 1 - holdsMarker(lookup.entry.address) - holdsMarker(lookup.entry.refresh));
    FUZZ_CHECK(isSubsequence(left, names));
    const CamEntryLookup after = lookupCamEntry(removal.bytes, name);
    FUZZ_CHECK(!after.found || after.markerStart > lookup.markerStart);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t steer = input.takeByte();
    CameraEntry entry;
    entry.name = input.takeUpTo('\0').toByteArray();
    entry.address = input.takeUpTo('\0').toByteArray();
    entry.refresh = input.takeUpTo('\0').toByteArray();
    const QByteArrayView file = input.rest();

    const QByteArrayList names = camListNames(file);
    checkRemoval(file, names, entry.name);
    if (!names.isEmpty())
        checkRemoval(file, names, names[steer % names.size()]);

    // A camera appended is found with its own fields; removing it again leaves the file as it was.
    if (entry.name.isEmpty() || !camEntryIsWritable(entry) || lookupCamEntry(file, entry.name).found)
        return 0;
    const QByteArray appended = camEntryAppendBytes(file.last(std::min<qsizetype>(2, file.size())), entry);
    const QByteArray grown = file.toByteArray() + appended;
    const CamEntryLookup lookup = lookupCamEntry(grown, entry.name);
    FUZZ_CHECK(lookup.found && lookup.entry.name == entry.name);
    FUZZ_CHECK(lookup.entry.address == entry.address && lookup.entry.refresh == entry.refresh);
    FUZZ_CHECK(camListNames(grown) == names + camListNames(appended));

    const CamEntryRemoval removal = removeCamEntryBytes(grown, entry.name);
    FUZZ_CHECK(removal.removed && removal.bytes.startsWith(file));
    const QByteArrayView added = QByteArrayView(removal.bytes).sliced(file.size());
    FUZZ_CHECK(added == "\r\n\r\n\r\n\r\n" || added == "\r\n\r\n\r\n\r\n\r\n");
    FUZZ_CHECK(camListNames(removal.bytes) == names);
    return 0;
}
