#include "camlist/camlistfile.h"
#include "common/appidentity.h"
#include "common/programfolder.h"
#include "shell/helpwindow.h"
#include "shell/programpage.h"
#include "views/picturesaver.h"

#include <QTemporaryDir>
#include <QtTest>

// The program's own web page: its fields filled in safely, and the page for the program's web
// address naming this run's files.
class TestProgramPage : public QObject
{
    Q_OBJECT

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

    void otherAddressesAreLeftToTheBrowser()
    {
        QCOMPARE(programPageFor(QStringLiteral("http://127.0.0.1/about.html")), QString());
        QCOMPARE(programPageFor(QStringLiteral("qrc:/vantora/missing.html")), QString());
        QCOMPARE(programPageFor(QStringLiteral("qrc:")), QString());
    }
};

QTEST_GUILESS_MAIN(TestProgramPage)
#include "tst_programpage.moc"
