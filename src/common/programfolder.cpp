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

} // namespace

QString ChooseProgramFolder(const QString &executableFolder, const QString &dataFolder)
{
    if (CanCreateFileIn(executableFolder))
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
    return QDir::cleanPath(QDir(installedFolder()).filePath(QStringLiteral(VANTORA_DATA_FOLDER_FROM_BIN)));
}
