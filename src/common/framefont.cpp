#include "common/framefont.h"

#include <QFont>
#include <QString>

namespace {
constexpr qreal kFramePoints = 8.25;
} // namespace

QFont verdanaFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont frameFont()
{
    return verdanaFont(kFramePoints);
}
