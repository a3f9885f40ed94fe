#include "camlist/listcommands.h"

#include "camlist/addcamdialog.h"
#include "camlist/camlistfile.h"
#include "camlist/camlistitem.h"
#include "camlist/camlistmessages.h"
#include "camlist/editcamdialog.h"
#include "camlist/noticewindow.h"
#include "common/sharedstate.h"
#include "slots/slotpane.h"

#include <QListWidget>

namespace {
// No camera is opened while this many are open.
constexpr qint16 kMaxOpenCams = SlotPane::kSlotCount;
} // namespace

ListCommands::ListCommands(QWidget *mainWindow, QListWidget *List1, SlotPane *slotPane, SharedState &state,
                           QObject *parent)
    : QObject(parent)
    , m_mainWindow(mainWindow)
    , m_List1(List1)
    , m_slotPane(slotPane)
    , m_state(state)
{ }

ListCommands::~ListCommands() = default;

AddCamDialog *ListCommands::Form2() const
{
    return m_Form2;
}

EditCamDialog *ListCommands::Form3() const
{
    return m_Form3;
}

NoticeWindow *ListCommands::Form4() const
{
    return m_Form4;
}

bool ListCommands::AnyCamSelected() const
{
    if (m_List1 == nullptr)
        return false;
    bool selected = false;
    for (int row = 0; row < m_List1->count(); ++row) {
        if (m_List1->item(row)->isSelected())
            selected = true;
    }
    return selected;
}

void ListCommands::bringToFront(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void ListCommands::showNotice()
{
    if (m_Form4 == nullptr)
        m_Form4 = new NoticeWindow(m_mainWindow);
    bringToFront(m_Form4);
}

void ListCommands::cmdAdd_Click()
{
    if (m_Form2 == nullptr) {
        m_Form2 = new AddCamDialog(m_List1, m_mainWindow);
        m_Form2->Form_Load();
    }
    bringToFront(m_Form2);
}

void ListCommands::cmdEdit_Click()
{
    if (!AnyCamSelected()) {
        showNotice();
        return;
    }
    if (m_Form3 == nullptr) {
        m_Form3 = new EditCamDialog(m_List1, m_slotPane, m_mainWindow);
        m_Form3->Form_Load();
    }
    m_Form3->setWindowTitle(CamListItem::selectedText(m_List1));
    bringToFront(m_Form3);
}

// When the selected name has no block (the list shows names the lookup cannot find, such as one
// written with a capital marker), nothing is removed and nothing is asked.
void ListCommands::cmdRemove_Click()
{
    if (!AnyCamSelected()) {
        showNotice();
        return;
    }
    CameraEntry found;
    if (!FindCamEntry(CamListItem::selectedName(m_List1), found))
        return;
    foundEntry = found;
    if (!confirmDelete(m_mainWindow, CamListItem::shownName(found.name)))
        return;
    RemoveCamEntry(found);
    if (m_List1 == nullptr)
        return;
    m_List1->clear();
    FillCamList(m_List1, m_mainWindow);
}

void ListCommands::cmdStartCam_Click()
{
    if (!AnyCamSelected()) {
        showNotice();
        return;
    }
    StartSelectedCam();
}

void ListCommands::List1_DblClick()
{
    StartSelectedCam();
}

void ListCommands::StartSelectedCam()
{
    if (m_state.intOpenCams >= kMaxOpenCams || m_slotPane == nullptr)
        return;
    if (m_slotPane->isNameOpen(CamListItem::selectedText(m_List1)))
        return;
    OpenCam(CamListItem::selectedName(m_List1));
}

// A name without a block opens nothing and leaves intOpenCams alone.
void ListCommands::OpenCam(const QByteArray &name)
{
    if (name.isEmpty() || m_slotPane == nullptr)
        return;
    CameraEntry found;
    if (!FindCamEntry(name, found))
        return;
    foundEntry = found;

    const int freeSlot = m_slotPane->firstFreeSlot();
    if (freeSlot < 0)
        return;

    ++m_state.intOpenCams;
    m_slotPane->loadCam(static_cast<qint16>(freeSlot), CamListItem::shownName(found.name),
                        QString::fromLocal8Bit(found.address), QString::fromLocal8Bit(found.refresh));
}
