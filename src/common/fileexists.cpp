#include "common/fileexists.h"

#include <algorithm>

#include <QFileInfo>
#include <QString>

QString FileNamePart(const QString &path)
{
    const qsizetype lastSeparator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(lastSeparator + 1);
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden())
        return false;
    return info.fileName().compare(FileNamePart(path), Qt::CaseInsensitive) == 0;
}

bool FolderExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isDir();
}
