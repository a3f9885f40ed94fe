#include "camlist/camentrydialog.h"

#include "camlist/camlistmessages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

constexpr int kRefreshMaxLength = 3;
constexpr int kAddressMinimumWidth = 320;
constexpr int kRefreshWidth = 48;
constexpr int kNoteRow = 3;
constexpr int kButtonRow = 4;
constexpr int kFieldColumnSpan = 2;

const char kAddressHoverText[] =
    "enter the exact path to the image (found by right clicking an image in your "
    "browser and selecting \"properties\"";
const char kRefreshHoverText[] = "Enter the time in seconds";

QLabel *NewLabel(const char *objectName, const char *text, QWidget *parent)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

QLineEdit *NewField(const char *objectName, const QString &hoverText, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    field->setToolTip(hoverText);
    return field;
}

} // namespace

CamEntryDialog::CamEntryDialog(QListWidget *List1, const QString &nameHoverText, QWidget *parent)
    : QDialog(parent)
    , m_List1(List1)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Label1 = NewLabel("Label1", "Name:", this);
    Label2 = NewLabel("Label2", "URL:", this);
    Label3 = NewLabel("Label3", "Refresh:", this);
    Label4 = NewLabel("Label4", "seconds", this);
    Text1 = NewField("Text1", nameHoverText, this);
    Text2 = NewField("Text2", QString::fromLatin1(kAddressHoverText), this);
    Text2->setMinimumWidth(kAddressMinimumWidth);
    Text3 = NewField("Text3", QString::fromLatin1(kRefreshHoverText), this);
    Text3->setMaxLength(kRefreshMaxLength);
    Text3->setFixedWidth(kRefreshWidth);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1, 1, kFieldColumnSpan);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1, 1, kFieldColumnSpan);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Text3, 2, 1);
    grid->addWidget(Label4, 2, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, kButtonRow, 0, 1, kFieldColumnSpan + 1);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Command1);
    setTabOrder(Command1, Command2);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &CamEntryDialog::Command2_Click);
}

CamEntryDialog::~CamEntryDialog() = default;

void CamEntryDialog::Command2_Click()
{
    close();
}

bool CamEntryDialog::ValidateFields()
{
    if (!Text1->text().isEmpty() && !Text2->text().isEmpty() && !Text3->text().isEmpty())
        return true;
    ShowMissingInformation(this);
    return false;
}

CameraEntry CamEntryDialog::typedEntry() const
{
    return CameraEntry{Text1->text(), Text2->text(), Text3->text()};
}

void CamEntryDialog::addNote(QLabel *note)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    grid->addWidget(note, kNoteRow, 0, 1, kFieldColumnSpan + 1);
}
