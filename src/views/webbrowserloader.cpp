#include "views/webbrowserloader.h"

#include "common/programfolder.h"
#include "views/webbrowserfactory.h"

#include <QDir>
#include <QPluginLoader>
#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString &moduleFolderOverride()
{
    static QString folder;
    return folder;
}

// The browser engine refuses to start as root with its sandbox on; it reads the switch when its
// first page is made, after the module is loaded.
void allowRootWithoutSandbox()
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
}

WebBrowserFactory *loadFrom(const QStringList &folders, QString *error)
{
    QStringList reasons;
    for (const QString &folder : folders) {
        // The loader going away leaves the module loaded, for the rest of the run.
        QPluginLoader loader(QDir(folder).filePath(QStringLiteral(VANTORA_WEB_BROWSER_MODULE)));
        if (auto *factory = qobject_cast<WebBrowserFactory *>(loader.instance()))
            return factory;
        reasons << loader.errorString();
    }
    if (error != nullptr)
        *error = reasons.join(QLatin1Char('\n'));
    return nullptr;
}

} // namespace

QStringList webBrowserModuleFolders(const QString &executableFolder)
{
    const QDir bin(executableFolder);
    return {bin.path(), QDir::cleanPath(bin.filePath(QStringLiteral(VANTORA_MODULE_FOLDER_FROM_BIN)))};
}

WebBrowserFactory *webBrowserFactory(QString *error)
{
    static WebBrowserFactory *factory = nullptr;
    if (factory != nullptr)
        return factory;
    allowRootWithoutSandbox();
    const QStringList folders = moduleFolderOverride().isEmpty() ? webBrowserModuleFolders(installedFolder())
                                                                 : QStringList{moduleFolderOverride()};
    factory = loadFrom(folders, error);
    return factory;
}

void setWebBrowserModuleFolder(const QString &folder)
{
    moduleFolderOverride() = folder;
}
