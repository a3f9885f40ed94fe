#include "common/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryFile>

namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

QString &installedOverride()
{
    static QString folder;
    return folder;
}

QString &automaticFolder()
{
    static QString folder;
    return folder;
}

// Permission bits do not tell (a read-only mount, or root), so try to create a file there.
bool CanCreateFileIn(const QString &folder)
{
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.write-probe-XXXXXX"));
    return probe.open();
}

QString dataFolderOf(const QString &executableFolder)
{
    return QDir::cleanPath(QDir(executableFolder).filePath(QStringLiteral(VANTORA_DATA_FOLDER_FROM_BIN)));
}

} // namespace

QString ChooseProgramFolder(const QString &executableFolder, const QString &dataFolder)
{
    // An installed copy keeps the user's files in the per-user folder even where it could write
    // beside itself (run by root, say): the list and the pictures do not belong in a system folder.
    const bool installedCopy = !executableFolder.isEmpty() && QDir(dataFolderOf(executableFolder)).exists();
    if (!installedCopy && CanCreateFileIn(executableFolder))
        return executableFolder;
    if (!dataFolder.isEmpty() && QDir().mkpath(dataFolder))
        return dataFolder;
    // Nothing writable: keep the executable's folder, where every write fails quietly.
    return executableFolder.isEmpty() ? QDir::currentPath() : executableFolder;
}

QString ProgramFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    if (automaticFolder().isEmpty()) {
        automaticFolder() = ChooseProgramFolder(
            installedFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    }
    return automaticFolder();
}

void SetProgramFolder(const QString &folder)
{
    overrideFolder() = folder;
}

QString installedFolder()
{
    return installedOverride().isEmpty() ? QCoreApplication::applicationDirPath() : installedOverride();
}

void setInstalledFolder(const QString &folder)
{
    installedOverride() = folder;
}

QString installedDataFolder()
{
    return dataFolderOf(installedFolder());
}
