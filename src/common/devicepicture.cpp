#include "common/devicepicture.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

namespace {
constexpr qreal kTwice = 2;
} // namespace

QImage devicePicture(const char *picture, qreal devicePixelRatio)
{
    const QString path = QString::fromLatin1(picture);
    if (devicePixelRatio > 1) {
        const QFileInfo file(path);
        QImage twice(file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.") +
                     file.suffix());
        if (!twice.isNull()) {
            twice.setDevicePixelRatio(kTwice);
            return twice;
        }
    }
    return QImage(path);
}

qreal highestDevicePixelRatio()
{
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}
