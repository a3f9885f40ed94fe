#include "shell/mainwindow.h"

#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/devicepicture.h"
#include "common/fileexists.h"
#include "common/framefont.h"
#include "common/lockwindow.h"
#include "common/namedchild.h"
#include "common/picturebutton.h"
#include "common/pictures.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "history/historywindow.h"
#include "retention/retention.h"
#include "retention/retentionmenu.h"
#include "shell/changedetectionsetting.h"
#include "shell/form1geometry.h"
#include "shell/helpwindowhook.h"
#include "shell/mainlayout.h"
#include "shell/programpage.h"
#include "shell/showhelpsetting.h"
#include "slots/slotpane.h"
#include "views/detailview.h"
#include "views/fullscreenview.h"
#include "views/picturesaver.h"
#include "views/wallwindow.h"
#include "views/webpagewindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolButton>

#include <initializer_list>
#include <utility>

namespace {

constexpr int kExitItem = 0;
enum CamItem : qint16 { AddCam = 0, DeleteCam = 1, EditCam = 2, StartCam = 3, StopAllCams = 4 };

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QString::fromLatin1(Pictures::AppIcon)));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    composeControls(client);
    composeCams(client);
    m_frmMain = new DetailView(m_state, frmCams, client);
    txtStatus = namedChild(new QLineEdit(client), "txtStatus", Form1Geometry::txtStatus);
    txtStatus->setText(QStringLiteral("status..."));
    composeMenus();

    m_listCommands = std::make_unique<ListCommands>(this, List1, frmCams, m_state);
    connectCommands();
    connectViews();
    connectClock();
    connectRetention();

    resize(twipsToPixels(Form1Geometry::kClientWidth),
           twipsToPixels(Form1Geometry::kClientHeight) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::composeControls(QWidget *client)
{
    namespace G = Form1Geometry;
    Frame1 = namedChild(new QGroupBox(QStringLiteral("Controls"), client), "Frame1", G::Frame1);
    Frame1->setFont(frameFont());
    Frame1->setAccessibleName(Frame1->title());

    cmdAdd = newPictureButton(Frame1, "cmdAdd", G::cmdAdd, Pictures::Add, "Add a Cam");
    cmdRemove = newPictureButton(Frame1, "cmdRemove", G::cmdRemove, Pictures::Remove, "Remove Selected Cam");
    cmdEdit = newPictureButton(Frame1, "cmdEdit", G::cmdEdit, Pictures::Edit, "Edit Selected Cam");
    cmdStartCam =
        newPictureButton(Frame1, "cmdStartCam", G::cmdStartCam, Pictures::StartCam, "Start Selected Cam");
    cmdStopAll = newPictureButton(Frame1, "cmdStopAll", G::cmdStopAll, Pictures::StopAll, "Stop All Cams");

    Command2 = namedChild(new QPushButton(Frame1), "Command2", G::Command2);
    Command2->setFont(font()); // the window's default font, not the frame's

    chkSave =
        namedChild(new QCheckBox(QStringLiteral("AutoSave New Pictures"), Frame1), "chkSave", G::chkSave);
    chkSave->setToolTip(QStringLiteral("saved to /cam/ subdirectory under Peltrixcammer.exe"));
    chkSave->setAccessibleName(chkSave->text());

    Label1 = namedChild(new QLabel(QStringLiteral("Webcam Listing"), Frame1), "Label1", G::Label1);
    Label1->setAccessibleName(Label1->text());

    List1 = namedChild(new QListWidget(Frame1), "List1", G::List1);
    List1->setSortingEnabled(true);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setAccessibleName(Label1->text()); // the list is what its label names
    Label1->setBuddy(List1);
    List1->viewport()->installEventFilter(this);
}

void MainWindow::composeCams(QWidget *client)
{
    // The pane names, places and styles itself as the "Webcams" column.
    frmCams = new SlotPane(m_state, client);
}

void MainWindow::composeMenus()
{
    // No item of the indexed groups has a shortcut key, and the captions carry no mnemonics.
    // A menu is announced by its title, an item by its caption.
    const auto addMenu = [this](const char *name, const char *title) {
        QMenu *menu = menuBar()->addMenu(QString::fromLatin1(title));
        menu->setObjectName(QString::fromLatin1(name));
        menu->setAccessibleName(menu->title());
        return menu;
    };
    mnuFile = addMenu("mnuFile", "File");
    mnuCam = addMenu("mnuCam", "Cams");
    mnuHelp = addMenu("mnuHelp", "Help");

    const auto addItems = [this](QMenu *menu, const char *name, auto &items,
                                 std::initializer_list<const char *> captions,
                                 void (MainWindow::*handler)(qint16)) {
        qint16 index = 0;
        for (const char *caption : captions) {
            QAction *item = menu->addAction(QString::fromLatin1(caption));
            item->setObjectName(QString::fromLatin1(name));
            item->setData(index);
            connect(item, &QAction::triggered, this, [this, handler, index] { (this->*handler)(index); });
            items[static_cast<std::size_t>(index)] = item;
            ++index;
        }
    };
    addItems(mnuFile, "mnuFileItem", mnuFileItem, {"Exit"}, &MainWindow::mnuFileItem_Click);
    addItems(mnuCam, "mnuCamItem", mnuCamItem,
             {"Add a Cam", "Delete Selected Cam", "Edit Selected Cam", "Start Selected Cam", "Stop All Cams"},
             &MainWindow::mnuCamItem_Click);
    addItems(mnuHelp, "mnuHelpItem", mnuHelpItem, {"View Help"}, &MainWindow::mnuHelpItem_Click);

    mnuCamWall = mnuCam->addAction(QStringLiteral("Camera Wall"));
    mnuCamWall->setObjectName(QStringLiteral("mnuCamWall"));
    mnuCamWall->setShortcut(QKeySequence(Qt::Key_F11));
    connect(mnuCamWall, &QAction::triggered, this, &MainWindow::openCameraWall);

    mnuCamKeep = new RetentionMenu(ReadRetentionSetting(), this);
    mnuCam->addMenu(mnuCamKeep);

    mnuDetectChanges = mnuCam->addMenu(QStringLiteral("Detect changes without a server date"));
    mnuDetectChanges->setObjectName(QStringLiteral("mnuDetectChanges"));
    mnuDetectChanges->setAccessibleName(mnuDetectChanges->title());
    auto *states = new QActionGroup(mnuDetectChanges);
    states->setExclusive(true);
    for (const auto &[detection, caption] :
         {std::pair{ChangeDetection::Off, "Off"}, std::pair{ChangeDetection::Bytes, "When the bytes change"},
          std::pair{ChangeDetection::Picture, "When the picture visibly changes"}}) {
        QAction *item = mnuDetectChanges->addAction(QString::fromLatin1(caption));
        item->setObjectName(QStringLiteral("mnuDetectChangesItem"));
        item->setCheckable(true);
        item->setData(int(detection));
        states->addAction(item);
        connect(item, &QAction::triggered, this, [this, chosen = detection] { setChangeDetection(chosen); });
    }
    const ChangeDetection stored = readChangeDetectionSetting();
    frmCams->setChangeDetection(stored);
    for (QAction *item : mnuDetectChanges->actions())
        item->setChecked(item->data().toInt() == int(stored));
}

void MainWindow::setChangeDetection(ChangeDetection detection)
{
    frmCams->setChangeDetection(detection);
    for (QAction *item : mnuDetectChanges->actions())
        item->setChecked(item->data().toInt() == int(detection));
    writeChangeDetectionSetting(detection);
}

void MainWindow::connectCommands()
{
    ListCommands *commands = m_listCommands.get();
    connect(cmdAdd, &QToolButton::clicked, commands, [commands] { commands->cmdAdd_Click(); });
    connect(cmdRemove, &QToolButton::clicked, commands, [commands] { commands->cmdRemove_Click(); });
    connect(cmdEdit, &QToolButton::clicked, commands, [commands] { commands->cmdEdit_Click(); });
    connect(cmdStartCam, &QToolButton::clicked, commands, [commands] { commands->cmdStartCam_Click(); });
    connect(cmdStopAll, &QToolButton::clicked, frmCams, [this] { frmCams->cmdStopAll_Click(); });

    connect(Command2, &QPushButton::clicked, this, &MainWindow::Command2_Click);
}

void MainWindow::connectViews()
{
    DetailView *view = m_frmMain;
    connect(frmCams, &SlotPane::imgCam_Click, view, &DetailView::imgCam_Click);
    connect(frmCams, &SlotPane::detailFetchStarted, view, &DetailView::showFetchStarted);
    connect(frmCams, &SlotPane::detailPictureLoaded, view, &DetailView::showReplyPicture);
    connect(frmCams, &SlotPane::changedPictureLoaded, this, &MainWindow::AutoSaveChangedPicture);
    connect(frmCams, &SlotPane::detailReplyHandled, view, &DetailView::showReplyTexts);
    connect(frmCams, &SlotPane::detailTick, view,
            [view](int, const QString &nextRefreshText) { view->setNextRefreshText(nextRefreshText); });
    connect(frmCams, &SlotPane::detailSlotStopped, view, &DetailView::slotStopped);
    connect(view, &DetailView::statusText, txtStatus, &QLineEdit::setText);
    connect(view, &DetailView::historyRequested, this, &MainWindow::openHistory);
    // The status line says why the detail slot's fetch failed, once the user has picked that slot
    // (before any pick slot 0 counts as the detail slot, unseen).
    connect(frmCams, &SlotPane::detailFetchFailed, txtStatus, [this](int, const QString &text) {
        if (!m_frmMain->isHidden())
            txtStatus->setText(text);
    });
}

void MainWindow::openHistory(int Index)
{
    const QString camera = frmCams->camName(Index);
    for (HistoryWindow *open : findChildren<HistoryWindow *>(Qt::FindDirectChildrenOnly)) {
        if (open->camera() == camera) {
            open->showNormal();
            open->raise();
            open->activateWindow();
            return;
        }
    }
    // Older pictures are told apart by name among every camera of the list.
    QStringList names;
    for (int i = 0; i < List1->count(); ++i)
        names << List1->item(i)->text();
    if (!names.contains(camera))
        names << camera;
    HistoryWindow::forCamera(PictureSaver::camFolder(), camera, names, this)->show();
}

void MainWindow::connectClock()
{
    m_clock = new InternetClock(this);
    InternetClock *clock = m_clock;
    connect(clock, &InternetClock::lblTimeChanged, m_frmMain, &DetailView::setTimeText);
    // After the tick's countdown (connected before this), and as the last step of opening a slot.
    connect(frmCams, &SlotPane::detailTick, clock, [clock] { clock->StartTimeQuery(); });
    connect(m_frmMain, &DetailView::timeQueryDue, clock, [clock] { clock->StartTimeQuery(); });
}

void MainWindow::connectRetention()
{
    m_retention = new Retention(PictureSaver::camFolder(), this);
    Retention *retention = m_retention;
    PictureSaver *saver = m_frmMain->pictureSaver();
    retention->setCameraNames([this] {
        QStringList names;
        for (int i = 0; i < List1->count(); ++i)
            names << List1->item(i)->text();
        for (int i = 0; i < SlotPane::kSlotCount; ++i)
            names << frmCams->camName(i);
        return names;
    });
    const auto applyRule = [retention, saver](const RetentionRule &rule) {
        saver->setPruneBeforePause(rule.hasLimit());
        retention->setRule(rule);
    };
    connect(mnuCamKeep, &RetentionMenu::ruleChosen, retention, applyRule);
    connect(saver, &PictureSaver::pictureSaved, retention, &Retention::pictureSaved);
    connect(saver, &PictureSaver::spaceShort, retention, &Retention::makeSpace);
    connect(retention, &Retention::spaceMade, saver, &PictureSaver::spaceMade);
    connect(retention, &Retention::statusText, txtStatus, &QLineEdit::setText);
    applyRule(ReadRetentionSetting());
}

void MainWindow::Form_Load()
{
    Command2->setText(strComments);
    Command2->setAccessibleName(strComments);
    setWindowTitle(strProductName + QStringLiteral(" by ") + strCompanyName);
    LayoutMainWindow();

    // A folder that cannot be made (no write access) is no reason to stop the start.
    const QString camFolder = PictureSaver::camFolder();
    if (!FolderExists(camFolder))
        QDir().mkdir(camFolder);

    LockWindow(this, true);
    frmCams->setRefreshPicture(
        QPixmap::fromImage(devicePicture(Pictures::Refresh, highestDevicePixelRatio())));
    LockWindow(this, false);

    FillCamList(List1, this);
    m_retention->start();

    if (ReadShowHelpSetting() == QLatin1String("1"))
        ShowHelpWindow(this);
}

void MainWindow::LayoutMainWindow()
{
    const QSize outer = frameGeometry().size();
    const DetailView::LayoutRects viewer = m_frmMain->layoutRects();
    const MainLayout current{
        toTwips(txtStatus->geometry()),
        toTwips(Frame1->geometry()),
        toTwips(List1->geometry()),
        toTwips(frmCams->geometry()),
        toTwips(frmCams->windowGeometry()),
        toTwips(frmCams->scrollBarGeometry()),
        toTwips(viewer.frmMain),
        toTwips(viewer.Picture1),
        toTwips(viewer.frmDetails),
        toTwips(viewer.VScroll2),
        toTwips(viewer.HScroll1),
        toTwips(viewer.Command1),
    };
    const MainLayout next = ::LayoutMainWindow(static_cast<float>(pixelsToTwips(outer.width())),
                                               static_cast<float>(pixelsToTwips(outer.height())), current);
    if (next == current)
        return;

    txtStatus->setGeometry(toPixels(next.txtStatus));
    Frame1->setGeometry(toPixels(next.Frame1));
    List1->setGeometry(toPixels(next.List1));
    frmCams->setGeometry(toPixels(next.frmCams));
    frmCams->setWindowGeometry(toPixels(next.picWindowOuter), toPixels(next.VScroll1));
    m_frmMain->setLayoutRects(DetailView::LayoutRects{toPixels(next.frmMain), toPixels(next.Picture1),
                                                      toPixels(next.frmDetails), toPixels(next.VScroll2),
                                                      toPixels(next.HScroll1), toPixels(next.Command1)});
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainWindow::Form_Resize()
{
    LayoutMainWindow();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A double click anywhere in the list starts the selected camera, as the list's own event.
    if (m_listCommands && watched == List1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        m_listCommands->List1_DblClick();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Command2_Click()
{
    if (m_Form5.isNull())
        m_Form5 = new WebPageWindow(strComments, programPageFor(strComments), this);
    m_Form5->showMaximized();
    m_Form5->raise();
}

void MainWindow::mnuFileItem_Click(qint16 Index)
{
    if (Index != kExitItem)
        return;
    // Ends the program at once: every window closes without asking.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::mnuCamItem_Click(qint16 Index)
{
    switch (Index) {
    case AddCam:
        m_listCommands->cmdAdd_Click();
        break;
    case DeleteCam:
        m_listCommands->cmdRemove_Click();
        break;
    case EditCam:
        m_listCommands->cmdEdit_Click();
        break;
    case StartCam:
        m_listCommands->cmdStartCam_Click();
        break;
    case StopAllCams:
        frmCams->cmdStopAll_Click();
        break;
    default:
        break;
    }
}

void MainWindow::mnuHelpItem_Click(qint16 /*Index*/)
{
    ShowHelpWindow(this);
}

WallWindow *MainWindow::cameraWall() const
{
    return m_wall;
}

void MainWindow::openCameraWall()
{
    if (!m_wall.isNull()) {
        m_wall->returnToFront();
        return;
    }
    m_wall = new WallWindow(frmCams, this);
    WallWindow *wall = m_wall;
    connect(frmCams, &SlotPane::slotChanged, wall, &WallWindow::slotChanged);
    // A tile does what a click on its slot's picture does, then shows that camera full screen on
    // the wall's screen; the full-screen view's click comes back to the wall.
    connect(wall, &WallWindow::tileClicked, this, [this, wall](int Index) {
        m_frmMain->imgCam_Click(Index);
        m_frmMain->Command3_Click();
        FullScreenView *view = m_frmMain->fullScreenView();
        if (view == nullptr)
            return;
        if (view->screen() != wall->screen())
            view->showOn(wall->screen());
        connect(view, &QObject::destroyed, wall, &WallWindow::returnToFront, Qt::UniqueConnection);
    });
    wall->showOn(screen());
}

void MainWindow::AutoSaveChangedPicture(int Index)
{
    if (chkSave->isChecked())
        m_frmMain->AutoSavePicture(Index);
}
