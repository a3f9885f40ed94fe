#include "webbrowser/webbrowserplugin.h"

#include "webbrowser/desktoplinkpage.h"

#include <QWebEngineView>

namespace {

QWebEngineView *asView(QWidget *browser)
{
    return qobject_cast<QWebEngineView *>(browser);
}

} // namespace

QWidget *WebBrowserPlugin::createBrowser(QWidget *parent)
{
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
