#include "camserver/camserver.h"
#include "views/webpagewindow.h"

#include <QSignalSpy>
#include <QWebEngineView>
#include <QtTest>

// The web page window: a page served on the loopback address, and the browser's size.
class TestWebPageWindow : public QObject
{
    Q_OBJECT

private slots:
    void browserSize_data()
    {
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("browser");
        QTest::newRow("150 and 400 twips less") << QSize(800, 600) << QSize(790, 573);
        QTest::newRow("just the margins") << QSize(10, 27) << QSize(0, 0);
        QTest::newRow("smaller: never negative") << QSize(4, 5) << QSize(0, 0);
    }

    void browserSize()
    {
        QFETCH(QSize, outer);
        QTEST(webBrowserSize(outer), "browser");
    }

    void loadsTheAddressUnchanged()
    {
        CamServer server;
        QVERIFY(server.listen());
        CamReply page;
        page.bytes =
            CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html", "Connection: close"},
                                 "<html><head><title>Home</title></head><body>Vantora</body></html>");
        server.setReply("/home", page);
        const QString address = QStringLiteral("http://127.0.0.1:%1/home").arg(server.port());

        auto *window = new WebPageWindow(address);
        QSignalSpy loaded(window->browser(), &QWebEngineView::loadFinished);
        window->resize(700, 500);
        window->show();
        QVERIFY(loaded.wait(60000));
        QCOMPARE(loaded.first().first().toBool(), true);
        QCOMPARE(window->browser()->title(), QString("Home"));
        QCOMPARE(window->browser()->url(), QUrl(address));
        QCOMPARE(window->windowTitle(), address);
        QCOMPARE(window->browser()->geometry(),
                 QRect(QPoint(0, 0), webBrowserSize(window->frameGeometry().size())));
        window->resize(900, 650); // the browser follows
        QTRY_COMPARE(window->browser()->size(), webBrowserSize(window->frameGeometry().size()));
        window->close(); // and is gone
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    WebPageWindow::prepareApplication();
    QApplication app(argc, argv);
    TestWebPageWindow tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_webpagewindow.moc"
