#include "views/webbrowserloader.h"

#include "common/moduleloader.h"
#include "views/webbrowserfactory.h"

#include <QString>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

ModuleLoader &browserModule()
{
    static ModuleLoader module(VANTORA_WEB_BROWSER_MODULE, VANTORA_WEB_BROWSER_FACTORY_IID);
    return module;
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

} // namespace

WebBrowserFactory *webBrowserFactory(QString *error)
{
    allowRootWithoutSandbox();
    return qobject_cast<WebBrowserFactory *>(browserModule().instance(error));
}

void setWebBrowserModuleFolder(const QString &folder)
{
    browserModule().setFolder(folder);
}
