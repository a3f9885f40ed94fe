#include "shell/mainwindow.h"

#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/fileexists.h"
#include "common/framefont.h"
#include "common/lockwindow.h"
#include "common/namedchild.h"
#include "common/picturebutton.h"
#include "common/pictures.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "shell/form1geometry.h"
#include "shell/helpwindowhook.h"
#include "shell/mainlayout.h"
#include "shell/showhelpsetting.h"
#include "slots/slotpane.h"

#include <QAction>
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
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

#include <initializer_list>

namespace {

constexpr qreal kDetailPoints = 9.75; // the particulars of the detail frame

// Scroll bars of the detail picture: steps in twips; the bars themselves count in pixels.
constexpr double kPictureScrollSmallStep = 300;
constexpr double kPictureScrollLargeStep = 2000;

// Zoom slider.
constexpr int kZoomMinimum = 1;
constexpr int kZoomMaximum = 5;

constexpr int kExitItem = 0;
enum CamItem : qint16 { AddCam = 0, DeleteCam = 1, EditCam = 2, StartCam = 3, StopAllCams = 4 };

constexpr char kCamFolderName[] = "cam";

QScrollBar *pictureScrollBar(QWidget *parent, Qt::Orientation orientation, const char *name,
                             const TwipRect &geometry)
{
    auto *bar = namedChild(new QScrollBar(orientation, parent), name, geometry);
    bar->setRange(0, 0);
    bar->setSingleStep(twipsToPixels(kPictureScrollSmallStep));
    bar->setPageStep(twipsToPixels(kPictureScrollLargeStep));
    bar->setTracking(false); // the picture moves once the value has changed, not while dragging
    bar->setEnabled(false);
    return bar;
}

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
    composeViewer(client);
    txtStatus = namedChild(new QLineEdit(client), "txtStatus", Form1Geometry::txtStatus);
    txtStatus->setText(QStringLiteral("status..."));
    composeMenus();

    m_listCommands = std::make_unique<ListCommands>(this, List1, frmCams, m_state);
    connectCommands();
    connectClock();

    resize(twipsToPixels(Form1Geometry::kClientWidth),
           twipsToPixels(Form1Geometry::kClientHeight) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::composeControls(QWidget *client)
{
    namespace G = Form1Geometry;
    Frame1 = namedChild(new QGroupBox(QStringLiteral("Controls"), client), "Frame1", G::Frame1);
    Frame1->setFont(frameFont());

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

    Label1 = namedChild(new QLabel(QStringLiteral("Webcam Listing"), Frame1), "Label1", G::Label1);

    List1 = namedChild(new QListWidget(Frame1), "List1", G::List1);
    List1->setSortingEnabled(true);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->viewport()->installEventFilter(this);
}

void MainWindow::composeCams(QWidget *client)
{
    // The pane names, places and styles itself as the "Webcams" column.
    frmCams = new SlotPane(m_state, client);
}

void MainWindow::composeViewer(QWidget *client)
{
    namespace G = Form1Geometry;
    frmMain = namedChild(new QGroupBox(QStringLiteral("Viewer"), client), "frmMain", G::frmMain);
    frmMain->setFont(frameFont());

    Picture1 = namedChild(new QWidget(frmMain), "Picture1", G::Picture1);
    Picture1->setFont(font());
    imgMain = namedChild(new QLabel(Picture1), "imgMain", G::imgMain);
    VScroll2 = pictureScrollBar(Picture1, Qt::Vertical, "VScroll2", G::VScroll2);
    HScroll1 = pictureScrollBar(Picture1, Qt::Horizontal, "HScroll1", G::HScroll1);
    Command1 = namedChild(new QPushButton(Picture1), "Command1", G::Command1);

    frmDetails = namedChild(new QGroupBox(frmMain), "frmDetails", G::frmDetails);
    composeDetails();

    frmDetails->hide();
    frmMain->hide();
}

void MainWindow::composeDetails()
{
    namespace G = Form1Geometry;
    cmdSave = namedChild(new QPushButton(QStringLiteral("Save Image"), frmDetails), "cmdSave", G::cmdSave);
    Command3 =
        namedChild(new QPushButton(QStringLiteral("Screensaver"), frmDetails), "Command3", G::Command3);
    Label6 = namedChild(new QLabel(QStringLiteral("Zoom:"), frmDetails), "Label6", G::Label6);
    Label6->setFont(font());
    Slider1 = namedChild(new QSlider(Qt::Horizontal, frmDetails), "Slider1", G::Slider1);
    Slider1->setRange(kZoomMinimum, kZoomMaximum);
    Slider1->setValue(kZoomMinimum);

    struct Row
    {
        const char *captionName;
        const char *caption;
        QLabel **value;
        const char *valueName;
        const char *initialText;
    };
    const Row rows[] = {
        {"lblNameCaption", "Name:", &lblName, "lblName", "Name"},
        {"lblLastRefreshedCaption", "Last Refreshed:", &lblLastRefreshed, "lblLastRefreshed",
         "Last Refreshed"},
        {"lblLastChangedCaption", "Last Changed:", &lblLastChanged, "lblLastChanged", "Last Changed"},
        {"labelalla", "Current Time:", &lblTime, "lblTime", "Current Time"},
        {"lblRefreshCaption", "Refresh Rate:", &lblRefresh, "lblRefresh", "Refresh"},
        {"lblNextRefreshCaption", "Next Refresh:", &lblNextRefresh, "lblNextRefresh", "Next Refresh"},
    };
    float top = G::kRowFirstTop;
    for (const Row &row : rows) {
        auto *caption = namedChild(new QLabel(QString::fromLatin1(row.caption), frmDetails), row.captionName,
                                   TwipRect{G::kCaptionLeft, top, G::kCaptionWidth, G::kRowHeight});
        caption->setFont(verdanaFont(kDetailPoints, true));
        if (row.value == &lblTime)
            labelalla = caption;
        *row.value = namedChild(new QLabel(QString::fromLatin1(row.initialText), frmDetails), row.valueName,
                                TwipRect{G::kValueLeft, top, G::kValueWidth, G::kRowHeight});
        (*row.value)->setFont(verdanaFont(kDetailPoints));
        top += G::kRowStep;
    }
}

void MainWindow::composeMenus()
{
    // No item has a shortcut key, and the captions carry no mnemonics.
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuCam = menuBar()->addMenu(QStringLiteral("Cams"));
    mnuCam->setObjectName(QStringLiteral("mnuCam"));
    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));

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
}

