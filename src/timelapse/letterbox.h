#pragma once

#include <QRect>
#include <QSize>

class QImage;
class QString;

// Where a picture of size `picture` goes in a video frame of size `frame`: as large as it fits
// with its aspect ratio kept, centred; the rest of the frame is border. Empty when either size is.
QRect letterboxRect(const QSize &picture, const QSize &frame);

// The picture file decoded straight to its place in a frame of size `frame` (QImage::Format_RGB32,
// black borders). Null when the file cannot be read as a picture.
QImage loadLetterboxed(const QString &path, const QSize &frame);
