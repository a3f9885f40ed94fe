// Draws the program's pictures into the folder given as the only argument (resources/).
#include "makepictures/pictureart.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // painting on images needs no display
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);

    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: makepictures FOLDER\n";
        return 2;
    }
    const QDir folder(args.at(1));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        err << "makepictures: cannot make " << folder.path() << "\n";
        return 1;
    }

    int failures = 0;
    for (const PictureArt::Entry &entry : PictureArt::all()) {
        const QString path = folder.filePath(entry.fileName);
        if (QDir().mkpath(QFileInfo(path).path()) && entry.image.save(path, nullptr, entry.quality)) {
            out << path << " " << entry.image.width() << "x" << entry.image.height() << "\n";
        } else {
            err << "makepictures: cannot write " << path << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
