#include "helpwindowhook.h"

#include <QPointer>
#include <QWidget>

namespace {

constexpr char kHelpCaption[] = "Readme/Help";
constexpr int kHelpWidth = 480;
constexpr int kHelpHeight = 360;

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
    }
    Form8->show();
    Form8->raise();
    Form8->activateWindow();
}
