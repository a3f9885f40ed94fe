#pragma once

#include <QtPlugin>

class QString;
class QUrl;
class QWidget;

// What the browser module offers the web page window. The module is loaded only when that window
// first opens, so the browser engine's libraries (and the OpenGL context it wants) cost nothing
// before then.
class WebBrowserFactory
{
public:
    virtual ~WebBrowserFactory() = default;

    // A browser widget, owned by parent. Links to local files that the user follows open with
    // the desktop's own programs rather than in the browser.
    virtual QWidget *createBrowser(QWidget *parent) = 0;
    // Shows the page at address (browser: a widget createBrowser made).
    virtual void navigate(QWidget *browser, const QUrl &address) = 0;
    // Shows html as the page at baseAddress, without fetching anything.
    virtual void showHtml(QWidget *browser, const QString &html, const QUrl &baseAddress) = 0;
};

#define VANTORA_WEB_BROWSER_FACTORY_IID "org.vantora.Vantora.WebBrowserFactory/1"
Q_DECLARE_INTERFACE(WebBrowserFactory, VANTORA_WEB_BROWSER_FACTORY_IID)
