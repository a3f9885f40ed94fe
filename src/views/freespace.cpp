#include "views/freespace.h"

#include <QFile>
#include <QString>

#include <sys/statvfs.h>

std::optional<qint64> freeBytes(const QString &path)
{
    struct statvfs info = {};
    if (::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
}
