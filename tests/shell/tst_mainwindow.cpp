#include "appidentity.h"
#include "cameraslot.h"
#include "mainwindow.h"
#include "isolatedsettings.h"
#include "offscreenmain.h"
#include "programfolder.h"
#include "showhelpsetting.h"
#include "slotpane.h"
#include "testwindows.h"
#include "twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
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
    void menusHelpAndExit();

private:
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
};

void TestMainWindow::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    ReadAppIdentity();
    // Cameras on the loopback address: opening one connects there and is refused, quietly.
    QFile list(m_dir.filePath(QStringLiteral("00camlist.txt")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("[name]Alpha\r\nhttp://127.0.0.1/alpha.jpg\r\n30\r\n\r\n"
               "[name]Beta\r\nhttp://127.0.0.1/beta.jpg\r\n45\r\n\r\n");
    SetProgramFolder(m_dir.path());
    WriteShowHelpSetting(QStringLiteral("0"));
}

void TestMainWindow::init()
{
    m_window.reset();
    TestWindows::deleteAll();
    m_window = std::make_unique<MainWindow>();
    m_window->Form_Load();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::layoutAndScrolling_data()
{
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<bool>("laidOut");
    QTest::newRow("12180 x 6000 twips") << QSize(812, 400) << true;
    QTest::newRow("a pixel narrower") << QSize(811, 400) << false;
    QTest::newRow("a pixel lower") << QSize(812, 399) << false;
}

void TestMainWindow::layoutAndScrolling()
{
    QFETCH(QSize, outer);
    QFETCH(bool, laidOut);
    MainWindow &w = *m_window;
    // Resizes so that the outer size (frame included, when there is one) is this many pixels.
    const auto resizeOuter = [&w](int width, int height) {
        const QSize frame = w.frameGeometry().size() - w.geometry().size();
        w.resize(width - frame.width(), height - frame.height());
    };
    resizeOuter(1000, 700);
    QTRY_COMPARE(w.Frame1->height(), TwipsToPixels(700 * 15 - 1115));
    // The scroll bars count in pixels: 2000 twips down puts the slot pane's top at -2030 twips,
    // so the second row of slots shows 10 twips below the top of the pane's window.
    w.frmCams->VScroll1()->setValue(TwipsToPixels(2000));
    QCOMPARE(w.frmCams->slot(3)->geometry(), TwipsRect(1800, 60 + 1980, 1635, 1935));
    // The detail picture follows its bars once they have a range.
    w.VScroll2->setRange(0, 500);
    w.HScroll1->setRange(0, 500);
    w.VScroll2->setValue(40);
    w.HScroll1->setValue(100);

    resizeOuter(outer.width(), outer.height());
    QTRY_COMPARE(w.frameGeometry().size(), outer);
    // Too small a window keeps the layout of 1000 x 700; the scroll positions stay either way.
    const double W = PixelsToTwips(laidOut ? outer.width() : 1000);
    const double H = PixelsToTwips(laidOut ? outer.height() : 700);
    QTRY_COMPARE(w.Frame1->height(), TwipsToPixels(H - 1115));
    QCOMPARE(w.frmMain->height(), TwipsToPixels(H - 1115)); // laid out while hidden
    QCOMPARE(w.txtStatus->geometry(), TwipsRect(0, H - 1115, W - 200, 315));
    QCOMPARE(w.Picture1->width(), TwipsToPixels(W - 6880));
    QCOMPARE(w.frmCams->picWindowInner()->y(), TwipsToPixels(-2030));
    QCOMPARE(w.imgMain->pos(), QPoint(-100, -40));
}

void TestMainWindow::commandsReachTheirTargets_data()
{
    QTest::addColumn<QString>("how");     // a button's objectName, a Cams item's index or "dblclick"
    QTest::addColumn<int>("selected");    // list row selected first; -1 none, -2 none after opening both
    QTest::addColumn<QString>("outcome"); // question asked | windows shown | open count | slot 0 if shown

    const QString asks = QStringLiteral("Confirm Delete: Are you sure you want to delete Alpha?|0|");
    QTest::newRow("cmdAdd") << "cmdAdd" << -1 << "|Form2 Vantora :: add a cam|0|";
    QTest::newRow("Add a Cam") << "0" << -1 << "|Form2 Vantora :: add a cam|0|";
    QTest::newRow("cmdRemove") << "cmdRemove" << 0 << asks;
    QTest::newRow("Delete Selected Cam") << "1" << 0 << asks;
    QTest::newRow("cmdEdit") << "cmdEdit" << 1 << "|Form3 Beta|0|";
    QTest::newRow("Edit Selected Cam") << "2" << 1 << "|Form3 Beta|0|";
    QTest::newRow("cmdStartCam") << "cmdStartCam" << 1 << "|1|Beta";
    QTest::newRow("Start Selected Cam") << "3" << 1 << "|1|Beta";
    QTest::newRow("double click") << "dblclick" << 0 << "|1|Alpha";
    QTest::newRow("cmdStopAll") << "cmdStopAll" << -2 << "|0|";
    QTest::newRow("Stop All Cams") << "4" << -2 << "|0|";
}

void TestMainWindow::commandsReachTheirTargets()
{
    QFETCH(QString, how);
    QFETCH(int, selected);
    QFETCH(QString, outcome);
    MainWindow &w = *m_window;
    for (int row = 0; row < 2 && selected == -2; ++row) {
        w.List1->setCurrentRow(row);
        w.mnuCamItem_Click(3);
    }
    QCOMPARE(w.state().intOpenCams, qint16(selected == -2 ? 2 : 0));
    w.List1->setCurrentRow(selected);

    QStringList seen{QString()};
    QTimer answer; // the delete confirmation is modal: note it and answer Cancel once it is up
    connect(&answer, &QTimer::timeout, this, [&seen] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen[0] = box->windowTitle() + QLatin1String(": ") + box->text();
            box->button(QMessageBox::Cancel)->click();
        }
    });
    answer.start(10);
    if (how.size() == 1)
        w.mnuCamItem.at(how.toUInt())->trigger();
    else if (auto *button = w.findChild<QAbstractButton *>(how))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        QTest::mouseDClick(w.List1->viewport(), Qt::LeftButton, {}, w.List1->visualItemRect(w.List1->item(0)).center());

    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != &w && window->isVisible())
            seen << window->objectName() + QLatin1Char(' ') + window->windowTitle();
    }
    const CameraSlot *first = w.frmCams->slot(0); // a camera opened goes there
    seen << QString::number(w.state().intOpenCams) << (first->isVisibleTo(w.frmCams) ? first->title() : QString());
    QCOMPARE(seen.join(QLatin1Char('|')), outcome);
}

