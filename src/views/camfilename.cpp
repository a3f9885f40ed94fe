#include "views/camfilename.h"

#include <QString>

namespace {

constexpr int kSlashesRemoved = 2;
constexpr int kColonsRemoved = 3;

void removeLeftmost(QString &text, QChar c, int times)
{
    for (int i = 0; i < times; ++i) {
        const qsizetype at = text.indexOf(c);
        if (at < 0)
            return;
        text.remove(at, 1);
    }
}

} // namespace

QString camPictureFileName(const QString &camName, const QString &dateText, const QString &timeText)
{
    QString name = camName + dateText + timeText + QStringLiteral(".jpg");
    name.remove(QLatin1Char(' '));
    removeLeftmost(name, QLatin1Char('/'), kSlashesRemoved);
    removeLeftmost(name, QLatin1Char(':'), kColonsRemoved);
    return name;
}

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString numberedFileName(const QString &name, int n)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot < 0 ? name.size() : dot;
    return name.left(at) + QStringLiteral(" (%1)").arg(n) + name.mid(at);
}
