#include "clock/internetclock.h"
#include "common/largeblocks.h"
#include "common/pictureworkers.h"
#include "shell/splashwindow.h"
#include "views/webpagewindow.h"

#include <QApplication>
#include <QHostAddress>
#include <QStringList>

namespace {

// "--time-server=127.0.0.1:PORT": the demo run's own Daytime service. Only a loopback address is
// taken; anything else is left alone, so the option can never send the clock elsewhere.
void takeDemoTimeServer(const QStringList &arguments)
{
    const QString prefix = QStringLiteral("--time-server=");
    for (const QString &argument : arguments) {
        if (!argument.startsWith(prefix))
            continue;
        const QString value = argument.mid(prefix.size());
        const qsizetype colon = value.lastIndexOf(u':');
        bool portOk = false;
        const uint port = value.mid(colon + 1).toUInt(&portOk);
        const QHostAddress host(value.left(colon));
        if (colon > 0 && portOk && port > 0 && port <= 65535 && host.isLoopback())
            InternetClock::setDefaultServer(host.toString(), static_cast<quint16>(port));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    mapLargeBlocksApart();
    WebPageWindow::prepareApplication();
    QApplication app(argc, argv);
    takeDemoTimeServer(QApplication::arguments());
    // The splash window is the whole start: it loads the main window and then deletes itself.
    auto *frmSplash = new SplashWindow;
    frmSplash->show();
    const int status = QApplication::exec();
    // Pictures still being saved are written out before the program ends.
    waitForPictureWork();
    return status;
}
