#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/largeblocks.h"
#include "common/pictureworkers.h"
#include "shell/splashwindow.h"

#include <QApplication>
#include <QHostAddress>
#include <QStringList>

#include <cstdio>
#include <cstring>

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

// "--version" prints the name and version and ends the program, before any window (or display)
// is needed.
bool printVersionWhenAsked(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            ReadAppIdentity();
            std::printf("%s %s\n", strProductName.toUtf8().constData(),
                        programVersion().toUtf8().constData());
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (printVersionWhenAsked(argc, argv))
        return 0;
    mapLargeBlocksApart();
    QApplication app(argc, argv);
    // The identity before the first window: the window system's class name and the desktop entry
    // the windows belong to come from it.
    ReadAppIdentity();
    QGuiApplication::setDesktopFileName(desktopId());
    takeDemoTimeServer(QApplication::arguments());
    // The splash window is the whole start: it loads the main window and then deletes itself.
    auto *frmSplash = new SplashWindow;
    frmSplash->show();
    const int status = QApplication::exec();
    // Pictures still being saved are written out before the program ends.
    waitForPictureWork();
    return status;
}
