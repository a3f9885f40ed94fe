#pragma once

#include <QImage>
#include <QSize>

// Whether a camera's picture visibly changed from one reply to the next, judged on small grey
// thumbnails of the slot-sized pictures, so that sensor noise and a still scene encoded again do
// not count. The thumbnails are made on the picture workers; a slot keeps the last one.
namespace PictureChange {

// Grey levels 0 to 255, each the mean of its share of the picture.
inline constexpr QSize kThumbnailSize{32, 24};

// The picture's thumbnail (Format_Grayscale8, kThumbnailSize); a null image for a null picture.
QImage thumbnail(const QImage &picture);

// How far two thumbnails differ: the largest difference of one cell's grey level, after the mean
// difference of all cells is taken off (a frame's brightness wobble moves every cell alike).
// -1 when either thumbnail is no thumbnail of kThumbnailSize.
int difference(const QImage &before, const QImage &after);

// A visible change: the difference is above the threshold. Two thumbnails that cannot be
// compared (a first picture) are no change.
bool isVisibleChange(const QImage &before, const QImage &after);

} // namespace PictureChange
