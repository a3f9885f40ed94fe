#include "shell/helpwindowhook.h"

#include "shell/helpwindow.h"

#include <QPointer>

namespace {

QPointer<HelpWindow> &form8()
{
    static QPointer<HelpWindow> instance;
    return instance;
}

} // namespace

void ShowHelpWindow(QWidget *mainWindow)
{
    QPointer<HelpWindow> &Form8 = form8();
    if (Form8.isNull()) {
        Form8 = new HelpWindow(mainWindow);
        Form8->setAttribute(Qt::WA_DeleteOnClose);
        Form8->Form_Load();
    }
    Form8->show();
    Form8->raise();
    Form8->activateWindow();
}
