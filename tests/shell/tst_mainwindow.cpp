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
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTcpServer>

#include <memory>

// The main window: every button and menu item reaching its command.
class TestMainWindow : public QObject
{
    Q_OBJECT

    qint64 m_now = 0; // the clock's monotonic time
    DaytimeServer m_daytime; // every window's clock asks this one, never the Internet
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
        SetProgramFolder(m_dir.path());
        // Opening a camera connects to the loopback address and is refused, quietly.
        QVERIFY(AppendCamEntry({"Alpha", "http://127.0.0.1/alpha.jpg", "30"}) &&
                AppendCamEntry({"Beta", "http://127.0.0.1/beta.jpg", "45"}));
        WriteShowHelpSetting(QStringLiteral("0"));
    }

    void init()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->findChild<InternetClock *>()->setServer(QStringLiteral("127.0.0.1"), m_daytime.port());
        m_window->Form_Load();
        m_window->show();
    }

    // Cams, "Detect changes without a server date": three states, one checked at a time, off at
    // first; the one chosen reaches the slots and is there again at the next start.
    void changeDetectionSetting()
    {
        const auto states = [this] { return m_window->findChild<QMenu *>("mnuDetectChanges")->actions(); };
        const auto checked = [&states] {
            QList<int> shown;
            for (const QAction *item : states()) {
                if (item->isChecked())
                    shown.append(item->data().toInt());
            }
            return shown;
        };
        auto *menu = m_window->findChild<QMenu *>("mnuDetectChanges");
        QVERIFY(m_window->findChild<QMenu *>("mnuCam")->actions().contains(menu->menuAction()));
        QCOMPARE(menu->title(), QStringLiteral("Detect changes without a server date"));
        QCOMPARE(states().size(), 3);
        QCOMPARE(checked(), QList<int>{int(ChangeDetection::Off)});
        QCOMPARE(m_window->frmCams->changeDetection(), ChangeDetection::Off);
        for (const ChangeDetection chosen : {ChangeDetection::Picture, ChangeDetection::Bytes}) {
            for (QAction *item : states()) {
                if (item->data().toInt() == int(chosen))
                    item->trigger();
            }
            QCOMPARE(checked(), QList<int>{int(chosen)});
            QCOMPARE(m_window->frmCams->changeDetection(), chosen);
        }
        m_window = std::make_unique<MainWindow>(); // the next start
        QCOMPARE(checked(), QList<int>{int(ChangeDetection::Bytes)});
        QCOMPARE(m_window->frmCams->changeDetection(), ChangeDetection::Bytes);
        m_window->setChangeDetection(ChangeDetection::Off); // as the other tests expect
        QCOMPARE(QSettings(QStringLiteral("Vantora"), QStringLiteral("Vantora"))
                     .value(QStringLiteral("Settings/detectChanges"))
                     .toString(),
                 QStringLiteral("off"));
    }

    void commandsReachTheirTargets_data()
    {
        QTest::addColumn<QString>("control"); // a button's or menu item's objectName, or "dblclick"
        QTest::addColumn<int>("item"); // the menu item's index
        QTest::addColumn<int>("selected"); // list row selected; -1 none, -2 none after opening Alpha
        QTest::addColumn<int>("asked"); // delete confirmations seen
        QTest::addColumn<QString>("window"); // the other window shown; empty: none
        QTest::addColumn<QString>("slot0"); // the first slot's title when a camera opened
        QTest::newRow("cmdAdd") << "cmdAdd" << -1 << -1 << 0 << "Form2"
                                << "";
        QTest::newRow("Cams/Delete Selected Cam") << "mnuCamItem" << 1 << 0 << 2 << ""
                                                  << "";
        QTest::newRow("Cams/Edit Selected Cam") << "mnuCamItem" << 2 << 1 << 0 << "Form3"
                                                << "";
        QTest::newRow("Cams/Start Selected Cam") << "mnuCamItem" << 3 << 1 << 0 << ""
                                                 << "Beta";
        QTest::newRow("dblclick") << "dblclick" << -1 << 0 << 0 << ""
                                  << "Alpha";
        QTest::newRow("cmdStopAll") << "cmdStopAll" << -1 << -2 << 0 << ""
                                    << "";
        QTest::newRow("Help/View Help") << "mnuHelpItem" << 0 << -1 << 0 << "Form8"
                                        << "";
        QTest::newRow("File/Exit") << "mnuFileItem" << 0 << -1 << 0 << ""
                                   << "";
    }
    void commandsReachTheirTargets()
    {
        QFETCH(QString, control);
        QFETCH(int, item);
        QFETCH(int, selected);
        QFETCH(QString, window);
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
        QTEST(int(boxes.seen.size()), "asked");
        QStringList shown;
        for (QWidget *other : QApplication::topLevelWidgets()) {
            if (other != &w && other->isVisible())
                shown << other->objectName();
        }
        QCOMPARE(shown, window.isEmpty() ? QStringList() : QStringList{window});
        QCOMPARE(w.isVisible(), control != QLatin1String("mnuFileItem"));
        QCOMPARE(w.state().intOpenCams, slot0.isEmpty() ? 0 : 1);
        const CameraSlot *first = w.frmCams->slot(0); // a camera opened goes there
        QCOMPARE(first->isVisibleTo(w.frmCams) ? first->title() : QString(), slot0);
    }

    // A screen reader never announces nothing for the Controls column or a menu item.
    void everyControlIsNamed()
    {
        QList<QObject *> controls{m_window->findChild<QWidget *>(QStringLiteral("List1"))};
        for (QWidget *control : m_window->findChild<QWidget *>(QStringLiteral("Frame1"))
                                    ->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            controls << control;
        for (QObject *control : controls) {
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
        }
        for (QMenu *menu : m_window->findChildren<QMenu *>()) {
            QAccessibleInterface *items = QAccessible::queryAccessibleInterface(menu);
            for (int i = 0; i < items->childCount(); ++i)
                QVERIFY2(!items->child(i)->text(QAccessible::Name).isEmpty(), qPrintable(menu->title()));
        }
    }

    // The status line tells of a failed fetch only while the detail view shows that camera.
    void statusLineNamesTheShownCamera_data()
    {
        QTest::addColumn<int>("shown"); // the slot opened in the detail view; -1: none yet
        QTest::addColumn<QString>("status"); // up to the library's own text in brackets
        QTest::newRow("none opened yet") << -1 << "status...";
        QTest::newRow("the failing slot") << 0 << "Garden: could not connect: connection refused";
        QTest::newRow("another slot") << 1 << "status...";
    }
    void statusLineNamesTheShownCamera()
    {
        QFETCH(int, shown);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString refused = QStringLiteral("http://127.0.0.1:%1/p.jpg").arg(closed.serverPort());
        closed.close();
        SlotPane *pane = m_window->frmCams;
        if (shown >= 0)
            pane->imgRefresh_Click(qint16(shown));
        pane->loadCam(0, QStringLiteral("Garden"), refused, QStringLiteral("30"));
        QTRY_COMPARE(pane->slot(0)->failuresInRow(), 1);
        QTEST(m_window->findChild<QLineEdit *>("txtStatus")->text().section(" (", 0, 0), "status");
        pane->cmdStopAll_Click();
    }

    void clockQueriedByDetailSlotAndShownInLblTime()
    {
        MainWindow &w = *m_window;
        const qsizetype earlier = m_daytime.connections.size();
        w.findChild<InternetClock *>()->setMonotonicClock([this] { return m_now; });
        const auto lblTime = [&w] { return w.findChild<QLabel *>("lblTime")->text(); };
        const auto shown = [](int h, int m, int s) {
            return DaytimeLabelText(QDateTime(QDate(2023, 6, 15), QTime(h, m, s), Qt::UTC));
        };
        w.frmCams->timRefresh_Timer(0); // slot 0 is the detail slot before any was opened there
        QTRY_COMPARE(lblTime(), shown(12, 34, 56));
        m_daytime.reply = "60110 23-06-15 12:40:00 50 0 0 722.3 UTC(NIST) *\n";
        m_now = 4000;
        w.frmCams->imgRefresh_Click(5); // opens slot 5 in the detail view
        QTRY_COMPARE(lblTime(), shown(12, 40, 0));
        QCOMPARE(m_daytime.connections.size(), earlier + 2);
        w.frmCams->cmdStopAll_Click();
    }
};

VANTORA_WIDGET_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
