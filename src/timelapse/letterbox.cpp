#include "timelapse/letterbox.h"

#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace {

// Below the JPEG reader's threshold for its exact (and slower) transform and upsampling: the
// difference is far below what the video keeps.
constexpr int kVideoDecodeQuality = 40;

} // namespace

QRect letterboxRect(const QSize &picture, const QSize &frame)
{
    if (picture.isEmpty() || frame.isEmpty())
        return {};
    QSize fitted = picture.scaled(frame, Qt::KeepAspectRatio);
    fitted = fitted.expandedTo(QSize(1, 1)).boundedTo(frame);
    return {QPoint((frame.width() - fitted.width()) / 2, (frame.height() - fitted.height()) / 2), fitted};
}

QImage loadLetterboxed(const QString &path, const QSize &frame)
{
    QImageReader reader(path);
    reader.setQuality(kVideoDecodeQuality);
    const QRect place = letterboxRect(reader.size(), frame);
    if (place.isEmpty())
        return {};
    // Decoded at the size it is shown at: a large picture costs a scaled decode, not a full one.
    if (place.size() != reader.size())
        reader.setScaledSize(place.size());
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (place.size() == frame && image.size() == frame)
        return image.convertToFormat(QImage::Format_RGB32);
    QImage framed(frame, QImage::Format_RGB32);
    framed.fill(Qt::black);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, image);
    return framed;
}
