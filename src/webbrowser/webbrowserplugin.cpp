#include "webbrowser/webbrowserplugin.h"

#include "webbrowser/desktoplinkpage.h"

#include <QWebEngineView>

// The browser engine's own set-up (exported by its library): the OpenGL context its pages share.
// A program that links the engine has it run while the application object is built; loaded later,
// as this module is, the engine expects it to have run and fails on the missing context.
namespace QtWebEngineCore {
void initialize();
} // namespace QtWebEngineCore

namespace {

// Once, before the first browser: the shared context the engine would have made at start-up.
void prepareEngine()
{
    static const bool prepared = [] {
        QtWebEngineCore::initialize();
        return true;
    }();
    Q_UNUSED(prepared);
}

QWebEngineView *asView(QWidget *browser)
{
    return qobject_cast<QWebEngineView *>(browser);
}

} // namespace

QWidget *WebBrowserPlugin::createBrowser(QWidget *parent)
{
    prepareEngine();
    auto *view = new QWebEngineView(parent);
    view->setPage(new DesktopLinkPage(view));
    return view;
}

void WebBrowserPlugin::navigate(QWidget *browser, const QUrl &address)
{
    if (QWebEngineView *view = asView(browser))
        view->load(address);
}

void WebBrowserPlugin::showHtml(QWidget *browser, const QString &html, const QUrl &baseAddress)
{
    if (QWebEngineView *view = asView(browser))
        view->setHtml(html, baseAddress);
}
