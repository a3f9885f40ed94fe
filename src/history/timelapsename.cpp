#include "history/timelapsename.h"

#include <QDateTime>
#include <QString>

namespace {

// Room for the range and " (1000)" within the 255 bytes a file name may have, in UTF-8's worst case.
constexpr qsizetype kMaxCameraChars = 48;

} // namespace

QString timeLapseFileName(const QString &camera, const QDateTime &from, const QDateTime &to)
{
    QString name;
    for (const QChar c : camera) {
        const bool unsafe = c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') ||
            c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || c.isSurrogate();
        name += unsafe ? QLatin1Char('_') : c;
    }
    while (!name.isEmpty() && (name.front() == QLatin1Char('.') || name.front().isSpace()))
        name.remove(0, 1);
    name = name.left(kMaxCameraChars).trimmed();
    if (!name.isEmpty())
        name += QLatin1Char(' ');
    const QString format = QStringLiteral("yyyyMMdd-HHmmss");
    return name + from.toLocalTime().toString(format) + QStringLiteral(" to ") +
        to.toLocalTime().toString(format) + QStringLiteral(".mp4");
}