void TestMainWindow::menusHelpAndExit()
{
    // Captions as the user sees them, with no shortcut keys.
    MainWindow &w = *m_window;
    QStringList captions;
    for (QAction *menu : w.menuBar()->actions()) {
        for (QAction *item : menu->menu()->actions())
            captions << menu->text() + QLatin1Char('/') + item->text() + item->shortcut().toString();
    }
    QCOMPARE(captions.join(QLatin1Char(',')),
             QStringLiteral("File/Exit,Cams/Add a Cam,Cams/Delete Selected Cam,Cams/Edit Selected Cam,"
                            "Cams/Start Selected Cam,Cams/Stop All Cams,Help/View Help"));

    // One help window, however often it is asked for.
    w.mnuHelpItem[0]->trigger();
    w.mnuHelpItem[0]->trigger();
    w.mnuHelpItem_Click(7); // any index
    QCOMPARE(TestWindows::windowCount(QStringLiteral("Form8")), 1);
    QWidget *Form8 = TestWindows::visibleWindow(QStringLiteral("Form8"));
    QVERIFY(Form8 != nullptr && !Form8->isModal());
    QCOMPARE(Form8->windowTitle(), QStringLiteral("Readme/Help"));

    w.mnuFileItem_Click(1); // no such item
    QVERIFY(w.isVisible());
    w.mnuFileItem[0]->trigger();
    QVERIFY(!w.isVisible() && TestWindows::visibleWindow(QStringLiteral("Form8")) == nullptr);
}

VANTORA_WIDGET_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
