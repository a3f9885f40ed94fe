// moduleprobe BIN_FOLDER: loads the program's modules the way the program does, as if it ran from
// BIN_FOLDER (an installed copy's bin/), and says which loaded. Exits 1 when one did not. Used by
// scripts/check-install.
#include "common/programfolder.h"
#include "history/timelapseloader.h"
#include "views/webbrowserloader.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

bool report(QTextStream &out, const char *module, const void *factory, const QString &error)
{
    out << module
        << (factory != nullptr ? QStringLiteral(": loaded") : QStringLiteral(": not loaded: ") + error)
        << '\n';
    return factory != nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    // As the browser engine wants when it is loaded by a plugin.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream out(stdout);
    if (arguments.size() != 2) {
        out << "usage: moduleprobe BIN_FOLDER\n";
        return 2;
    }
    setInstalledFolder(arguments.at(1));
    QString browserError;
    QString timeLapseError;
    const bool browser = report(out, "browser module", webBrowserFactory(&browserError), browserError);
    const bool timeLapse =
        report(out, "time-lapse module", timeLapseFactory(&timeLapseError), timeLapseError);
    return browser && timeLapse ? 0 : 1;
}
