#pragma once

#include "retention/retentionrule.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

struct FolderFile;

// The files right inside `folder` pruning looks at: every "*.jpg" that is a plain file (no
// link, not hidden), with its metadata read (not the picture). Stops early, with what it has,
// when cancel is set.
QList<FolderFile> readPruneFolder(const QString &folder, const std::atomic<bool> *cancel = nullptr);

// What one pruning did.
struct PruneOutcome
{
    QStringList removed; // paths, oldest first
    qint64 removedBytes = 0;
    QStringList notRemoved; // "name: why" of each saved picture due to go that stayed
    qint64 savedBytesLeft = 0; // the saved pictures still in the folder
    qint64 bytesToFree = 0; // asked for besides the rule
};

// Reads the folder, plans (planPruning) and removes, one file at a time; runs on a worker. A
// read-only picture, or one the system refuses to remove, is left and named in notRemoved; one
// gone meanwhile is simply not counted.
PruneOutcome runPruning(const QString &folder, const QStringList &cameraNames, const RetentionRule &rule,
                        const QDateTime &now, qint64 bytesToFree = 0,
                        const std::atomic<bool> *cancel = nullptr);
