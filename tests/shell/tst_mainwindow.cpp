#include "appidentity.h"
#include "cameraslot.h"
#include "mainwindow.h"
#include "offscreenmain.h"
#include "programfolder.h"
#include "showhelpsetting.h"
#include "slotpane.h"
#include "testwindows.h"
#include "twips.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {

// Cameras on the loopback address: opening one connects there and is refused, quietly.
const QByteArray kCamList = "[name]Alpha\r\nhttp://127.0.0.1/alpha.jpg\r\n30\r\n\r\n"
                            "[name]Beta\r\nhttp://127.0.0.1/beta.jpg\r\n45\r\n\r\n";

QAction *menuItem(const MainWindow &w, const char *group, int index)
{
    for (QAction *a : w.findChildren<QAction *>(QString::fromLatin1(group))) {
        if (a->data().toInt() == index)
            return a;
    }
    return nullptr;
}

// Runs a command as the user does: "button:<objectName>", "menu:<Cams index>" or "dblclick".
void runCommand(MainWindow &w, const QString &how)
{
    if (how.startsWith(QLatin1String("button:"))) {
        auto *button = w.findChild<QAbstractButton *>(how.mid(7));
        QVERIFY2(button != nullptr, qPrintable(how));
        QTest::mouseClick(button, Qt::LeftButton);
    } else if (how.startsWith(QLatin1String("menu:"))) {
        QAction *item = menuItem(w, "mnuCamItem", how.mid(5).toInt());
        QVERIFY2(item != nullptr, qPrintable(how));
        item->trigger();
    } else {
        const QRect itemRect = w.List1->visualItemRect(w.List1->item(0));
        QTest::mouseDClick(w.List1->viewport(), Qt::LeftButton, {}, itemRect.center());
    }
}

// Resizes so that the outer size (frame included, when there is one) is this many pixels.
void resizeOuter(QWidget &w, int width, int height)
{
    const QSize frame = w.frameGeometry().size() - w.geometry().size();
    w.resize(width - frame.width(), height - frame.height());
}

QList<QRect> layoutGeometry(const MainWindow &w)
{
    return {w.txtStatus->geometry(), w.Frame1->geometry(), w.List1->geometry(), w.frmCams->geometry(),
            w.frmCams->picWindowOuter()->geometry(), w.frmCams->VScroll1()->geometry(),
            w.frmMain->geometry(), w.Picture1->geometry(), w.frmDetails->geometry(),
            w.VScroll2->geometry(), w.HScroll1->geometry(), w.Command1->geometry()};
}

} // namespace

// The main window: layout following the window, scrolling, and every button and menu item
// reaching its command.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutFollowsOuterSize_data();
    void layoutFollowsOuterSize();
    void scrollingSurvivesLayout();
    void commandsReachTheirTargets_data();
    void commandsReachTheirTargets();
    void helpMenuShowsOneHelpWindow();
    void exitClosesEveryWindow(); // last: it closes everything

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setQuitOnLastWindowClosed(false);
    ReadAppIdentity();
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QFile list(m_dir->filePath(QStringLiteral("00camlist.txt")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    QCOMPARE(list.write(kCamList), kCamList.size());
    list.close();
    SetProgramFolder(m_dir->path());
    WriteShowHelpSetting(QStringLiteral("0"));

    m_window = std::make_unique<MainWindow>();
    m_window->Form_Load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    TestWindows::deleteAll();
    SetProgramFolder(QString());
    m_dir.reset();
}

void TestMainWindow::layoutFollowsOuterSize_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<bool>("laidOut");

    QTest::newRow("12180 x 6000 twips") << QSize(812, 400) << true;
    QTest::newRow("1920 x 1080") << QSize(1920, 1080) << true;
    QTest::newRow("a pixel narrower than 12180") << QSize(811, 400) << false;
    QTest::newRow("a pixel lower than 6000") << QSize(812, 399) << false;
}