void MainWindow::connectCommands()
{
    ListCommands *commands = m_listCommands.get();
    connect(cmdAdd, &QToolButton::clicked, commands, [commands] { commands->cmdAdd_Click(); });
    connect(cmdRemove, &QToolButton::clicked, commands, [commands] { commands->cmdRemove_Click(); });
    connect(cmdEdit, &QToolButton::clicked, commands, [commands] { commands->cmdEdit_Click(); });
    connect(cmdStartCam, &QToolButton::clicked, commands, [commands] { commands->cmdStartCam_Click(); });
    connect(cmdStopAll, &QToolButton::clicked, frmCams, [this] { frmCams->cmdStopAll_Click(); });

    connect(VScroll2, &QScrollBar::valueChanged, this, &MainWindow::VScroll2_Change);
    connect(HScroll1, &QScrollBar::valueChanged, this, &MainWindow::HScroll1_Change);

    connect(frmCams, &SlotPane::changedPictureLoaded, this, &MainWindow::AutoSaveChangedPicture);
    // The status line says why the detail slot's fetch failed.
    connect(frmCams, &SlotPane::detailFetchFailed, txtStatus,
            [this](int, const QString &note) { txtStatus->setText(note); });
}

void MainWindow::connectClock()
{
    m_clock = new InternetClock(this);
    InternetClock *clock = m_clock;
    connect(clock, &InternetClock::lblTimeChanged, lblTime, &QLabel::setText);
    connect(frmCams, &SlotPane::detailTick, clock, [clock] { clock->StartTimeQuery(); });
    // The last step of opening a slot in the detail view.
    connect(frmCams, &SlotPane::imgCam_Click, clock, [clock] { clock->StartTimeQuery(); });
}

void MainWindow::Form_Load()
{
    Command2->setText(strComments);
    setWindowTitle(strProductName + QStringLiteral(" by ") + strCompanyName);
    LayoutMainWindow();

    // A folder that cannot be made (no write access) is no reason to stop the start.
    const QString camFolder = QDir(ProgramFolder()).filePath(QString::fromLatin1(kCamFolderName));
    if (!FolderExists(camFolder))
        QDir().mkdir(camFolder);

    LockWindow(this, true);
    frmCams->setRefreshPicture(QPixmap(QString::fromLatin1(Pictures::Refresh)));
    LockWindow(this, false);

    FillCamList(List1, this);

    if (ReadShowHelpSetting() == QLatin1String("1"))
        ShowHelpWindow(this);
}

void MainWindow::LayoutMainWindow()
{
    const QSize outer = frameGeometry().size();
    const MainLayout current{
        toTwips(txtStatus->geometry()),     toTwips(Frame1->geometry()),
        toTwips(List1->geometry()),         toTwips(frmCams->geometry()),
        toTwips(frmCams->windowGeometry()), toTwips(frmCams->scrollBarGeometry()),
        toTwips(frmMain->geometry()),       toTwips(Picture1->geometry()),
        toTwips(frmDetails->geometry()),    toTwips(VScroll2->geometry()),
        toTwips(HScroll1->geometry()),      toTwips(Command1->geometry()),
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
    frmMain->setGeometry(toPixels(next.frmMain));
    Picture1->setGeometry(toPixels(next.Picture1));
    frmDetails->setGeometry(toPixels(next.frmDetails));
    VScroll2->setGeometry(toPixels(next.VScroll2));
    HScroll1->setGeometry(toPixels(next.HScroll1));
    Command1->setGeometry(toPixels(next.Command1));
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

void MainWindow::VScroll2_Change()
{
    imgMain->move(imgMain->x(), -VScroll2->value());
}

void MainWindow::HScroll1_Change()
{
    imgMain->move(-HScroll1->value(), imgMain->y());
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

void MainWindow::AutoSaveChangedPicture(int /*Index*/)
{
    // Automatic saving of changed pictures attaches here.
}
