#pragma once

#include "common/sharedstate.h"

#include <QMainWindow>

#include <array>
#include <memory>

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
class QScrollBar;
class QSlider;
class QToolButton;
class SlotPane;

// The main window "Form1": three columns ("Controls", "Webcams", the hidden "Viewer") over the
// status line, and the File, Cams and Help menus. Controls carry their names as objectName.
// Composition happens in the constructor; Form_Load runs the start-up steps.
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

    // Start-up: captions, layout, the "cam" folder, refresh indicators, the camera list, and the
    // help window when the setting "showHelp" is exactly "1".
    void Form_Load();

    // Fits the columns to the window's outer size; nothing moves below 12180 x 6000 twips.
    void LayoutMainWindow();

    void VScroll2_Change();
    void HScroll1_Change();

    void mnuFileItem_Click(qint16 Index);
    void mnuCamItem_Click(qint16 Index);
    void mnuHelpItem_Click(qint16 Index);

    // "Webcams" column: the 24 slots.
    SlotPane *frmCams = nullptr;

    // "Viewer" column (hidden until a slot is shown in it).
    QGroupBox *frmMain = nullptr;
    QWidget *Picture1 = nullptr;
    QLabel *imgMain = nullptr;
    QScrollBar *VScroll2 = nullptr; // values in pixels, as the slot pane's VScroll1
    QScrollBar *HScroll1 = nullptr;
    QPushButton *Command1 = nullptr;
    QGroupBox *frmDetails = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *Command3 = nullptr;
    QLabel *Label6 = nullptr;
    QSlider *Slider1 = nullptr;
    QLabel *labelalla = nullptr; // caption of the "Current Time:" row
    QLabel *lblName = nullptr;
    QLabel *lblLastRefreshed = nullptr;
    QLabel *lblLastChanged = nullptr;
    QLabel *lblTime = nullptr;
    QLabel *lblRefresh = nullptr;
    QLabel *lblNextRefresh = nullptr;

    QLineEdit *txtStatus = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Resize();
    void composeControls(QWidget *client);
    void composeCams(QWidget *client);
    void composeViewer(QWidget *client);
    void composeDetails();
    void composeMenus();
    void connectCommands();
    // The Internet clock: queried by the detail slot's ticks and by opening a slot in the detail
    // view; its time goes to lblTime.
    void connectClock();

    // A changed picture arrived in a slot: automatic saving takes it from here when it is on.
    void AutoSaveChangedPicture(int Index);

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

    SharedState m_state;
    std::unique_ptr<ListCommands> m_listCommands;
    InternetClock *m_clock = nullptr;
};
