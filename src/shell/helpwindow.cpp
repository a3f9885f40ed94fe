#include "shell/helpwindow.h"

#include "common/appidentity.h"
#include "common/fileexists.h"
#include "common/programfolder.h"
#include "common/rtfreader.h"
#include "common/settopmost.h"
#include "shell/showhelpsetting.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr char kHelpCaption[] = "Readme/Help";
constexpr char kHelpFileName[] = "Help.rtf";
constexpr char kInitialText[] = "RichTextBox1";
constexpr char kCheckCaption[] = "Show at Startup";
constexpr int kHelpWidth = 640; // pixels
constexpr int kHelpHeight = 520;

// The setting's values are the check box's states as the user's settings store them.
constexpr int kStoredUnchecked = 0;
constexpr int kStoredChecked = 1;
constexpr int kStoredGreyed = 2;

} // namespace

QString HelpFilePath()
{
    const QString fileName = QString::fromLatin1(kHelpFileName);
    QString inProgramFolder = QDir(ProgramFolder()).filePath(fileName);
    if (FileExists(inProgramFolder))
        return inProgramFolder;
    for (const QString &folder : {installedFolder(), installedDataFolder()}) {
        QString path = QDir(folder).filePath(fileName);
        if (FileExists(path))
            return path;
    }
    return inProgramFolder;
}

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form8"));
    // The caption, then which program and version the help is for.
    setWindowTitle(QString::fromLatin1(kHelpCaption) + QStringLiteral(" (") + strProductName +
                   QLatin1Char(' ') + programVersion() + QLatin1Char(')'));
    setFixedSize(kHelpWidth, kHelpHeight);

    rtf1 = new QTextBrowser(this);
    rtf1->setObjectName(QStringLiteral("rtf1"));
    rtf1->setAccessibleName(QString::fromLatin1(kHelpCaption));
    rtf1->setPlainText(QString::fromLatin1(kInitialText));

    Check1 = new QCheckBox(QString::fromLatin1(kCheckCaption), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setAccessibleName(QString::fromLatin1(kCheckCaption));
    Check1->setChecked(true);
    connect(Check1, &QCheckBox::stateChanged, this, &HelpWindow::Check1_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rtf1, 1);
    layout->addWidget(Check1, 0, Qt::AlignLeft);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::Form_Load()
{
    const QString path = HelpFilePath();
    if (!FileExists(path))
        return;

    // A file that cannot be read leaves the initial text; what a broken file holds is shown as
    // far as it can be read.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        ReadRtf(file.read(kMaxHelpFileBytes), *rtf1->document());
        rtf1->moveCursor(QTextCursor::Start); // the text is read from the top
    }

    SetTopMost(this, true);

    bool isNumber = false;
    const int stored = ReadShowHelpSetting().toInt(&isNumber);
    if (!isNumber)
        return;
    switch (stored) {
    case kStoredUnchecked:
        Check1->setCheckState(Qt::Unchecked);
        break;
    case kStoredChecked:
        Check1->setCheckState(Qt::Checked);
        break;
    case kStoredGreyed:
        Check1->setCheckState(Qt::PartiallyChecked);
        break;
    default:
        break; // no state of the box
    }
}

void HelpWindow::Check1_Click()
{
    const Qt::CheckState state = Check1->checkState();
    int stored = kStoredGreyed;
    if (state == Qt::Unchecked)
        stored = kStoredUnchecked;
    else if (state == Qt::Checked)
        stored = kStoredChecked;
    // Greyed comes only from the stored value; the user's clicks give checked or unchecked.
    if (state != Qt::PartiallyChecked)
        Check1->setTristate(false);
    WriteShowHelpSetting(QString::number(stored));
}
