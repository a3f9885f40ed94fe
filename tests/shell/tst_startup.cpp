#include "common/appidentity.h"
#include "common/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/showhelpsetting.h"
#include "shell/splashwindow.h"
#include "support/isolatedsettings.h"
#include "support/offscreenmain.h"
#include "testwindows.h"

#include <QListWidget>

// Start-up in a temporary program folder: list file, cam folder, help window, splash ticks.
class TestStartUp : public QObject
{
    Q_OBJECT

    IsolatedSettings m_settings;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
    }
    void cleanup() { TestWindows::deleteAll(); }

    void formLoad_data()
    {
        QTest::addColumn<QString>("folder"); // "new", "existing" (list file and cam folder) or "missing"
        QTest::addColumn<QString>("help"); // null: never stored
        QTest::newRow("new folder, help never stored") << "new" << QString();
        QTest::newRow("existing list and cam folder, help 0") << "existing"
                                                              << "0";
        // The help window is the last step: it still opens when the folder is missing with its parent.
        QTest::newRow("folder missing, help 1") << "missing"
                                                << "1";
        QTest::newRow("help 01: only 1 shows it") << "new"
                                                  << "01";
    }
    void formLoad()
    {
        QFETCH(QString, folder);
        QFETCH(QString, help);
        const QByteArray oneCam = "[name]Zoo\r\nhttp://127.0.0.1/zoo.jpg\r\n30\r\n\r\n";
        const QTemporaryDir dir;
        const bool existing = folder == QLatin1String("existing"),
                   usable = folder != QLatin1String("missing");
        const QDir program(dir.path() + (usable ? "" : "/gone/away"));
        QFile list(program.filePath(QStringLiteral("00camlist.txt")));
        if (existing) {
            QVERIFY(program.mkpath(QStringLiteral("cam/kept")) && list.open(QIODevice::WriteOnly));
            QVERIFY(list.write(oneCam) == oneCam.size());
            list.close();
        }
        SetProgramFolder(program.path());
        if (!help.isNull())
            WriteShowHelpSetting(help);
        MainWindow Form1;
        Form1.Form_Load();
        QCOMPARE(list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray("<none>"),
                 existing ? oneCam : QByteArray(usable ? "\r\n" : "<none>"));
        QCOMPARE(program.exists(QStringLiteral("cam")), usable);
        QCOMPARE(program.exists(QStringLiteral("cam/kept")), existing); // the cam folder is left alone
        QCOMPARE(Form1.findChild<QListWidget *>(QStringLiteral("List1"))->count(), existing ? 1 : 0);
        QCOMPARE(TestWindows::visibleWindow(QStringLiteral("Form8")) != nullptr,
                 help.isNull() || help == "1");
    }

    void splashShowsMainWindowOnTick75()
    {
        const QTemporaryDir dir;
        SetProgramFolder(dir.path());
        QPointer<SplashWindow> frmSplash = new SplashWindow;
        frmSplash->Timer2->stop(); // the test delivers the ticks itself
        frmSplash->show();
        for (int tick = 1; tick < 75; ++tick)
            frmSplash->Timer2_Timer();
        QVERIFY(TestWindows::visibleWindow(QStringLiteral("Form1")) == nullptr);
        frmSplash->Timer2_Timer();
        QPointer<QWidget> Form1 = TestWindows::visibleWindow(QStringLiteral("Form1"));
        QVERIFY(Form1 != nullptr && Form1->windowState().testFlag(Qt::WindowMaximized));
        QTRY_VERIFY(frmSplash.isNull());
        Form1->close(); // the main window is deleted once closed
        QTRY_VERIFY(Form1.isNull());
    }
};

VANTORA_WIDGET_TEST_MAIN(TestStartUp)
#include "tst_startup.moc"
