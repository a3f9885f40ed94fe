#include "camlist/camlistfile.h"

#include "camlist/camlistformat.h"
#include "camlist/camlistitem.h"
#include "common/fileexists.h"
#include "common/lockwindow.h"
#include "common/programfolder.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSaveFile>
#include <QString>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kCamListFileName[] = "00camlist.txt";

enum class ReadStatus { Ok, Missing, Failed };

struct CamListRead
{
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
};

CamListRead readCamList()
{
    CamListRead read;
    QFile file(camListPath());
    if (!file.exists()) {
        read.status = ReadStatus::Missing;
        return read;
    }
    if (!file.open(QIODevice::ReadOnly))
        return read;
    read.bytes = file.readAll();
    read.status = file.error() == QFileDevice::NoError ? ReadStatus::Ok : ReadStatus::Failed;
    return read;
}

// A list that holds a camera's password is readable and writable by its owner alone.
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// The list file exists and nobody but its owner may read or write it.
bool isOwnerOnly(const QString &path)
{
    struct stat status
    { };
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
        (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The new content goes to a temporary file in the same folder that replaces the list only once
// it is complete and on disk; on any failure the old file stays whole. commit() would rename the
// temporary file even after a failed write, so the write is checked in full before it. The
// temporary file takes the old one's permissions, or the owner-only ones before any byte is
// written when the content holds a password.
bool rewriteCamList(const QByteArray &bytes)
{
    QSaveFile file(camListPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (camListHoldsCredentials(bytes) && ::fchmod(file.handle(), kOwnerOnly) != 0)
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return false; // the destructor discards the temporary file
    return file.commit();
}

// Appends what bytesFor gives for the last bytes of the file as it is (creating the file).
// Unbuffered, so that a failed write leaves nothing pending; the file is then cut back to its
// old size: a half-written block would show up as a broken entry.
template<typename BytesFor>
bool appendToCamList(BytesFor bytesFor)
{
    constexpr qint64 kFileEndLength = 2; // enough to tell whether the last line has its break
    QFile file(camListPath());
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 oldSize = file.size();
    QByteArray fileEnd;
    if (oldSize > 0 && file.seek(std::max<qint64>(0, oldSize - kFileEndLength)))
        fileEnd = file.read(kFileEndLength);
    const QByteArray bytes = bytesFor(fileEnd);
    if (file.write(bytes) == bytes.size())
        return true;
    file.resize(oldSize);
    return false;
}

bool appendEntry(const CameraEntry &entry)
{
    // A list that will hold a password while others may read it is written anew, owner-only,
    // rather than appended to: the password is never readable by others, not even for a moment.
    if (!isOwnerOnly(camListPath())) {
        const CamListRead read = readCamList();
        if (read.status == ReadStatus::Failed)
            return false;
        if (addressHoldsCredentials(entry.address) || camListHoldsCredentials(read.bytes))
            return rewriteCamList(read.bytes + camEntryAppendBytes(read.bytes, entry));
    }
    return appendToCamList([&entry](QByteArrayView fileEnd) { return camEntryAppendBytes(fileEnd, entry); });
}

// The program folder is not the folder the program was installed in (that one is not
// writable): a list left there is the user's, copied over once and used from then on.
bool takeOverInstalledCamList()
{
    const QString installed = installedFolder() + QLatin1Char('/') + QLatin1String(kCamListFileName);
    if (QFileInfo(installed) == QFileInfo(camListPath()) || !QFileInfo(installed).isFile())
        return false;
    QFile from(installed);
    if (!from.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = from.readAll();
    return from.error() == QFileDevice::NoError && rewriteCamList(bytes);
}

void addListedNames(QListWidget *List1, const QByteArray &bytes)
{
    CamListItem::addNames(List1, camListNames(bytes));
}

} // namespace

QString camListPath()
{
    return ProgramFolder() + QLatin1Char('/') + QLatin1String(kCamListFileName);
}

void FillCamList(QListWidget *List1, QWidget *window)
{
    if (!FileExists(camListPath()) && !takeOverInstalledCamList())
        appendToCamList([](QByteArrayView) { return QByteArray(kCamListLineBreak); });
    const CamListRead read = readCamList();
    if (List1 == nullptr)
        return;
    LockWindow(window, true);
    addListedNames(List1, read.bytes);
    LockWindow(window, false);
}

void RefillCamList(QListWidget *List1)
{
    if (List1 == nullptr)
        return;
    List1->clear();
    addListedNames(List1, readCamList().bytes);
}

bool FindCamEntry(const QByteArray &name, CameraEntry &holder)
{
    if (name.isEmpty())
        return false;
    const CamListRead read = readCamList();
    if (read.status != ReadStatus::Ok)
        return false;
    const CamEntryLookup lookup = lookupCamEntry(read.bytes, name);
    if (lookup.found)
        holder = lookup.entry;
    return lookup.found;
}

bool AppendCamEntry(const CameraEntry &entry)
{
    if (!camEntryIsWritable(entry))
        return false;
    return appendEntry(entry);
}

bool RemoveCamEntry(const CameraEntry &entry)
{
    if (entry.name.isEmpty())
        return true;
    const CamListRead read = readCamList();
    if (read.status == ReadStatus::Missing)
        return true;
    if (read.status == ReadStatus::Failed)
        return false;
    const CamEntryRemoval removal = removeCamEntryBytes(read.bytes, entry.name);
    if (!removal.removed)
        return true;
    return rewriteCamList(removal.bytes);
}

bool replaceCamEntry(const CameraEntry &oldEntry, const CameraEntry &newEntry)
{
    if (!camEntryIsWritable(newEntry))
        return false;
    if (oldEntry.name.isEmpty())
        return appendEntry(newEntry);
    const CamListRead read = readCamList();
    if (read.status == ReadStatus::Failed)
        return false;
    const CamEntryRemoval removal = removeCamEntryBytes(read.bytes, oldEntry.name);
    if (!removal.removed)
        return appendEntry(newEntry);
    return rewriteCamList(removal.bytes + camEntryAppendBytes(removal.bytes, newEntry));
}
