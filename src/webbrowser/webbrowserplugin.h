#pragma once

#include "views/webbrowserfactory.h"

#include <QObject>

// The browser module: embedded browsers for the web page window. Built as a module of its own so
// that only a program that opens that window loads the browser engine.
class WebBrowserPlugin : public QObject, public WebBrowserFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VANTORA_WEB_BROWSER_FACTORY_IID)
    Q_INTERFACES(WebBrowserFactory)

public:
    QWidget *createBrowser(QWidget *parent) override;
    void navigate(QWidget *browser, const QUrl &address) override;
    void showHtml(QWidget *browser, const QString &html, const QUrl &baseAddress) override;
};
