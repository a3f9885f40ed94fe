#pragma once

class QString;
class WebBrowserFactory;

// Loads the browser module on first use (see common/moduleloader.h for where it is looked for) and
// keeps it for the rest of the run. Null when it cannot be loaded; `error` then says why (each
// file tried and the loader's reason).
WebBrowserFactory *webBrowserFactory(QString *error = nullptr);

// Looks for the module in this folder only from now on (tests; an empty text goes back to the
// executable's folders). Has no effect once the module is loaded.
void setWebBrowserModuleFolder(const QString &folder);
