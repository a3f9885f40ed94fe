#include "history/historyindex.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

bool earlier(const HistoryPicture &a, const HistoryPicture &b)
{
    if (a.time != b.time)
        return a.time < b.time;
    return a.fileName < b.fileName;
}

} // namespace

QList<FileStamp> listPictureFiles(const QString &folder)
{
    QList<FileStamp> files;
    // Hidden files (saves and videos still being written) are left out without QDir::Hidden; the
    // name filter ignores case.
    QDirIterator it(folder, {QStringLiteral("*.jpg")}, QDir::Files | QDir::NoSymLinks);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        files.append(FileStamp{info.fileName(), info.size(), info.lastModified().toMSecsSinceEpoch()});
    }
    return files;
}

QStringList filesToRead(const FolderIndex &previous, const QList<FileStamp> &listing)
{
    QStringList names;
    for (const FileStamp &file : listing) {
        const auto known = previous.constFind(file.name);
        if (known == previous.cend() || known->size != file.size || known->modifiedMs != file.modifiedMs)
            names.append(file.name);
    }
    return names;
}

FolderIndex updatedIndex(const FolderIndex &previous, const QList<FileStamp> &listing,
                         const QHash<QString, std::optional<PictureFacts>> &read)
{
    FolderIndex index;
    index.reserve(listing.size());
    for (const FileStamp &file : listing) {
        IndexedFile entry{file.size, file.modifiedMs, std::nullopt};
        const auto fresh = read.constFind(file.name);
        if (fresh != read.cend()) {
            entry.facts = *fresh;
        } else {
            const auto known = previous.constFind(file.name);
            if (known != previous.cend() && known->size == file.size && known->modifiedMs == file.modifiedMs)
                entry.facts = known->facts;
        }
        index.insert(file.name, entry);
    }
    return index;
}

QList<HistoryPicture> cameraHistory(const FolderIndex &index, const QString &camera,
                                    const QStringList &cameraNames, const SavedNameMatcher &matcher)
{
    QList<HistoryPicture> history;
    if (camera.isEmpty())
        return history;
    for (auto it = index.cbegin(); it != index.cend(); ++it) {
        const IndexedFile &file = it.value();
        if (file.facts) {
            if (file.facts->camera == camera && file.facts->received.isValid())
                history.append(HistoryPicture{it.key(), file.facts->received});
        } else if (matcher && matcher(it.key(), cameraNames) == camera) {
            history.append(HistoryPicture{it.key(), QDateTime::fromMSecsSinceEpoch(file.modifiedMs)});
        }
    }
    std::sort(history.begin(), history.end(), earlier);
    return history;
}

qsizetype historyPosition(const QList<HistoryPicture> &history, const HistoryPicture &picture)
{
    return std::lower_bound(history.cbegin(), history.cend(), picture, earlier) - history.cbegin();
}
