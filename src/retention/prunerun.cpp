#include "retention/prunerun.h"

#include "pictureinfo/picturemetadata.h"
#include "retention/pruneplan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool cancelled(const std::atomic<bool> *cancel)
{
    return cancel != nullptr && cancel->load();
}

} // namespace

QList<FolderFile> readPruneFolder(const QString &folder, const std::atomic<bool> *cancel)
{
    QList<FolderFile> files;
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QStringLiteral("*.jpg")}, QDir::Files | QDir::NoSymLinks, QDir::NoSort);
    files.reserve(entries.size());
    for (const QFileInfo &entry : entries) {
        if (cancelled(cancel))
            break;
        FolderFile file;
        file.name = entry.fileName();
        file.size = entry.size();
        file.modified = entry.lastModified();
        file.info = readPictureInfo(entry.filePath());
        file.readOnly = !entry.permissions().testFlag(QFileDevice::WriteOwner);
        files.append(std::move(file));
    }
    return files;
}

PruneOutcome runPruning(const QString &folder, const QStringList &cameraNames, const RetentionRule &rule,
                        const QDateTime &now, qint64 bytesToFree, const std::atomic<bool> *cancel)
{
    PruneOutcome outcome;
    outcome.bytesToFree = bytesToFree;
    const QList<FolderFile> files = readPruneFolder(folder, cancel);
    if (cancelled(cancel))
        return outcome;
    const PrunePlan plan = planPruning(files, cameraNames, rule, now, bytesToFree);
    outcome.savedBytesLeft = plan.savedBytes;
    const QDir dir(folder);
    for (const qsizetype i : plan.keptReadOnly)
        outcome.notRemoved.append(files[i].name + QStringLiteral(": read-only"));
    for (const qsizetype i : plan.remove) {
        if (cancelled(cancel))
            break;
        const FolderFile &file = files[i];
        QFile entry(dir.filePath(file.name));
        if (entry.remove()) {
            outcome.removed.append(entry.fileName());
            outcome.removedBytes += file.size;
            outcome.savedBytesLeft -= file.size;
        } else if (entry.exists()) {
            outcome.notRemoved.append(file.name + QStringLiteral(": ") + entry.errorString());
        } else {
            outcome.savedBytesLeft -= file.size; // gone meanwhile
        }
    }
    return outcome;
}
