#include "camserver/camserver.h"
#include "support/offscreenmain.h"
#include "views/webpagewindow.h"

#include <QSignalSpy>
#include <QWebEngineView>
#include <QtTest>

// The web page window: a page served on the loopback address, and the browser's size.
class TestWebPageWindow : public QObject
{
    Q_OBJECT

private slots:
    void loadsTheAddressUnchanged()
    {
        CamServer server;
        QVERIFY(server.listen());
        CamReply page;
        page.bytes = CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html", "Connection: close"},
                                          "<html><head><title>Home</title></head></html>");
        server.setReply("/home", page);
        const QString address = QStringLiteral("http://127.0.0.1:%1/home").arg(server.port());

        auto *window = new WebPageWindow(address);
        QSignalSpy loaded(window->browser(), &QWebEngineView::loadFinished);
        window->show();
        QVERIFY(loaded.wait(60000));
        QCOMPARE(window->browser()->title(), QString("Home"));
        QCOMPARE(window->browser()->url(), QUrl(address));
        QCOMPARE(webBrowserSize(QSize(4, 5)), QSize(0, 0)); // never negative
        window->resize(900, 650); // the browser follows
        QTRY_COMPARE(window->browser()->size(), webBrowserSize(window->frameGeometry().size()));
        window->close(); // and is gone
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }
};

VANTORA_WIDGET_TEST_MAIN_PREPARED(TestWebPageWindow, WebPageWindow::prepareApplication)
#include "tst_webpagewindow.moc"
