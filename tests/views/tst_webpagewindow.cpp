#include "camserver/camserver.h"
#include "common/programfolder.h"
#include "support/offscreenmain.h"
#include "views/webbrowserloader.h"
#include "views/webpagewindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

// Receives the links the browser hands to the desktop.
class LinkCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

// The web page window: its browser comes from the browser module, found as an installed copy
// keeps it; a page served on the loopback address; the program's own page given as HTML; the
// browser's size. (This test links the engine to click a link; the program does not, and
// tst_programpage opens the window as the program does.)
class TestWebPageWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_install;

    static QWidget *shownBrowser(WebPageWindow *window)
    {
        QSignalSpy loaded(window->browser(), SIGNAL(loadFinished(bool)));
        window->show();
        return loaded.wait(60000) && loaded.first().first().toBool() ? window->browser() : nullptr;
    }

private slots:
    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            delete window;
    }

    // Before any module is loaded: a window without one says so instead of failing.
    void withoutTheModuleTheWindowSaysWhy()
    {
        const QTemporaryDir empty;
        setWebBrowserModuleFolder(empty.path());
        auto *window = new WebPageWindow(QStringLiteral("http://127.0.0.1:1/"));
        auto *reason = qobject_cast<QLabel *>(window->browser());
        QVERIFY(reason != nullptr);
        QCOMPARE(reason->objectName(), QString("WebBrowser1"));
        QVERIFY(reason->text().contains(QStringLiteral("browser module")));
        window->show();
        window->resize(700, 500);
        QTRY_COMPARE(reason->size(), webBrowserSize(window->frameGeometry().size()));
    }

    // The module where an installed copy keeps it, relative to the program's folder.
    void findsTheModuleOfAnInstalledCopy()
    {
        setWebBrowserModuleFolder(QString());
        const QString bin = m_install.filePath(QStringLiteral(VANTORA_INSTALL_BINDIR));
        const QString modules = m_install.filePath(QStringLiteral(VANTORA_INSTALL_MODULEDIR));
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(modules));
        const QString module = QFileInfo(QStringLiteral(VANTORA_BUILT_MODULE)).fileName();
        QVERIFY(QFile::copy(QStringLiteral(VANTORA_BUILT_MODULE), QDir(modules).filePath(module)));
        setInstalledFolder(bin);

        CamServer server;
        QVERIFY(server.listen());
        CamReply page;
        page.bytes = CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html", "Connection: close"},
                                          "<html><head><title>Home</title></head></html>");
        server.setReply("/home", page);
        const QString address = QStringLiteral("http://127.0.0.1:%1/home").arg(server.port());

        auto *window = new WebPageWindow(address);
        setInstalledFolder(QString());
        QWidget *browser = shownBrowser(window);
        QVERIFY(browser != nullptr);
        QCOMPARE(window->windowTitle(), address);
        QCOMPARE(browser->property("title").toString(), QString("Home"));
        QCOMPARE(browser->property("url").toUrl(), QUrl(address));
        QCOMPARE(webBrowserSize(QSize(4, 5)), QSize(0, 0)); // never negative
        window->resize(900, 650); // the browser follows
        QTRY_COMPARE(browser->size(), webBrowserSize(window->frameGeometry().size()));
        window->close(); // and is gone
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // The program's own page: shown from its HTML under its own address, nothing fetched; a link
    // to a local file goes to the desktop and the page stays.
    void ownPageShowsItsHtmlAndHandsFileLinksToTheDesktop()
    {
        const QString address = QStringLiteral("qrc:/vantora/test.html");
        const QUrl file = QUrl::fromLocalFile(m_install.filePath(QStringLiteral("cam")));
        const QString html = QStringLiteral("<html><head><title>Own page</title></head><body>"
                                            "<a id=\"cam\" href=\"%1\">cam</a></body></html>")
                                 .arg(file.toString(QUrl::FullyEncoded));
        LinkCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");

        auto *window = new WebPageWindow(address, html);
        QWidget *browser = shownBrowser(window);
        QVERIFY(browser != nullptr);
        QCOMPARE(window->windowTitle(), address);
        QCOMPARE(browser->property("title").toString(), QString("Own page"));
        auto *view = qobject_cast<QWebEngineView *>(browser);
        QVERIFY(view != nullptr);
        view->page()->runJavaScript(QStringLiteral("document.getElementById('cam').click();"));
        QTRY_COMPARE(catcher.opened, QList<QUrl>{file});
        QCOMPARE(view->title(), QString("Own page"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }
};

VANTORA_WIDGET_TEST_MAIN(TestWebPageWindow)
#include "tst_webpagewindow.moc"
