#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

class QResizeEvent;
class QShowEvent;

// The browser's size in a window of the given outer size (frame and title bar included), in
// pixels: 150 twips narrower and 400 twips lower than the window, never below zero.
QSize webBrowserSize(const QSize &outer);

// The web page window "Form5": the program's web page in an embedded browser that follows the
// window's size. Deletes itself when closed. The browser comes from the browser module, loaded
// when the first such window opens; without it the window says why it shows no page.
class WebPageWindow : public QWidget
{
    Q_OBJECT

public:
    // Title and page: the address, used unchanged (no scheme is added). With pageHtml the page
    // at that address is the program's own, shown from pageHtml without fetching anything.
    explicit WebPageWindow(const QString &address, const QString &pageHtml = QString(),
                           QWidget *parent = nullptr);
    ~WebPageWindow() override;

    // The browser "WebBrowser1" (a label with the reason when the browser module is missing).
    QWidget *browser() const { return m_WebBrowser1; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load(const QString &address, const QString &pageHtml);
    void Form_Resize();

    QWidget *m_WebBrowser1 = nullptr;
};
