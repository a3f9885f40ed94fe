#pragma once

#include "camlist/cameraentry.h"

#include <QObject>
#include <QPointer>

class AddCamDialog;
class EditCamDialog;
class NoticeWindow;
class QListWidget;
class QWidget;
class SlotPane;
struct SharedState;

// The list commands of the main window: add, edit, remove and start the selected camera.
// The main window owns the buttons and menu items and calls these; List1 is its list box.
class ListCommands : public QObject
{
    Q_OBJECT

public:
    ListCommands(QWidget *mainWindow, QListWidget *List1, SlotPane *slotPane, SharedState &state,
                 QObject *parent = nullptr);
    ~ListCommands() override;

    bool AnyCamSelected() const;
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdRemove_Click();
    void cmdStartCam_Click();
    void List1_DblClick();
    void StartSelectedCam();
    // Opens the camera stored under this name (the list file's bytes).
    void OpenCam(const QByteArray &name);

    // The single instances, while open (null otherwise).
    AddCamDialog *Form2() const;
    EditCamDialog *Form3() const;
    NoticeWindow *Form4() const;

    CameraEntry foundEntry; // the entry the last successful lookup of open or remove found

private:
    void showNotice();
    static void bringToFront(QWidget *window);

    QPointer<QWidget> m_mainWindow;
    QPointer<QListWidget> m_List1;
    QPointer<SlotPane> m_slotPane;
    SharedState &m_state;
    QPointer<AddCamDialog> m_Form2;
    QPointer<EditCamDialog> m_Form3;
    QPointer<NoticeWindow> m_Form4;
};
