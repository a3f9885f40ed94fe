#pragma once

#include "pictureinfo/pictureinfo.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct RetentionRule;

// A file right inside the `cam` folder, as the pruning sees it.
struct FolderFile
{
    QString name; // no folder
    qint64 size = 0;
    QDateTime modified;
    std::optional<PictureInfo> info; // the metadata of ours it carries, if any
    bool readOnly = false; // its owner may not write it: the user keeps it
};

// Whether this program saved the file, the only files pruning may remove: it carries our
// metadata, or it has none and its name has the saved-name pattern of a camera in the list (see
// savedNameCamera). A picture of a camera no longer in the list is recognised by its metadata
// only; any other file (the user's own, another program's) is never touched.
bool isSavedPicture(const FolderFile &file, const QStringList &cameraNames);

// The moment a saved picture stands for: when it was received as its metadata tells, else the
// file's time.
QDateTime savedPictureTime(const FolderFile &file);

// What one pruning removes, oldest first.
struct PrunePlan
{
    QList<qsizetype> remove; // indexes into the files, oldest first
    QList<qsizetype> keptReadOnly; // would have gone, but are read-only
    qint64 removeBytes = 0;
    qint64 savedBytes = 0; // all the saved pictures, before the removal
};

// Size rule: the saved pictures are brought down to this share of the limit (in twentieths), so
// that pruning does not run again at the very next save.
inline constexpr int kSizeTargetTwentieths = 19;

// The pruning of a folder under `rule` at `now`: with Days, every saved picture older than that;
// with Size, when the saved pictures hold more than the limit, the oldest until they hold
// kSizeTargetTwentieths of it; then, when the rule has a limit and free space is short, the
// next oldest until all removed come to bytesToFree, but only when they can: when all the saved
// pictures would not free that much, nothing beyond the rule goes. Forever removes nothing,
// whatever bytesToFree. Read-only pictures are kept and the next oldest taken in their place.
PrunePlan planPruning(const QList<FolderFile> &files, const QStringList &cameraNames,
                      const RetentionRule &rule, const QDateTime &now, qint64 bytesToFree = 0);
