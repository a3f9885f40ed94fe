#pragma once

#include "common/sharedstate.h"
#include "slots/changedetection.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class DetailView;
class InternetClock;
class ListCommands;
class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QToolButton;
class Retention;
class RetentionMenu;
class SlotPane;
class WallWindow;
class WebPageWindow;

// The main window "Form1": three columns ("Controls", "Webcams", the hidden "Viewer") over the
// status line, and the File, Cams and Help menus. Controls carry their names as objectName.
// Composition happens in the constructor; Form_Load runs the start-up steps. The slot pane's
// signals reach the views here.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kFileItemCount = 1;
    static constexpr int kCamItemCount = 5;
    static constexpr int kHelpItemCount = 1;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    SharedState &state() { return m_state; }
    ListCommands *listCommands() const { return m_listCommands.get(); }
    DetailView *detailView() const { return m_frmMain; }

    // Start-up: captions, layout, the "cam" folder, refresh indicators, the camera list, and the
    // help window when the setting "showHelp" is exactly "1".
    void Form_Load();

    // Fits the columns to the window's outer size; nothing moves below 12180 x 6000 twips.
    void LayoutMainWindow();

    // Opens the web page window, or shows it again when it is open already.
    void Command2_Click();

    void mnuFileItem_Click(qint16 Index);
    void mnuCamItem_Click(qint16 Index);
    void mnuHelpItem_Click(qint16 Index);

    // Cams, "Camera Wall" (F11): opens the wall full screen on this window's screen, or brings
    // the open one to the front.
    void openCameraWall();
    WallWindow *cameraWall() const;

    // Cams, "Detect changes without a server date": how the slots tell a new picture from a
    // reply without a "Last-Modified:" line; checked in the submenu and kept with the settings.
    void setChangeDetection(ChangeDetection detection);

    // "Webcams" column: the 24 slots (other classes call its methods; its widgets are its own).
    SlotPane *frmCams = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Resize();
    void composeControls(QWidget *client);
    void composeCams(QWidget *client);
    void composeMenus();
    void connectCommands();
    // The slot pane's signals to the detail view, the full-screen view and auto-save.
    void connectViews();
    // Opens the history window of slot Index's camera, or brings its open one to the front.
    void openHistory(int Index);
    // The Internet clock: queried by the detail slot's ticks and by opening a slot in the detail
    // view; its time goes to lblTime.
    void connectClock();
    // Retention of saved pictures: its menu, the saves it counts, the free-space floor.
    void connectRetention();

    // A changed picture arrived in a slot: automatic saving takes it from here when it is on.
    void AutoSaveChangedPicture(int Index);

    QLineEdit *txtStatus = nullptr; // the status line

    // "Controls" column (each control announced by its caption or tool tip).
    QGroupBox *Frame1 = nullptr;
    QToolButton *cmdAdd = nullptr;
    QToolButton *cmdRemove = nullptr;
    QToolButton *cmdEdit = nullptr;
    QToolButton *cmdStartCam = nullptr;
    QToolButton *cmdStopAll = nullptr;
    QPushButton *Command2 = nullptr;
    QCheckBox *chkSave = nullptr;
    QLabel *Label1 = nullptr;
    QListWidget *List1 = nullptr;

    // Menus; the items of one menu form an indexed group sharing one objectName.
    QMenu *mnuFile = nullptr;
    QMenu *mnuCam = nullptr;
    QMenu *mnuHelp = nullptr;
    std::array<QAction *, kFileItemCount> mnuFileItem{};
    std::array<QAction *, kCamItemCount> mnuCamItem{};
    std::array<QAction *, kHelpItemCount> mnuHelpItem{};
    QAction *mnuCamWall = nullptr; // after the indexed group, which keeps its indexes
    RetentionMenu *mnuCamKeep = nullptr; // "Keep Saved Pictures"
    QMenu *mnuDetectChanges = nullptr; // its three states, checkable, one at a time

    SharedState m_state;
    std::unique_ptr<ListCommands> m_listCommands;
    InternetClock *m_clock = nullptr;
    Retention *m_retention = nullptr;
    DetailView *m_frmMain = nullptr; // the "Viewer" column, hidden until a slot is shown in it
    QPointer<WebPageWindow> m_Form5;
    QPointer<WallWindow> m_wall;
};
