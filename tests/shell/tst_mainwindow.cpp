#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "clock/daytimereply.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/showhelpsetting.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/daytimeserver.h"
#include "support/isolatedsettings.h"
#include "support/messageboxanswerer.h"
#include "support/offscreenmain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include <memory>

namespace {

QString accessibleNameOf(QObject *control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

} // namespace

// The main window: every button and menu item reaching its command.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void commandsReachTheirTargets_data();
    void commandsReachTheirTargets();
    void clockQueriedByDetailSlotAndShownInLblTime();
    void everyControlIsNamed();

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

void TestMainWindow::commandsReachTheirTargets_data()
{
    QTest::addColumn<QString>("control"); // a button's or a menu item's objectName, or "dblclick"
    QTest::addColumn<int>("item"); // the menu item's index
    QTest::addColumn<int>("selected"); // list row selected first; -1 none, -2 none after opening Alpha
    QTest::addColumn<int>("asked"); // delete confirmations seen
    QTest::addColumn<QString>("window"); // the other window shown; empty: none
    QTest::addColumn<int>("openCams");
    QTest::addColumn<QString>("slot0"); // the first slot's title when shown

    QTest::newRow("cmdAdd") << "cmdAdd" << -1 << -1 << 0 << "Form2" << 0 << "";
    QTest::newRow("cmdRemove") << "cmdRemove" << -1 << 0 << 1 << "" << 0 << "";
    QTest::newRow("Cams/Delete Selected Cam") << "mnuCamItem" << 1 << 0 << 2 << "" << 0 << "";
    QTest::newRow("Cams/Edit Selected Cam") << "mnuCamItem" << 2 << 1 << 0 << "Form3" << 0 << "";
    QTest::newRow("Cams/Start Selected Cam") << "mnuCamItem" << 3 << 1 << 0 << "" << 1 << "Beta";
    QTest::newRow("dblclick") << "dblclick" << -1 << 0 << 0 << "" << 1 << "Alpha";
    QTest::newRow("cmdStopAll") << "cmdStopAll" << -1 << -2 << 0 << "" << 0 << "";
    QTest::newRow("Cams/Stop All Cams") << "mnuCamItem" << 4 << -2 << 0 << "" << 0 << "";
    QTest::newRow("Help/View Help") << "mnuHelpItem" << 0 << -1 << 0 << "Form8" << 0 << "";
    QTest::newRow("File/Exit") << "mnuFileItem" << 0 << -1 << 0 << "" << 0 << "";
}

void TestMainWindow::commandsReachTheirTargets()
{
    QFETCH(QString, control);
    QFETCH(int, item);
    QFETCH(int, selected);
    QFETCH(int, asked);
    QFETCH(QString, window);
    QFETCH(int, openCams);
    QFETCH(QString, slot0);
    MainWindow &w = *m_window;
    auto *List1 = w.findChild<QListWidget *>(QStringLiteral("List1"));
    if (selected == -2)
        w.listCommands()->OpenCam("Alpha");
    List1->setCurrentRow(selected);

    MessageBoxAnswerer boxes; // answers Cancel
    if (item >= 0) {
        QAction *action = w.findChildren<QAction *>(control).value(item);
        action->trigger();
        action->trigger(); // no second window opens
    } else if (control == QLatin1String("dblclick")) {
        QTest::mouseDClick(List1->viewport(), Qt::LeftButton, {},
                           List1->visualItemRect(List1->item(0)).center());
    } else {
        QTest::mouseClick(w.findChild<QAbstractButton *>(control), Qt::LeftButton);
    }

    QCOMPARE(boxes.seen.size(), asked);
    QStringList shown;
    for (QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &w && other->isVisible())
            shown << other->objectName();
    }
    QCOMPARE(shown, window.isEmpty() ? QStringList() : QStringList{window});
    QCOMPARE(w.isVisible(), control != QLatin1String("mnuFileItem"));
    QCOMPARE(w.state().intOpenCams, openCams);
    const CameraSlot *first = w.frmCams->slot(0); // a camera opened goes there
    QCOMPARE(first->isVisibleTo(w.frmCams) ? first->title() : QString(), slot0);
}

// What a screen reader announces for the controls of the "Controls" column and the menus: a
// control's caption or the words of its tool tip, never nothing.
void TestMainWindow::everyControlIsNamed()
{
    auto *Frame1 = m_window->findChild<QWidget *>(QStringLiteral("Frame1"));
    for (QWidget *control : Frame1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QString name = accessibleNameOf(control);
        QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
        if (!control->toolTip().isEmpty() && qobject_cast<QToolButton *>(control) != nullptr)
            QCOMPARE(name, control->toolTip()); // a picture button says what its tool tip says
    }
    QVERIFY(!accessibleNameOf(m_window->findChild<QWidget *>(QStringLiteral("List1"))).isEmpty());
    for (QMenu *menu : m_window->findChildren<QMenu *>()) {
        QAccessibleInterface *items = QAccessible::queryAccessibleInterface(menu);
        QCOMPARE(items->text(QAccessible::Name), menu->title());
        for (int i = 0; i < items->childCount(); ++i)
            QVERIFY2(!items->child(i)->text(QAccessible::Name).isEmpty(), qPrintable(menu->title()));
    }
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
    QCOMPARE(w.findChild<QLabel *>("lblTime")->text(), QStringLiteral("Current Time"));

    // Before any slot was opened in the detail view, slot 0's ticks are the detail slot's.
    w.frmCams->timRefresh_Timer(0);
    QTRY_COMPARE(w.findChild<QLabel *>("lblTime")->text(), shown(12, 34, 56));

    server.reply = "60110 23-06-15 12:40:00 50 0 0 722.3 UTC(NIST) *\n";
    m_now = 4000;
    w.frmCams->imgRefresh_Click(5); // opens slot 5 in the detail view
    QTRY_COMPARE(w.findChild<QLabel *>("lblTime")->text(), shown(12, 40, 0));
    QCOMPARE(server.connections.size(), earlier + 2);
    w.frmCams->cmdStopAll_Click();
}

VANTORA_WIDGET_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
