#include "camlist/addcamdialog.h"

#include "camlist/camlistfile.h"
#include "common/appidentity.h"

#include <QListWidget>

AddCamDialog::AddCamDialog(QListWidget *List1, QWidget *parent)
    : CamEntryDialog(List1, QStringLiteral("create a unique name"), parent)
{
    setObjectName(QStringLiteral("Form2"));
}

AddCamDialog::~AddCamDialog() = default;

void AddCamDialog::Form_Load()
{
    setWindowTitle(strProductName + QStringLiteral(" :: add a cam"));
}

void AddCamDialog::Command1_Click()
{
    if (!ValidateFields())
        return;
    const bool written = AppendCamEntry(typedEntry());
    RefillCamList(m_List1);
    if (written)
        close();
}
