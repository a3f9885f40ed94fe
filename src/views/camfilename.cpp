#include "views/camfilename.h"

#include <QString>

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
    if (n <= 1)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot < 0 ? name.size() : dot;
    return name.left(at) + QStringLiteral(" (%1)").arg(n) + name.mid(at);
}
