#include "common/pictureworkers.h"
#include "shell/splashwindow.h"
#include "views/webpagewindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    WebPageWindow::prepareApplication();
    QApplication app(argc, argv);
    // The splash window is the whole start: it loads the main window and then deletes itself.
    auto *frmSplash = new SplashWindow;
    frmSplash->show();
    const int status = QApplication::exec();
    // Pictures still being saved are written out before the program ends.
    waitForPictureWork();
    return status;
}
