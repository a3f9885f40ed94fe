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

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
    }
    void init();
    void cleanup() { TestWindows::deleteAll(); }

    void formLoad_data();
    void formLoad();
    void checkBoxStoresItsState_data();
    void checkBoxStoresItsState();
    void shippedHelpFileReadsWhole();

private:
    void writeHelpFile(const QByteArray &bytes);

    IsolatedSettings m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QString kShowHelpKey = QStringLiteral("Settings/showHelp");

QString storedShowHelp()
{
    const QSettings settings(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
    return settings.value(kShowHelpKey).toString(); // empty when never stored
}

QCheckBox *check1(QWidget *window)
{
    return window->findChild<QCheckBox *>(QStringLiteral("Check1"));
}

} // namespace

void TestHelpWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SetProgramFolder(m_dir->path());
    QSettings(QStringLiteral("Vantora"), QStringLiteral("Vantora")).remove(kShowHelpKey);
}

void TestHelpWindow::writeHelpFile(const QByteArray &bytes)
{
    QFile file(m_dir->filePath(QStringLiteral("Help.rtf")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

void TestHelpWindow::formLoad_data()
{
    QTest::addColumn<QByteArray>("helpFile"); // null: none; "<folder>": a folder of that name
    QTest::addColumn<QString>("stored"); // null: never stored
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("topMost");
    QTest::addColumn<int>("box"); // Qt::CheckState

    const QByteArray rtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Welcome to {\\b the help}.\\par Second.}");
    const QString help = QStringLiteral("Welcome to the help.\nSecond.");
    QTest::newRow("first run") << rtf << QString() << help << true << int(Qt::Checked);
    QTest::newRow("stored 0") << rtf << "0" << help << true << int(Qt::Unchecked);
    QTest::newRow("stored 2: greyed") << rtf << "2" << help << true << int(Qt::PartiallyChecked);
    QTest::newRow("broken file: what could be read") << QByteArray("{\\rtf1\\ansi Welcome {\\b to\\'") << "0"
                                                     << "Welcome to" << true << int(Qt::Unchecked);
    QTest::newRow("missing file") << QByteArray() << "0"
                                  << "RichTextBox1" << false << int(Qt::Checked);
    QTest::newRow("a folder named Help.rtf") << QByteArray("<folder>") << "0"
                                             << "RichTextBox1" << false << int(Qt::Checked);
}

void TestHelpWindow::formLoad()
{
    QFETCH(QByteArray, helpFile);
    QFETCH(QString, stored);
    if (helpFile == "<folder>")
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Help.rtf")));
    else if (!helpFile.isNull())
        writeHelpFile(helpFile);
    if (!stored.isNull())
        WriteShowHelpSetting(stored);

    HelpWindow Form8;
    Form8.Form_Load();
    QTEST(Form8.findChild<QTextBrowser *>(QStringLiteral("rtf1"))->toPlainText(), "text");
    QTEST(Form8.windowFlags().testFlag(Qt::WindowStaysOnTopHint), "topMost");
    QTEST(int(check1(&Form8)->checkState()), "box");
}

void TestHelpWindow::checkBoxStoresItsState_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("afterClicks"); // the setting after each click
    QTest::newRow("checked") << QString() << QStringList{"0", "1", "0"};
    // A greyed box becomes a plain two-state box once clicked.
    QTest::newRow("greyed") << "2" << QStringList{"1", "0", "1", "0"};
}

void TestHelpWindow::checkBoxStoresItsState()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, afterClicks);
    writeHelpFile("{\\rtf1 Help}");
    if (!stored.isNull())
        WriteShowHelpSetting(stored);
    ShowHelpWindow(nullptr);
    QWidget *Form8 = TestWindows::visibleWindow(QStringLiteral("Form8"));
    QVERIFY(Form8 != nullptr);
    for (const QString &expected : afterClicks) {
        QTest::mouseClick(check1(Form8), Qt::LeftButton);
        QCOMPARE(storedShowHelp(), expected);
    }
}

void TestHelpWindow::shippedHelpFileReadsWhole()
{
    QFile file(QStringLiteral(VANTORA_HELP_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument document;
    QCOMPARE(ReadRtf(file.readAll(), document).status, RtfReadResult::Status::Ok);
}

VANTORA_WIDGET_TEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
