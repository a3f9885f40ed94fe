#include "common/freefilename.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

bool entryExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QFileDevice::Permissions newFilePermissions()
{
    static const QFileDevice::Permissions permissions = [] {
        constexpr uint kDefaultUmask = 022;
        uint mask = kDefaultUmask;
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QByteArray prefix = QByteArrayLiteral("Umask:");
            for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
                bool ok = false;
                const uint read =
                    line.startsWith(prefix) ? line.mid(prefix.size()).trimmed().toUInt(&ok, 8) : 0;
                if (ok) {
                    mask = read;
                    break;
                }
            }
        }
        QFileDevice::Permissions p;
        const auto allow = [&p, mask](uint bit, QFileDevice::Permissions flags) {
            if ((mask & bit) == 0)
                p |= flags;
        };
        allow(0400, QFileDevice::ReadOwner | QFileDevice::ReadUser);
        allow(0200, QFileDevice::WriteOwner | QFileDevice::WriteUser);
        allow(0040, QFileDevice::ReadGroup);
        allow(0020, QFileDevice::WriteGroup);
        allow(0004, QFileDevice::ReadOther);
        allow(0002, QFileDevice::WriteOther);
        return p;
    }();
    return permissions;
}

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
