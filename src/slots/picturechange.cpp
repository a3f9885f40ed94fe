#include "slots/picturechange.h"

#include <algorithm>
#include <cstdlib>

namespace PictureChange {

namespace {

// Chosen from bench/bench_picturechange: a generated camera (tests/support/noisyscene), 640 x 480
// and 1920 x 1080 frames, 50 each, decoded to slot size as a slot decodes them (85 x 64, 170 x 128
// and 640 x 480 pixels), thumbnails of 32 x 24 cells. Between consecutive frames of the still
// scene (sensor noise of 6 and 12 grey levels, a brightness wobble of 2 %, JPEG qualities 60 to
// 90) this measure is 1 to 5; with a dark disc of 1/20 of the frame's height moving one diameter
// a frame it is 21 to 72 (1/10: 101 to 141). A disc of 1/40 gives 1 to 20: objects that small
// moving within one cell are not seen. Without the mean taken off, the still scene reaches 9;
// the mean cell difference reaches 4.9 on the still scene and only 5.1 with the 1/20 disc, so
// it cannot tell them apart. A 16 x 12 thumbnail saw the 1/20 disc at 1920 x 1080 as 1 to 15.
// 12 lies above twice the largest still figure and well below the smallest moving one.
constexpr int kThreshold = 12;

bool isThumbnail(const QImage &image)
{
    return image.format() == QImage::Format_Grayscale8 && image.size() == kThumbnailSize;
}

} // namespace

QImage thumbnail(const QImage &picture)
{
    if (picture.isNull())
        return {};
    // Smooth scaling down averages every cell's area; it works on 32-bit pixels.
    const QImage colour =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    return colour.scaled(kThumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_Grayscale8);
}

int difference(const QImage &before, const QImage &after)
{
    if (!isThumbnail(before) || !isThumbnail(after))
        return -1;
    constexpr int kCells = kThumbnailSize.width() * kThumbnailSize.height();
    int differences[kCells];
    int sum = 0;
    for (int y = 0; y < kThumbnailSize.height(); ++y) {
        const uchar *a = before.constScanLine(y);
        const uchar *b = after.constScanLine(y);
        for (int x = 0; x < kThumbnailSize.width(); ++x) {
            const int d = int(b[x]) - int(a[x]);
            differences[y * kThumbnailSize.width() + x] = d;
            sum += d;
        }
    }
    // In 1/kCells of a grey level, to stay in whole numbers.
    int largest = 0;
    for (const int d : differences)
        largest = std::max(largest, std::abs(d * kCells - sum));
    return (largest + kCells / 2) / kCells;
}

bool isVisibleChange(const QImage &before, const QImage &after)
{
    return difference(before, after) > kThreshold;
}

} // namespace PictureChange
