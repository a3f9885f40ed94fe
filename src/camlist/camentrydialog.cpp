#include "camlist/camentrydialog.h"

#include "camlist/camlistformat.h"
#include "camlist/camlistmessages.h"
#include "camlist/typinglengthlimit.h"

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

// The entry's field shown in Text1, Text2 and Text3.
constexpr std::array kFieldOf{&CameraEntry::name, &CameraEntry::address, &CameraEntry::refresh};

QLabel *newLabel(const char *objectName, const char *text, QWidget *parent)
{
    auto *label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleName(label->text());
    return label;
}

// A field is announced by the caption of its label, without the colon.
QLineEdit *newField(const char *objectName, QLabel *label, const QString &hoverText, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    field->setToolTip(hoverText);
    field->setAccessibleName(label->text().chopped(1));
    label->setBuddy(field);
    return field;
}

QPushButton *newButton(const char *objectName, const char *caption, QWidget *parent)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(button->text());
    return button;
}

} // namespace

CamEntryDialog::CamEntryDialog(QListWidget *List1, const QString &nameHoverText, QWidget *parent)
    : QDialog(parent)
    , m_List1(List1)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Label1 = newLabel("Label1", "Name:", this);
    Label2 = newLabel("Label2", "URL:", this);
    Label3 = newLabel("Label3", "Refresh:", this);
    Label4 = newLabel("Label4", "seconds", this);
    Text1 = newField("Text1", Label1, nameHoverText, this);
    Text2 = newField("Text2", Label2, QString::fromLatin1(kAddressHoverText), this);
    Text2->setMinimumWidth(kAddressMinimumWidth);
    Text3 = newField("Text3", Label3, QString::fromLatin1(kRefreshHoverText), this);
    m_refreshLimit = new TypingLengthLimit(kRefreshMaxLength, Text3);
    Text3->setValidator(m_refreshLimit);
    Text3->setFixedWidth(kRefreshWidth);

    Command1 = newButton("Command1", "OK", this);
    Command1->setDefault(true);
    Command2 = newButton("Command2", "Cancel", this);

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

std::array<QLineEdit *, CamEntryDialog::kFieldCount> CamEntryDialog::fields() const
{
    static_assert(kFieldOf.size() == kFieldCount);
    return {Text1, Text2, Text3};
}

bool CamEntryDialog::ValidateFields()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty() || Text3->text().isEmpty()) {
        showFieldError(this, kMissingInformationText);
        return false;
    }
    switch (camEntryFault(typedEntry())) {
    case CamEntryFault::None:
        break;
    case CamEntryFault::LineBreak:
        showFieldError(this, kLineBreakInFieldText);
        return false;
    case CamEntryFault::StartsWithMarker:
        showFieldError(this, kMarkerInFieldText);
        return false;
    }
    return true;
}

void CamEntryDialog::showEntry(const CameraEntry &entry)
{
    m_shownEntry = entry;
    const std::array<QLineEdit *, kFieldCount> shown = fields();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const QString text = QString::fromLocal8Bit(entry.*kFieldOf[i]);
        if (shown[i] == Text3)
            m_refreshLimit->allowLengthOf(text);
        shown[i]->setText(text);
        m_shownText[i] = shown[i]->text();
    }
}

CameraEntry CamEntryDialog::typedEntry() const
{
    CameraEntry typed;
    const std::array<QLineEdit *, kFieldCount> shown = fields();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const QString text = shown[i]->text();
        typed.*kFieldOf[i] = text == m_shownText[i] ? m_shownEntry.*kFieldOf[i] : text.toLocal8Bit();
    }
    return typed;
}

void CamEntryDialog::addNote(QLabel *note)
{
    auto *grid = static_cast<QGridLayout *>(layout());
    grid->addWidget(note, kNoteRow, 0, 1, kFieldColumnSpan + 1);
}
