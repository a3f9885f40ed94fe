#include "common/pictureworkers.h"
#include "shell/splashwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The splash window is the whole start: it loads the main window and then deletes itself.
    auto *frmSplash = new SplashWindow;
    frmSplash->show();
    const int status = QApplication::exec();
    waitForPictureWork();
    return status;
}
