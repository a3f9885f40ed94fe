#include "addcamdialog.h"

#include "camlistfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>

namespace {

constexpr char kDefaultProductName[] = "Vantora";

// The application name when the program set one; Qt's default (the executable's file name)
// does not count.
QString ProductName()
{
    const QString name = QCoreApplication::applicationName();
    const QString executable = QFileInfo(QCoreApplication::arguments().value(0)).fileName();
    if (name.isEmpty() || name == executable)
        return QString::fromLatin1(kDefaultProductName);
    return name;
}

} // namespace

AddCamDialog::AddCamDialog(QListWidget *List1, QWidget *parent)
    : CamEntryDialog(List1, QStringLiteral("create a unique name"), parent)
{
    setObjectName(QStringLiteral("Form2"));
}

AddCamDialog::~AddCamDialog() = default;

void AddCamDialog::Form_Load()
{
    setWindowTitle(ProductName() + QStringLiteral(" :: add a cam"));
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
