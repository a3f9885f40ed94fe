#include "retention/pruneplan.h"

#include "pictureinfo/savedname.h"
#include "retention/retentionrule.h"

#include <algorithm>

namespace {

constexpr int kTwentieths = 20;

} // namespace

bool isSavedPicture(const FolderFile &file, const QStringList &cameraNames)
{
    return file.info.has_value() || !savedNameCamera(file.name, cameraNames).isEmpty();
}

QDateTime savedPictureTime(const FolderFile &file)
{
    return file.info ? file.info->received : file.modified;
}

PrunePlan planPruning(const QList<FolderFile> &files, const QStringList &cameraNames,
                      const RetentionRule &rule, const QDateTime &now, qint64 bytesToFree)
{
    PrunePlan plan;
    QList<qsizetype> saved;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (isSavedPicture(files[i], cameraNames)) {
            saved.append(i);
            plan.savedBytes += files[i].size;
        }
    }
    if (!rule.hasLimit())
        return plan;
    std::stable_sort(saved.begin(), saved.end(), [&files](qsizetype a, qsizetype b) {
        const QDateTime ta = savedPictureTime(files[a]);
        const QDateTime tb = savedPictureTime(files[b]);
        return ta != tb ? ta < tb : files[a].name < files[b].name;
    });

    const QDateTime oldestKept = now.addDays(-rule.amount);
    const qint64 sizeTarget = rule.limitBytes() / kTwentieths * kSizeTargetTwentieths;
    const bool overSize = rule.kind == RetentionRule::Kind::Size && plan.savedBytes > rule.limitBytes();
    // Takes saved[j] off: removed, or listed as kept when read-only. The bytes it frees.
    const auto take = [&files, &saved, &plan](qsizetype j) {
        const FolderFile &file = files[saved[j]];
        if (file.readOnly) {
            plan.keptReadOnly.append(saved[j]);
            return qint64(0);
        }
        plan.remove.append(saved[j]);
        plan.removeBytes += file.size;
        return file.size;
    };
    qint64 left = plan.savedBytes;
    qsizetype next = 0; // the first of `saved` the rule keeps
    for (; next < saved.size(); ++next) {
        const FolderFile &file = files[saved[next]];
        const bool byRule = rule.kind == RetentionRule::Kind::Days ? savedPictureTime(file) < oldestKept
                                                                   : overSize && left > sizeTarget;
        if (!byRule)
            break;
        left -= take(next);
    }

    // Beyond the rule only when that makes the room: removing every saved picture in vain would
    // lose them and pause saving all the same.
    qint64 removable = plan.removeBytes;
    for (qsizetype j = next; j < saved.size(); ++j)
        removable += files[saved[j]].readOnly ? 0 : files[saved[j]].size;
    if (plan.removeBytes >= bytesToFree || removable < bytesToFree)
        return plan;
    for (qsizetype j = next; j < saved.size() && plan.removeBytes < bytesToFree; ++j)
        take(j);
    return plan;
}
