#include "camlist/editcamdialog.h"

#include "camlist/camlistfile.h"
#include "camlist/camlistitem.h"
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
    Label5->setAccessibleName(Label5->text());
    addNote(Label5);
}

EditCamDialog::~EditCamDialog() = default;

void EditCamDialog::Form_Load()
{
    m_openedTitle = CamListItem::selectedText(m_List1);
    CameraEntry found;
    if (FindCamEntry(CamListItem::selectedName(m_List1), found))
        editEntry = found;
    else
        found.name = CamListItem::selectedName(m_List1);
    setWindowTitle(CamListItem::shownName(found.name));
    showEntry(found);
}

void EditCamDialog::Command1_Click()
{
    if (!ValidateFields())
        return;
    const CameraEntry edited = typedEntry();
    const bool written = replaceCamEntry(editEntry, edited);
    RefillCamList(m_List1);
    if (!written)
        return;
    close();
    updateOpenSlots(edited);
}

void EditCamDialog::updateOpenSlots(const CameraEntry &edited)
{
    if (m_slotPane == nullptr || m_openedTitle.isEmpty())
        return;
    m_slotPane->updateOpenCam(m_openedTitle, CamListItem::shownName(edited.name),
                              QString::fromLocal8Bit(edited.address), QString::fromLocal8Bit(edited.refresh));
}
