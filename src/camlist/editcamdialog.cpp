#include "camlist/editcamdialog.h"

#include "camlist/camlistfile.h"
#include "camlist/selectedcamname.h"
#include "slots/slotpane.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

EditCamDialog::EditCamDialog(QListWidget *List1, SlotPane *slotPane, QWidget *parent)
    : CamEntryDialog(List1, QStringLiteral("Create a unique name for the cam"), parent)
    , m_slotPane(slotPane)
{
    setObjectName(QStringLiteral("Form3"));
    Label5 = new QLabel(QStringLiteral("(Cams that are already open will need to be restarted)"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    addNote(Label5);
}

EditCamDialog::~EditCamDialog() = default;

void EditCamDialog::Form_Load()
{
    m_openedName = SelectedCamName(m_List1);
    CameraEntry found;
    if (FindCamEntry(m_openedName, found))
        editEntry = found;
    else
        found.name = m_openedName;
    setWindowTitle(found.name);
    Text1->setText(found.name);
    Text2->setText(found.address);
    Text3->setText(found.refresh);
}

void EditCamDialog::Command1_Click()
{
    if (!ValidateFields())
        return;
    const CameraEntry edited = typedEntry();
    const bool written = ReplaceCamEntry(editEntry, edited);
    RefillCamList(m_List1);
    if (!written)
        return;
    close();
    updateOpenSlots(edited);
}

void EditCamDialog::updateOpenSlots(const CameraEntry &edited)
{
    if (m_slotPane == nullptr || m_openedName.isEmpty())
        return;
    m_slotPane->updateOpenCam(m_openedName, edited.name, edited.address, edited.refresh);
}
