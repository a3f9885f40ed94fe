#include "common/freefilename.h"

#include <QFileInfo>
#include <QTemporaryFile>

namespace {

bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

FreeFileName moveToFreeFileName(QTemporaryFile &file, const QString &folder,
                                const std::function<QString(int n)> &name)
{
    FreeFileName result;
    for (int n = 1; n <= kMaxNumberedNames; ++n) {
        const QString target = folder + QLatin1Char('/') + name(n);
        if (entryExists(target))
            continue;
        if (!file.rename(target)) {
            if (entryExists(target))
                continue;
            result.error = file.errorString();
            return result;
        }
        file.setAutoRemove(false);
        result.path = target;
        return result;
    }
    return result;
}