void TestMainWindow::layoutFollowsOuterSize()
{
    QFETCH(QSize, outer);
    QFETCH(bool, laidOut);
    MainWindow &w = *m_window;
    resizeOuter(w, 1000, 700);
    QTRY_COMPARE(w.Frame1->height(), TwipsToPixels(700 * 15 - 1115));
    const QList<QRect> before = layoutGeometry(w);

    resizeOuter(w, outer.width(), outer.height());
    QTRY_COMPARE(w.frameGeometry().size(), outer);
    if (!laidOut) {
        QCOMPARE(layoutGeometry(w), before);
        return;
    }
    const double W = PixelsToTwips(outer.width());
    const double H = PixelsToTwips(outer.height());
    QTRY_COMPARE(w.Frame1->height(), TwipsToPixels(H - 1115));
    QCOMPARE(w.frmMain->height(), TwipsToPixels(H - 1115)); // laid out while hidden
    QCOMPARE(w.txtStatus->geometry(), TwipsRect(0, H - 1115, W - 200, 315));
    QCOMPARE(w.List1->height(), TwipsToPixels(H - 2815));
    QCOMPARE(w.frmCams->picWindowOuter()->height(), TwipsToPixels(H - 1415));
    QCOMPARE(w.frmMain->width(), TwipsToPixels(W - 6480));
    QCOMPARE(w.Picture1->width(), TwipsToPixels(W - 6880));
    QCOMPARE(w.frmDetails->y(), w.Picture1->y() + w.Picture1->height());
    QCOMPARE(w.Command1->pos(), QPoint(w.VScroll2->x(), w.HScroll1->y()));
    QCOMPARE(w.frmCams->slot(3)->geometry(), TwipsRect(1800, 60 + 1980, 1635, 1935));
}

void TestMainWindow::scrollingSurvivesLayout()
{
    // The scroll bars count in pixels: 2000 twips down puts the slot pane's top at -2030 twips.
    MainWindow &w = *m_window;
    QScrollBar *VScroll1 = w.frmCams->VScroll1();
    VScroll1->setValue(TwipsToPixels(2000));
    QCOMPARE(w.frmCams->picWindowInner()->y(), TwipsToPixels(-2030));

    // The detail picture follows its bars once they have a range.
    w.VScroll2->setRange(0, 500);
    w.HScroll1->setRange(0, 500);
    w.VScroll2->setValue(40);
    w.HScroll1->setValue(100);
    QCOMPARE(w.imgMain->pos(), QPoint(-100, -40));

    resizeOuter(w, 1100, 800);
    QTRY_COMPARE(w.Frame1->height(), TwipsToPixels(800 * 15 - 1115));
    QCOMPARE(VScroll1->value(), TwipsToPixels(2000));
    QCOMPARE(w.frmCams->picWindowInner()->y(), TwipsToPixels(-2030));
    QCOMPARE(w.imgMain->pos(), QPoint(-100, -40));
}

void TestMainWindow::commandsReachTheirTargets_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("selected"); // list row selected first, -1 none
    QTest::addColumn<QString>("outcome");

    QTest::newRow("cmdAdd") << "button:cmdAdd" << -1 << "window Form2";
    QTest::newRow("Add a Cam") << "menu:0" << -1 << "window Form2";
    for (const char *how : {"button:cmdRemove", "button:cmdEdit", "button:cmdStartCam", "menu:1", "menu:2", "menu:3"})
        QTest::newRow(how) << how << -1 << "window Form4";
    QTest::newRow("cmdRemove, Alpha") << "button:cmdRemove" << 0 << "asks Alpha";
    QTest::newRow("Delete Selected Cam, Alpha") << "menu:1" << 0 << "asks Alpha";
    QTest::newRow("cmdEdit, Beta") << "button:cmdEdit" << 1 << "edits Beta";
    QTest::newRow("Edit Selected Cam, Beta") << "menu:2" << 1 << "edits Beta";
    QTest::newRow("cmdStartCam, Beta") << "button:cmdStartCam" << 1 << "opens Beta";
    QTest::newRow("Start Selected Cam, Beta") << "menu:3" << 1 << "opens Beta";
    QTest::newRow("double click, Alpha") << "dblclick" << 0 << "opens Alpha";
    QTest::newRow("cmdStopAll") << "button:cmdStopAll" << -1 << "stops all";
    QTest::newRow("Stop All Cams") << "menu:4" << -1 << "stops all";
}

