#include "appidentity.h"
#include "cameraslot.h"
#include "clickableimage.h"
#include "mainwindow.h"
#include "offscreenmain.h"
#include "pictures.h"
#include "programfolder.h"
#include "showhelpsetting.h"
#include "slotpane.h"
#include "splashwindow.h"
#include "testwindows.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

const QByteArray kTwoCams = "[name]Zoo\r\nhttp://127.0.0.1/zoo.jpg\r\n30\r\n\r\n"
                            "[name]Harbour\r\nhttp://127.0.0.1/harbour.jpg\r\n60\r\n\r\n";

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

} // namespace

// Start-up in a temporary program folder: list file, cam folder, caption, the help window by
// the stored setting, and the splash window's 75 ticks.
class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void programFolder_data();
    void programFolder();
    void helpWindowFollowsSetting_data();
    void helpWindowFollowsSetting();
    void splashShowsMainWindowOnTick75();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestStartUp::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setQuitOnLastWindowClosed(false);
    ReadAppIdentity();
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Vantora"));
}

void TestStartUp::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    SetProgramFolder(m_dir->path());
    WriteShowHelpSetting(QStringLiteral("0"));
}

void TestStartUp::cleanup()
{
    TestWindows::deleteAll();
    SetProgramFolder(QString());
    QSettings(QStringLiteral("Vantora"), QStringLiteral("Vantora")).remove(QStringLiteral("Settings"));
    m_dir.reset();
}

void TestStartUp::programFolder_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QByteArray>("listAfter");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("fresh folder") << "fresh" << QByteArray("\r\n") << QStringList();
    QTest::newRow("existing list and cam folder")
        << "existing" << kTwoCams << QStringList{QStringLiteral("Harbour"), QStringLiteral("Zoo")};
    QTest::newRow("folder missing with its parent") << "missing" << QByteArray("<none>") << QStringList();
    QTest::newRow("a file in the folder's place") << "file" << QByteArray("<none>") << QStringList();
}

void TestStartUp::programFolder()
{
    QFETCH(QString, setup);
    QFETCH(QByteArray, listAfter);
    QFETCH(QStringList, names);
    QString folder = m_dir->path();
    const QString saved = folder + QStringLiteral("/cam/Zoo 01-02-2024 10-00-00.jpg");
    if (setup == QLatin1String("existing")) {
        QVERIFY(QDir(folder).mkdir(QStringLiteral("cam")));
        QVERIFY(writeFile(saved, "saved before"));
        QVERIFY(writeFile(folder + QStringLiteral("/00camlist.txt"), kTwoCams));
    } else if (setup == QLatin1String("missing")) {
        folder += QStringLiteral("/gone/away");
    } else if (setup == QLatin1String("file")) {
        folder += QStringLiteral("/plainfile");
        QVERIFY(writeFile(folder, "x"));
    }
    SetProgramFolder(folder);
    WriteShowHelpSetting(QStringLiteral("1")); // the last step must still run

    MainWindow Form1;
    Form1.Form_Load();

    QCOMPARE(Form1.windowTitle(), QStringLiteral("Vantora by Vantora Project"));
    QCOMPARE(Form1.Command2->text(), strComments);
    QCOMPARE(readFile(folder + QStringLiteral("/00camlist.txt")), listAfter);
    QCOMPARE(QFileInfo(folder + QStringLiteral("/cam")).isDir(), setup == QLatin1String("fresh") || setup == QLatin1String("existing"));
    if (setup == QLatin1String("existing"))
        QCOMPARE(readFile(saved), QByteArray("saved before"));
    QStringList listed;
    for (int i = 0; i < Form1.List1->count(); ++i)
        listed << Form1.List1->item(i)->text();
    QCOMPARE(listed, names);
    QVERIFY(TestWindows::visibleWindow(QStringLiteral("Form8")) != nullptr);

    // Every slot is free; each refresh indicator holds the same 21 x 17 picture, hidden.
    const QImage refresh(QString::fromLatin1(Pictures::Refresh));
    QCOMPARE(refresh.size(), QSize(21, 17));
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        QVERIFY(!Form1.frmCams->slot(i)->isVisibleTo(&Form1));
        QVERIFY(!Form1.frmCams->slot(i)->imgRefresh->isVisibleTo(&Form1));
        QCOMPARE(Form1.frmCams->slot(i)->imgRefresh->pixmap().toImage(), refresh);
    }
    QVERIFY(!Form1.frmMain->isVisibleTo(&Form1));
}

void TestStartUp::helpWindowFollowsSetting_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("shown");

    QTest::newRow("never stored") << false << QString() << true;
    QTest::newRow("1") << true << "1" << true;
    QTest::newRow("0") << true << "0" << false;
    QTest::newRow("2 (greyed)") << true << "2" << false;
    QTest::newRow("01") << true << "01" << false;
    QTest::newRow("1 and a space") << true << "1 " << false;
    QTest::newRow("empty") << true << "" << false;
}

void TestStartUp::helpWindowFollowsSetting()
{
    QFETCH(bool, stored);
    QFETCH(QString, value);
    QFETCH(bool, shown);
    QSettings settings(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
    if (stored)
        WriteShowHelpSetting(value);
    else
        settings.remove(QStringLiteral("Settings/showHelp"));

    MainWindow Form1;
    Form1.Form_Load();

    QWidget *Form8 = TestWindows::visibleWindow(QStringLiteral("Form8"));
    QCOMPARE(Form8 != nullptr, shown);
    if (shown)
        QCOMPARE(Form8->windowTitle(), QStringLiteral("Readme/Help"));
    settings.sync();
    QCOMPARE(settings.contains(QStringLiteral("Settings/showHelp")), stored); // start-up only reads
}

void TestStartUp::splashShowsMainWindowOnTick75()
{
    QPointer<SplashWindow> frmSplash = new SplashWindow;
    QCOMPARE(frmSplash->Timer2->interval(), 2);
    frmSplash->Timer2->stop(); // the test delivers the ticks itself
    frmSplash->show();

    const auto mainWindow = [] { return TestWindows::visibleWindow(QStringLiteral("Form1")); };
    for (int tick = 1; tick < 75; ++tick) {
        frmSplash->Timer2_Timer();
        QVERIFY2(mainWindow() == nullptr, qPrintable(QString::number(tick)));
    }
    QVERIFY(frmSplash->isVisible());

    frmSplash->Timer2_Timer();
    QPointer<QWidget> Form1 = mainWindow();
    QVERIFY(Form1 != nullptr);
    QVERIFY(Form1->windowState().testFlag(Qt::WindowMaximized));
    QCOMPARE(Form1->windowTitle(), QStringLiteral("Vantora by Vantora Project"));
    QVERIFY(!frmSplash->isVisible());
    QTRY_VERIFY(frmSplash.isNull());

    Form1->close(); // the main window is deleted once closed
    QTRY_VERIFY(Form1.isNull());
}

VANTORA_WIDGET_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
