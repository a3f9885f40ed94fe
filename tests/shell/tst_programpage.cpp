#include "camlist/camlistfile.h"
#include "common/appidentity.h"
#include "common/programfolder.h"
#include "shell/helpwindow.h"
#include "shell/mainwindow.h"
#include "shell/programpage.h"
#include "shell/showhelpsetting.h"
#include "support/isolatedsettings.h"
#include "support/offscreenmain.h"
#include "testwindows.h"
#include "views/picturesaver.h"
#include "views/webbrowserloader.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The program's own web page: its fields filled in safely, the page for the program's web
// address naming this run's files, and the button with that address showing it.
class TestProgramPage : public QObject
{
    Q_OBJECT

    IsolatedSettings m_settings;

private slots:
    void fields_data()
    {
        QTest::addColumn<QString>("pageTemplate");
        QTest::addColumn<QString>("path"); // the help file's path; the other facts are fixed
        QTest::addColumn<QString>("html");
        QTest::newRow("HTML specials in a path are escaped")
            << "<p>{{help-file}}</p>"
            << "/home/a&b/<i>\"x\"/Help.rtf"
            << "<p>/home/a&amp;b/&lt;i&gt;&quot;x&quot;/Help.rtf</p>";
        QTest::newRow("link percent-encoded, then escaped")
            << "<a href=\"{{help-link}}\">"
            << "/home/a b&c/<i>.rtf"
            << "<a href=\"file:///home/a%20b&amp;c/%3Ci%3E.rtf\">";
        QTest::newRow("a value holding a field's name stays as it is") << "{{help-file}} {{version}}"
                                                                       << "/tmp/{{version}}"
                                                                       << "/tmp/{{version}} 1.2.3";
        QTest::newRow("unknown field left as written") << "{{nope}}{{licence}}"
                                                       << "/x"
                                                       << "{{nope}}MIT";
        QTest::newRow("unclosed field left as written") << "a {{version"
                                                        << "/x"
                                                        << "a {{version";
        QTest::newRow("fields side by side, text around them kept") << "v{{version}}{{version}}v}}"
                                                                    << "/x"
                                                                    << "v1.2.31.2.3v}}";
        QTest::newRow("non-ASCII path") << "{{help-file}} {{help-link}}"
                                        << "/home/zoë/Help.rtf"
                                        << "/home/zoë/Help.rtf file:///home/zo%C3%AB/Help.rtf";
    }
    void fields()
    {
        QFETCH(QString, pageTemplate);
        QFETCH(QString, path);
        const ProgramPageFacts facts{QStringLiteral("1.2.3"), QStringLiteral("MIT"), path,
                                     QStringLiteral("/c"), QStringLiteral("/l")};
        QTEST(programPageHtml(pageTemplate, facts), "html");
    }

    void ownPageNamesThisRunsFiles()
    {
        ReadAppIdentity();
        const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/a&b <c>-XXXXXX"));
        QVERIFY(folder.isValid());
        SetProgramFolder(folder.path());
        const QString html = programPageFor(strComments);
        QVERIFY(!html.isEmpty());
        QVERIFY(!html.contains(QStringLiteral("{{"))); // every field known
        QVERIFY(html.contains(QStringLiteral("version ") + programVersion()));
        QVERIFY(html.contains(programLicence()));
        for (const QString &path : {camListPath(), PictureSaver::camFolder(), HelpFilePath()}) {
            QVERIFY2(html.contains(path.toHtmlEscaped()), qPrintable(path));
            QVERIFY2(html.contains(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toHtmlEscaped()),
                     qPrintable(path));
        }
        SetProgramFolder(QString());
    }

    // The button's caption is the address; the window it opens shows the program's page under
    // that address, fetched from nowhere.
    void command2ShowsTheOwnPage()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
        const QTemporaryDir folder;
        SetProgramFolder(folder.path());
        WriteShowHelpSetting(QStringLiteral("0"));
        setWebBrowserModuleFolder(QStringLiteral(VANTORA_BUILT_MODULE_FOLDER));
        MainWindow Form1;
        Form1.Form_Load();
        Form1.show();
        auto *Command2 = Form1.findChild<QPushButton *>(QStringLiteral("Command2"));
        QVERIFY(Command2 != nullptr);
        QCOMPARE(Command2->text(), strComments);
        Command2->click();
        QWidget *Form5 = TestWindows::visibleWindow(QStringLiteral("Form5"));
        QVERIFY(Form5 != nullptr);
        QCOMPARE(Form5->windowTitle(), strComments);
        auto *browser = Form5->findChild<QWidget *>(QStringLiteral("WebBrowser1"));
        QVERIFY(browser != nullptr);
        const QString title = QStringLiteral("Vantora ") + programVersion();
        QTRY_COMPARE_WITH_TIMEOUT(browser->property("title").toString(), title, 60000);
        QCOMPARE(browser->property("url").toUrl(), QUrl(strComments));
        delete Form5;
        SetProgramFolder(QString());
    }

    void otherAddressesAreLeftToTheBrowser()
    {
        QCOMPARE(programPageFor(QStringLiteral("http://127.0.0.1/about.html")), QString());
        QCOMPARE(programPageFor(QStringLiteral("qrc:/vantora/missing.html")), QString());
        QCOMPARE(programPageFor(QStringLiteral("qrc:")), QString());
    }
};

VANTORA_WIDGET_TEST_MAIN(TestProgramPage)
#include "tst_programpage.moc"