void TestMainWindow::commandsReachTheirTargets()
{
    QFETCH(QString, how);
    QFETCH(int, selected);
    QFETCH(QString, outcome);
    MainWindow &w = *m_window;
    if (outcome == QLatin1String("stops all")) {
        for (int row = 0; row < 2; ++row) {
            w.List1->setCurrentRow(row);
            w.mnuCamItem_Click(3);
        }
        QCOMPARE(w.state().intOpenCams, qint16(2));
    }
    w.List1->setCurrentRow(selected);

    // The delete confirmation is modal: note it and answer Cancel once it is up.
    QString asked;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&asked, &answer] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = box->windowTitle() + QLatin1Char('|') + box->text();
            answer.stop();
            box->button(QMessageBox::Cancel)->click();
        }
    });
    answer.start(10);
    runCommand(w, how);
    answer.stop();

    const QString word = outcome.section(QLatin1Char(' '), 0, 0);
    const QString what = outcome.section(QLatin1Char(' '), 1);
    if (word == QLatin1String("window")) {
        QVERIFY(TestWindows::visibleWindow(what) != nullptr);
        QCOMPARE(w.state().intOpenCams, qint16(0));
    } else if (word == QLatin1String("asks")) {
        QCOMPARE(asked, QStringLiteral("Confirm Delete|Are you sure you want to delete %1?").arg(what));
        QCOMPARE(w.List1->count(), 2);
    } else if (word == QLatin1String("edits")) {
        QWidget *Form3 = TestWindows::visibleWindow(QStringLiteral("Form3"));
        QVERIFY(Form3 != nullptr);
        QCOMPARE(Form3->windowTitle(), what);
    } else if (word == QLatin1String("opens")) {
        QCOMPARE(w.state().intOpenCams, qint16(1));
        QVERIFY(w.frmCams->slot(0)->isVisibleTo(w.frmCams));
        QCOMPARE(w.frmCams->slot(0)->title(), what);
        QVERIFY(!w.frmCams->slot(1)->isVisibleTo(w.frmCams));
    } else {
        QCOMPARE(w.state().intOpenCams, qint16(0));
        for (int i = 0; i < SlotPane::kSlotCount; ++i)
            QVERIFY(!w.frmCams->slot(i)->isVisibleTo(w.frmCams));
        QCOMPARE(w.frmCams->slot(1)->title(), QStringLiteral("[webcam]"));
    }
    if (word != QLatin1String("window"))
        QVERIFY(TestWindows::visibleWindow(QStringLiteral("Form4")) == nullptr);
}

void TestMainWindow::helpMenuShowsOneHelpWindow()
{
    QAction *viewHelp = menuItem(*m_window, "mnuHelpItem", 0);
    QVERIFY(viewHelp != nullptr);
    QVERIFY(TestWindows::visibleWindow(QStringLiteral("Form8")) == nullptr);
    viewHelp->trigger();
    QWidget *Form8 = TestWindows::visibleWindow(QStringLiteral("Form8"));
    QVERIFY(Form8 != nullptr);
    QCOMPARE(Form8->windowTitle(), QStringLiteral("Readme/Help"));
    QVERIFY(!Form8->isModal());
    viewHelp->trigger();
    m_window->mnuHelpItem_Click(7); // any index
    QCOMPARE(TestWindows::windowCount(QStringLiteral("Form8")), 1);
}

void TestMainWindow::exitClosesEveryWindow()
{
    // Captions as the user sees them, with no shortcut keys.
    QStringList captions;
    for (QAction *menu : m_window->menuBar()->actions()) {
        for (QAction *item : menu->menu()->actions())
            captions << menu->text() + QLatin1Char('/') + item->text() + item->shortcut().toString();
    }
    QCOMPARE(captions.join(QLatin1Char(',')),
             QStringLiteral("File/Exit,Cams/Add a Cam,Cams/Delete Selected Cam,Cams/Edit Selected Cam,"
                            "Cams/Start Selected Cam,Cams/Stop All Cams,Help/View Help"));

    MainWindow &w = *m_window;
    w.mnuHelpItem_Click(0);
    w.mnuFileItem_Click(1); // no such item
    QVERIFY(w.isVisible());
    menuItem(w, "mnuFileItem", 0)->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(TestWindows::visibleWindow(QStringLiteral("Form8")) == nullptr);
}

VANTORA_WIDGET_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
