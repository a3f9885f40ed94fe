#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "clock/daytimereply.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "shell/mainwindow.h"
#include "shell/showhelpsetting.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/daytimeserver.h"
#include "support/isolatedsettings.h"
#include "support/messageboxanswerer.h"
#include "support/offscreenmain.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>

#include <memory>

// The main window: layout following the window, scrolling, and every button and menu item
// reaching its command.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void layoutAndScrolling_data();
    void layoutAndScrolling();
    void commandsReachTheirTargets_data();
    void commandsReachTheirTargets();
    void clockQueriedByDetailSlotAndShownInLblTime();

private:
    qint64 m_now = 0; // the clock's monotonic time
    DaytimeServer m_daytime; // every window's clock asks this one, never the Internet
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    ReadAppIdentity();
    SetProgramFolder(m_dir.path());
    // Cameras on the loopback address: opening one connects there and is refused, quietly.
    QVERIFY(AppendCamEntry({"Alpha", "http://127.0.0.1/alpha.jpg", "30"}) &&
            AppendCamEntry({"Beta", "http://127.0.0.1/beta.jpg", "45"}));
    WriteShowHelpSetting(QStringLiteral("0"));
}

void TestMainWindow::init()
{
    m_window = std::make_unique<MainWindow>();
    m_window->findChild<InternetClock *>()->setServer(QStringLiteral("127.0.0.1"), m_daytime.port());
    m_window->Form_Load();
    m_window->show();
}

void TestMainWindow::layoutAndScrolling_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<bool>("laidOut");
    QTest::newRow("12180 x 6000 twips") << QSize(812, 400) << true;
    QTest::newRow("a pixel narrower") << QSize(811, 400) << false;
}

void TestMainWindow::layoutAndScrolling()
{
    QFETCH(QSize, outer);
    QFETCH(bool, laidOut);
    MainWindow &w = *m_window;
    // Resizes so that the outer size (frame included, when there is one) is this many pixels.
    const auto resizeOuter = [&w](QSize size) {
        w.resize(size - (w.frameGeometry().size() - w.geometry().size()));
    };
    resizeOuter(QSize(1000, 700));
    QTRY_COMPARE(w.txtStatus->y(), twipsToPixels(700 * 15 - 1115));
    // The scroll bars count in pixels: 2000 twips down puts the slot pane's top at -2030 twips.
    w.frmCams->findChild<QScrollBar *>("VScroll1")->setValue(twipsToPixels(2000));
    // The detail picture follows its bars once they have a range.
    w.VScroll2->setRange(0, 500);
    w.HScroll1->setRange(0, 500);
    w.VScroll2->setValue(40);
    w.HScroll1->setValue(100);

    resizeOuter(outer);
    QTRY_COMPARE(w.frameGeometry().size(), outer);
    // Too small a window keeps the layout of 1000 x 700; the scroll positions stay either way.
    const auto W = float(pixelsToTwips(laidOut ? outer.width() : 1000)),
               H = float(pixelsToTwips(laidOut ? outer.height() : 700));
    QTRY_COMPARE(w.txtStatus->geometry(), toPixels({0, H - 1115, W - 200, 315}));
    QCOMPARE(w.Picture1->size(),
             toPixels({0, 0, W - 6880, H - 1115 - 1995 - 315}).size()); // laid out while hidden
    QCOMPARE(w.frmCams->findChild<QWidget *>("picWindowInner")->y(), twipsToPixels(-2030));
    QCOMPARE(w.imgMain->pos(), QPoint(-100, -40));
}

