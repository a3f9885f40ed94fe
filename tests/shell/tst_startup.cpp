#include "appidentity.h"
#include "cameraslot.h"
#include "clickableimage.h"
#include "mainwindow.h"
#include "isolatedsettings.h"
#include "offscreenmain.h"
#include "pictures.h"
#include "programfolder.h"
#include "showhelpsetting.h"
#include "slotpane.h"
#include "splashwindow.h"
#include "testwindows.h"

#include <QListWidget>

// Start-up in a temporary program folder: list file, cam folder, caption, the help window by
// the stored setting, and the splash window's 75 ticks.
class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void formLoad_data();
    void formLoad();
    void splashShowsMainWindowOnTick75();

private:
    IsolatedSettings m_settings;
};

void TestStartUp::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    ReadAppIdentity();
}

void TestStartUp::cleanup()
{
    TestWindows::deleteAll();
    SetProgramFolder(QString());
    QSettings(QStringLiteral("Vantora"), QStringLiteral("Vantora")).remove(QStringLiteral("Settings"));
}

void TestStartUp::formLoad_data()
{
    QTest::addColumn<QString>("subfolder"); // of the temporary folder, made the program folder
    QTest::addColumn<bool>("existing");     // list file and cam folder there before
    QTest::addColumn<QString>("help");      // null: never stored
    QTest::addColumn<bool>("shown");

    // The help window is the last step: it still opens when the folder is unusable.
    QTest::newRow("fresh folder, help never stored") << "" << false << QString() << true;
    QTest::newRow("existing list and cam folder, help 1") << "" << true << "1" << true;
    QTest::newRow("folder missing with its parent") << "/gone/away" << false << "1" << true;
    QTest::newRow("a file in the folder's place") << "/plainfile" << false << "1" << true;
    for (const char *help : {"0", "2", "01", "1 ", ""})
        QTest::addRow("help \"%s\"", help) << "" << false << help << false;
}

void TestStartUp::formLoad()
{
    QFETCH(QString, subfolder);
    QFETCH(bool, existing);
    QFETCH(QString, help);
    QFETCH(bool, shown);
    const QByteArray twoCams = "[name]Zoo\r\nhttp://127.0.0.1/zoo.jpg\r\n30\r\n\r\n"
                               "[name]Harbour\r\nhttp://127.0.0.1/harbour.jpg\r\n60\r\n\r\n";
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const QTemporaryDir dir;
    const QString folder = dir.path() + subfolder;
    const QString saved = folder + QStringLiteral("/cam/Zoo 01-02-2024 10-00-00.jpg");
    if (existing)
        QVERIFY(QDir(folder).mkdir(QStringLiteral("cam")) && write(saved, "saved before")
                && write(folder + QStringLiteral("/00camlist.txt"), twoCams));
    if (subfolder == QLatin1String("/plainfile"))
        QVERIFY(write(folder, "x"));
    SetProgramFolder(folder);
    QSettings settings(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
    help.isNull() ? settings.remove(QStringLiteral("Settings/showHelp")) : WriteShowHelpSetting(help);

    MainWindow Form1;
    Form1.Form_Load();

    QCOMPARE(Form1.windowTitle(), QStringLiteral("Vantora by Vantora Project"));
    const bool usable = subfolder.isEmpty();
    QFile list(folder + QStringLiteral("/00camlist.txt"));
    const QByteArray expectedList = existing ? twoCams : QByteArray(usable ? "\r\n" : "<none>");
    QCOMPARE(list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray("<none>"), expectedList);
    QCOMPARE(QFileInfo(folder + QStringLiteral("/cam")).isDir(), usable);
    QCOMPARE(QFileInfo(saved).size(), qint64(existing ? 12 : 0)); // "saved before": the folder is left alone
    QCOMPARE(Form1.List1->count(), existing ? 2 : 0);
    QVERIFY(!existing || Form1.List1->item(0)->text() == QLatin1String("Harbour")); // sorted
    QCOMPARE(TestWindows::visibleWindow(QStringLiteral("Form8")) != nullptr, shown);
    settings.sync();
    QCOMPARE(settings.contains(QStringLiteral("Settings/showHelp")), !help.isNull()); // start-up only reads

    // Each refresh indicator holds the same 21 x 17 picture.
    const QImage refresh(QString::fromLatin1(Pictures::Refresh));
    QCOMPARE(refresh.size(), QSize(21, 17));
    for (int i = 0; i < SlotPane::kSlotCount; ++i)
        QCOMPARE(Form1.frmCams->slot(i)->imgRefresh->pixmap().toImage(), refresh);
}

void TestStartUp::splashShowsMainWindowOnTick75()
{
    const QTemporaryDir dir;
    SetProgramFolder(dir.path());
    QPointer<SplashWindow> frmSplash = new SplashWindow;
    frmSplash->Timer2->stop(); // the test delivers the ticks itself
    frmSplash->show();
    for (int tick = 1; tick < 75; ++tick)
        frmSplash->Timer2_Timer();
    QVERIFY(frmSplash->isVisible() && TestWindows::visibleWindow(QStringLiteral("Form1")) == nullptr);

    frmSplash->Timer2_Timer();
    QPointer<QWidget> Form1 = TestWindows::visibleWindow(QStringLiteral("Form1"));
    QVERIFY(Form1 != nullptr && Form1->windowState().testFlag(Qt::WindowMaximized));
    QTRY_VERIFY(frmSplash.isNull());
    Form1->close(); // the main window is deleted once closed
    QTRY_VERIFY(Form1.isNull());
}

VANTORA_WIDGET_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
