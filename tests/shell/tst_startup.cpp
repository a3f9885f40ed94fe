#include "common/appidentity.h"
#include "common/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/showhelpsetting.h"
#include "shell/splashwindow.h"
#include "support/isolatedsettings.h"
#include "support/offscreenmain.h"
#include "testwindows.h"

#include <QListWidget>

// Start-up in a temporary program folder: list file, cam folder, the help window by
// the stored setting, and the splash window's 75 ticks.
class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
    }
    void cleanup() { TestWindows::deleteAll(); }

    void formLoad_data();
    void formLoad();
    void splashShowsMainWindowOnTick75();

private:
    IsolatedSettings m_settings;
};

void TestStartUp::formLoad_data()
{
    QTest::addColumn<QString>("folder"); // "new", "existing" (list file and cam folder there) or "missing"
    QTest::addColumn<QString>("help"); // null: never stored
    QTest::addColumn<bool>("shown");

    QTest::newRow("new folder, help never stored") << "new" << QString() << true;
    QTest::newRow("existing list and cam folder, help 1") << "existing"
                                                          << "1" << true;
    // The help window is the last step: it still opens when the folder is missing with its parent.
    QTest::newRow("folder missing") << "missing"
                                    << "1" << true;
    for (const char *help : {"0", "01", ""})
        QTest::addRow("help \"%s\"", help) << "new" << help << false;
}

void TestStartUp::formLoad()
{
    QFETCH(QString, folder);
    QFETCH(QString, help);
    QFETCH(bool, shown);
    const QByteArray twoCams = "[name]Zoo\r\nhttp://127.0.0.1/zoo.jpg\r\n30\r\n\r\n"
                               "[name]Harbour\r\nhttp://127.0.0.1/harbour.jpg\r\n60\r\n\r\n";
    const QTemporaryDir dir;
    const QDir program(dir.path() + (folder == QLatin1String("missing") ? "/gone/away" : ""));
    QFile list(program.filePath(QStringLiteral("00camlist.txt")));
    const bool existing = folder == QLatin1String("existing"), usable = folder != QLatin1String("missing");
    if (existing) {
        QVERIFY(program.mkpath(QStringLiteral("cam/kept")) && list.open(QIODevice::WriteOnly));
        QVERIFY(list.write(twoCams) == twoCams.size());
        list.close();
    }
    SetProgramFolder(program.path());
    QSettings settings(QStringLiteral("Vantora"), QStringLiteral("Vantora"));
    help.isNull() ? settings.remove(QStringLiteral("Settings/showHelp")) : WriteShowHelpSetting(help);

    MainWindow Form1;
    Form1.Form_Load();

    QCOMPARE(list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray("<none>"),
             existing ? twoCams : QByteArray(usable ? "\r\n" : "<none>"));
    QCOMPARE(program.exists(QStringLiteral("cam")), usable);
    QCOMPARE(program.exists(QStringLiteral("cam/kept")), existing); // the cam folder is left alone
    const auto *List1 = Form1.findChild<QListWidget *>(QStringLiteral("List1"));
    QCOMPARE(List1->count(), existing ? 2 : 0);
    QCOMPARE(List1->item(0) ? List1->item(0)->text() : QString(), existing ? "Harbour" : ""); // sorted
    QCOMPARE(TestWindows::visibleWindow(QStringLiteral("Form8")) != nullptr, shown);
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
