#pragma once

#include <QSize>
#include <QWidget>

class QResizeEvent;
class QShowEvent;
class QWebEngineView;

// The browser's size in a window of the given outer size (frame and title bar included), in
// pixels: 150 twips narrower and 400 twips lower than the window, never below zero.
QSize webBrowserSize(const QSize &outer);

// The web page window "Form5": the program's web page in an embedded browser that follows the
// window's size. Deletes itself when closed.
class WebPageWindow : public QWidget
{
    Q_OBJECT

public:
    // What the embedded browser needs before the application object exists: a shared GL context
    // and, for a program running as root, no sandbox (the browser engine refuses to start as root
    // with one).
    static void prepareApplication();

    // Title and page: the address, used unchanged (no scheme is added).
    explicit WebPageWindow(const QString &address, QWidget *parent = nullptr);
    ~WebPageWindow() override;

    QWebEngineView *browser() const { return m_WebBrowser1; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load(const QString &address);
    void Form_Resize();

    QWebEngineView *m_WebBrowser1 = nullptr;
};
