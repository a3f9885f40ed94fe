#include "shell/helpwindowhook.h"

#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>
#include <QWidget>

namespace {

constexpr char kHelpCaption[] = "Readme/Help";
constexpr int kHelpWidth = 480;
constexpr int kHelpHeight = 360;

// Shown until the rich-text help file takes this window's place.
constexpr char kBasics[] =
    "Double-click a camera in the list, or select it and press the start button, to open it in "
    "the first free slot. The slot fetches its picture again after its refresh seconds.\n\n"
    "The buttons above the list add, remove and edit cameras, start the selected camera and stop "
    "all cameras. Each slot's own buttons fetch its picture at once or close the slot.";

QPointer<QWidget> &form8()
{
    static QPointer<QWidget> instance;
    return instance;
}

} // namespace

void ShowHelpWindow(QWidget *mainWindow)
{
    QPointer<QWidget> &Form8 = form8();
    if (Form8.isNull()) {
        Form8 = new QWidget(mainWindow, Qt::Window);
        Form8->setObjectName(QStringLiteral("Form8"));
        Form8->setAttribute(Qt::WA_DeleteOnClose);
        Form8->setWindowTitle(QString::fromLatin1(kHelpCaption));
        Form8->resize(kHelpWidth, kHelpHeight);
        auto *basics = new QLabel(QString::fromLatin1(kBasics), Form8);
        basics->setWordWrap(true);
        basics->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        auto *layout = new QVBoxLayout(Form8);
        layout->addWidget(basics);
    }
    Form8->show();
    Form8->raise();
    Form8->activateWindow();
}
