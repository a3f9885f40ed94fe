#pragma once

#include <QWebEnginePage>

// A page whose links to local files (a folder, the help file) open with the desktop's own
// programs, as a file manager would open them; every other navigation stays in the browser.
class DesktopLinkPage : public QWebEnginePage
{
    Q_OBJECT

public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
};
