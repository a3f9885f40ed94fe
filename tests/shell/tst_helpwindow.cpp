#include "common/appidentity.h"
#include "common/programfolder.h"
#include "common/rtfreader.h"
#include "shell/helpwindow.h"
#include "shell/helpwindowhook.h"
#include "shell/showhelpsetting.h"
#include "support/isolatedsettings.h"
#include "support/offscreenmain.h"
#include "testwindows.h"

#include <QCheckBox>
#include <QFile>
#include <QTextBrowser>
#include <QTextDocument>

// The help window: the help file beside the program, the "Show at Startup" box and its setting.
class TestHelpWindow : public QObject
{
    Q_OBJECT

    IsolatedSettings m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;

    void prepare(const QByteArray &helpFile, const QString &stored)
    {
        if (helpFile == "<folder>") {
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Help.rtf")));
        } else if (!helpFile.isNull()) {
            QFile file(m_dir->filePath(QStringLiteral("Help.rtf")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(helpFile) == helpFile.size());
        }
        if (!stored.isNull())
            WriteShowHelpSetting(stored);
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        SetProgramFolder(m_dir->path());
        QSettings(QStringLiteral("Vantora"), QStringLiteral("Vantora"))
            .remove(QStringLiteral("Settings/showHelp"));
    }
    void cleanup() { TestWindows::deleteAll(); }

    void formLoad_data()
    {
        QTest::addColumn<QByteArray>("helpFile"); // null: none; "<folder>": a folder of that name
        QTest::addColumn<QString>("stored"); // null: never stored
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("topMost");
        QTest::addColumn<int>("box"); // Qt::CheckState
        const QByteArray rtf(
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Welcome to {\\b the help}.\\par Second.}");
        QTest::newRow("first run") << rtf << QString() << "Welcome to the help.\nSecond." << true
                                   << int(Qt::Checked);
        QTest::newRow("broken file, greyed") << QByteArray("{\\rtf1\\ansi Welcome {\\b to\\'") << "2"
                                             << "Welcome to" << true << int(Qt::PartiallyChecked);
        QTest::newRow("missing file") << QByteArray() << "0"
                                      << "RichTextBox1" << false << int(Qt::Checked);
        QTest::newRow("a folder named Help.rtf") << QByteArray("<folder>") << "0"
                                                 << "RichTextBox1" << false << int(Qt::Checked);
    }
    void formLoad()
    {
        QFETCH(QByteArray, helpFile);
        QFETCH(QString, stored);
        prepare(helpFile, stored);
        HelpWindow Form8;
        Form8.Form_Load();
        QTEST(Form8.findChild<QTextBrowser *>(QStringLiteral("rtf1"))->toPlainText(), "text");
        QTEST(Form8.windowFlags().testFlag(Qt::WindowStaysOnTopHint), "topMost");
        QTEST(int(Form8.findChild<QCheckBox *>(QStringLiteral("Check1"))->checkState()), "box");
    }

    // A greyed box becomes a plain two-state box once clicked.
    void checkBoxStoresItsState()
    {
        prepare("{\\rtf1 Help}", QStringLiteral("2"));
        ShowHelpWindow(nullptr);
        QWidget *Form8 = TestWindows::visibleWindow(QStringLiteral("Form8"));
        QVERIFY(Form8 != nullptr);
        const QSettings settings(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
        for (const char *expected : {"1", "0", "1"}) {
            QTest::mouseClick(Form8->findChild<QCheckBox *>(QStringLiteral("Check1")), Qt::LeftButton);
            QCOMPARE(settings.value(QStringLiteral("Settings/showHelp")).toString(), QString(expected));
        }
    }

    // An installed copy: the program folder is the user's, the help file lies in the installed
    // data folder; a copy in the program folder or beside the program comes first.
    void helpFileOfAnInstalledCopy_data()
    {
        QTest::addColumn<QStringList>("copies"); // "user", "bin", "data"
        QTest::addColumn<QString>("found");
        QTest::newRow("installed data folder only") << QStringList{"data"} << "data";
        QTest::newRow("program folder first") << QStringList{"data", "user", "bin"} << "user";
        QTest::newRow("beside the program before the data folder") << QStringList{"data", "bin"} << "bin";
        QTest::newRow("none: the program folder's path") << QStringList{} << "user";
    }
    void helpFileOfAnInstalledCopy()
    {
        QFETCH(QStringList, copies);
        QFETCH(QString, found);
        const QTemporaryDir prefix;
        const QMap<QString, QString> folders{
            {QStringLiteral("user"), m_dir->path()},
            {QStringLiteral("bin"), prefix.filePath(QStringLiteral(VANTORA_INSTALL_BINDIR))},
            {QStringLiteral("data"), prefix.filePath(QStringLiteral(VANTORA_INSTALL_DATADIR))},
        };
        QVERIFY(QDir().mkpath(folders.value(QStringLiteral("bin"))));
        for (const QString &copy : copies) {
            QVERIFY(QDir().mkpath(folders.value(copy)));
            QFile file(QDir(folders.value(copy)).filePath(QStringLiteral("Help.rtf")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("{\\rtf1 Help}") > 0);
        }
        setInstalledFolder(folders.value(QStringLiteral("bin")));
        const QString path = HelpFilePath();
        setInstalledFolder(QString());
        QCOMPARE(
            QFileInfo(path).absoluteFilePath(),
            QFileInfo(QDir(folders.value(found)).filePath(QStringLiteral("Help.rtf"))).absoluteFilePath());
    }

    void shippedHelpFileReadsWhole()
    {
        QFile file(QStringLiteral(VANTORA_HELP_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument document;
        QCOMPARE(ReadRtf(file.readAll(), document).status, RtfReadResult::Status::Ok);
    }
};

VANTORA_WIDGET_TEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