void TestMainWindow::commandsReachTheirTargets_data()
{
    QTest::addColumn<QString>(
        "how"); // a button's objectName, a menu item's objectName and index, or "dblclick"
    QTest::addColumn<int>("selected"); // list row selected first; -1 none, -2 none after opening Alpha
    QTest::addColumn<QString>("outcome"); // boxes seen | other windows shown | open count | slot 0 if shown

    const QString asks = QStringLiteral("Confirm Delete|Are you sure you want to delete Alpha?|%1")
                             .arg((QMessageBox::Ok | QMessageBox::Cancel).toInt());
    QTest::newRow("cmdAdd") << "cmdAdd" << -1 << "|Form2 Vantora :: add a cam|0|";
    QTest::newRow("Cams/Add a Cam") << "mnuCamItem 0" << -1 << "|Form2 Vantora :: add a cam|0|";
    QTest::newRow("cmdRemove") << "cmdRemove" << 0 << asks + "|0|";
    QTest::newRow("Cams/Delete Selected Cam") << "mnuCamItem 1" << 0 << asks + ',' + asks + "|0|";
    QTest::newRow("cmdEdit") << "cmdEdit" << 1 << "|Form3 Beta|0|";
    QTest::newRow("Cams/Edit Selected Cam") << "mnuCamItem 2" << 1 << "|Form3 Beta|0|";
    QTest::newRow("cmdStartCam") << "cmdStartCam" << 1 << "|1|Beta";
    QTest::newRow("Cams/Start Selected Cam") << "mnuCamItem 3" << 1 << "|1|Beta";
    QTest::newRow("dblclick") << "dblclick" << 0 << "|1|Alpha";
    QTest::newRow("cmdStopAll") << "cmdStopAll" << -2 << "|0|";
    QTest::newRow("Cams/Stop All Cams") << "mnuCamItem 4" << -2 << "|0|";
    QTest::newRow("Help/View Help") << "mnuHelpItem 0" << -1 << "|Form8 Readme/Help|0|";
    QTest::newRow("File/Exit") << "mnuFileItem 0" << -1 << "|Form1 closed|0|";
}

void TestMainWindow::commandsReachTheirTargets()
{
    QFETCH(QString, how);
    QFETCH(int, selected);
    QFETCH(QString, outcome);
    MainWindow &w = *m_window;
    if (selected == -2)
        w.listCommands()->OpenCam(QStringLiteral("Alpha"));
    w.List1->setCurrentRow(selected);

    MessageBoxAnswerer boxes; // answers Cancel
    QAction *item = w.findChildren<QAction *>(how.section(u' ', 0, 0)).value(how.section(u' ', 1).toInt());
    // A menu item's row is named by its menu and caption, any other row by what it uses.
    const QString caption = item ? qobject_cast<QMenu *>(item->parent())->title() + '/' + item->text() : how;
    QCOMPARE(caption, QString(QTest::currentDataTag()));
    const int times = item ? 2 : 0; // a menu item is chosen twice: no second window opens
    for (int n = 0; n < times; ++n)
        item->trigger();
    if (how == QLatin1String("dblclick"))
        QTest::mouseDClick(w.List1->viewport(), Qt::LeftButton, {},
                           w.List1->visualItemRect(w.List1->item(0)).center());
    else if (item == nullptr)
        QTest::mouseClick(w.findChild<QAbstractButton *>(how), Qt::LeftButton);

    QStringList seen{boxes.seen.join(u',')};
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != &w && window->isVisible())
            seen << window->objectName() + QLatin1Char(' ') + window->windowTitle();
    }
    if (!w.isVisible())
        seen << QStringLiteral("Form1 closed");
    const CameraSlot *first = w.frmCams->slot(0); // a camera opened goes there
    seen << QString::number(w.state().intOpenCams)
         << (first->isVisibleTo(w.frmCams) ? first->title() : QString());
    QCOMPARE(seen.join(QLatin1Char('|')), outcome);
}

void TestMainWindow::clockQueriedByDetailSlotAndShownInLblTime()
{
    MainWindow &w = *m_window;
    DaytimeServer &server = m_daytime;
    const qsizetype earlier = server.connections.size();
    auto *clock = w.findChild<InternetClock *>();
    QVERIFY(clock != nullptr && server.listening());
    m_now = 0;
    clock->setMonotonicClock([this] { return m_now; });
    const auto shown = [](int h, int m, int s) {
        return DaytimeLabelText(QDateTime(QDate(2023, 6, 15), QTime(h, m, s), Qt::UTC));
    };
    QCOMPARE(w.lblTime->text(), QStringLiteral("Current Time"));

    // Before any slot was opened in the detail view, slot 0's ticks are the detail slot's.
    w.frmCams->timRefresh_Timer(0);
    QTRY_COMPARE(w.lblTime->text(), shown(12, 34, 56));

    server.reply = "60110 23-06-15 12:40:00 50 0 0 722.3 UTC(NIST) *\n";
    m_now = 4000;
    w.frmCams->imgRefresh_Click(5); // opens slot 5 in the detail view
    QTRY_COMPARE(w.lblTime->text(), shown(12, 40, 0));
    QCOMPARE(server.connections.size(), earlier + 2);
    w.frmCams->cmdStopAll_Click();
}

VANTORA_WIDGET_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
