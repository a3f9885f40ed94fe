#include "camlist/camlistfile.h"

#include "camlist/camlistformat.h"
#include "common/fileexists.h"
#include "common/lockwindow.h"
#include "common/programfolder.h"

#include <QByteArray>
#include <QFile>
#include <QListWidget>
#include <QSaveFile>
#include <QString>

#include <unistd.h>

namespace {

constexpr char kCamListFileName[] = "00camlist.txt";

enum class ReadStatus { Ok, Missing, Failed };

struct CamListRead
{
    ReadStatus status = ReadStatus::Failed;
    QByteArray bytes;
};

CamListRead ReadCamList()
{
    CamListRead read;
    QFile file(CamListPath());
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

// Appends unbuffered so that a failed write leaves nothing pending, then cuts the file back to
// its old size: a half-written block would show up as a broken entry.
bool AppendToCamList(const QByteArray &bytes)
{
    QFile file(CamListPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 oldSize = file.size();
    if (file.write(bytes) == bytes.size())
        return true;
    file.resize(oldSize);
    return false;
}

// The new content goes to a temporary file in the same folder that replaces the list only once
// it is complete and on disk; on any failure the old file stays whole. commit() would rename the
// temporary file even after a failed write, so the write is checked in full before it.
bool RewriteCamList(const QByteArray &bytes)
{
    QSaveFile file(CamListPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
        return false; // the destructor discards the temporary file
    return file.commit();
}

void AddListedNames(QListWidget *List1, const QByteArray &bytes)
{
    List1->addItems(CamListNames(bytes));
}

} // namespace

QString CamListPath()
{
    return ProgramFolder() + QLatin1Char('/') + QLatin1String(kCamListFileName);
}

void FillCamList(QListWidget *List1, QWidget *window)
{
    if (!FileExists(CamListPath()))
        AppendToCamList(kCamListLineBreak);
    const CamListRead read = ReadCamList();
    if (List1 == nullptr)
        return;
    LockWindow(window, true);
    AddListedNames(List1, read.bytes);
    LockWindow(window, false);
}

void RefillCamList(QListWidget *List1)
{
    if (List1 == nullptr)
        return;
    List1->clear();
    AddListedNames(List1, ReadCamList().bytes);
}

bool FindCamEntry(const QString &name, CameraEntry &holder)
{
    if (name.isEmpty())
        return false;
    const CamListRead read = ReadCamList();
    if (read.status != ReadStatus::Ok)
        return false;
    const CamEntryLookup lookup = LookupCamEntry(read.bytes, name);
    if (lookup.found)
        holder = lookup.entry;
    return lookup.found;
}

bool AppendCamEntry(const CameraEntry &entry)
{
    if (!CamEntryIsWritable(entry))
        return false;
    return AppendToCamList(CamEntryBlock(entry));
}

bool RemoveCamEntry(const CameraEntry &entry)
{
    if (entry.name.isEmpty())
        return true;
    const CamListRead read = ReadCamList();
    if (read.status == ReadStatus::Missing)
        return true;
    if (read.status == ReadStatus::Failed)
        return false;
    const CamEntryRemoval removal = RemoveCamEntryBytes(read.bytes, entry.name);
    if (!removal.removed)
        return true;
    return RewriteCamList(removal.bytes);
}

bool ReplaceCamEntry(const CameraEntry &oldEntry, const CameraEntry &newEntry)
{
    if (!CamEntryIsWritable(newEntry))
        return false;
    if (oldEntry.name.isEmpty())
        return AppendToCamList(CamEntryBlock(newEntry));
    const CamListRead read = ReadCamList();
    if (read.status == ReadStatus::Failed)
        return false;
    const CamEntryRemoval removal = RemoveCamEntryBytes(read.bytes, oldEntry.name);
    if (!removal.removed)
        return AppendToCamList(CamEntryBlock(newEntry));
    return RewriteCamList(removal.bytes + CamEntryBlock(newEntry));
}
