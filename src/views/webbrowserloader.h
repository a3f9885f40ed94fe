#pragma once

#include <QStringList>

class QString;
class WebBrowserFactory;

// Where the browser module is looked for, in this order: in the program's folder (a build tree)
// and in the library folder of an installed copy (relative to the program's folder). The loader
// asks with installedFolder().
QStringList webBrowserModuleFolders(const QString &executableFolder);

// Loads the browser module on first use and keeps it for the rest of the run. Null when it cannot
// be loaded; `error` then says why (the folders looked in and the loader's reason).
WebBrowserFactory *webBrowserFactory(QString *error = nullptr);

// Looks for the module in this folder only from now on (tests; an empty text goes back to the
// executable's folders). Has no effect once the module is loaded.
void setWebBrowserModuleFolder(const QString &folder);
