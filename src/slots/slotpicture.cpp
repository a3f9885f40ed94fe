#include "slots/slotpicture.h"

#include "common/devicepicture.h"
#include "common/pictures.h"

#include <QBuffer>
#include <QImageReader>

#include <atomic>

namespace {

// Qt decodes to 32 bits a pixel at most for the formats a camera sends.
constexpr qint64 kBytesPerPixel = 4;
constexpr qint64 kBytesPerMiB = qint64(1024) * 1024;

// Drawn for the screens' device pixels. First asked for on the window thread (notFound()).
const QImage &notFoundImage()
{
    static const QImage image = devicePicture(Pictures::NotFound, highestDevicePixelRatio());
    return image;
}

// A picture whose full decode would break Qt's allocation limit is refused before any decode:
// the views and the save need the full size later.
bool fitsAllocationLimit(const QSize &natural)
{
    const int limitMiB = QImageReader::allocationLimit();
    if (limitMiB <= 0 || !natural.isValid())
        return true;
    const qint64 bytes = static_cast<qint64>(natural.width()) * natural.height() * kBytesPerPixel;
    return bytes <= static_cast<qint64>(limitMiB) * kBytesPerMiB;
}

quint64 nextSerial()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

QImage read(const QByteArray &bytes, const QSize &scaledSize)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    if (!fitsAllocationLimit(reader.size()))
        return {};
    if (scaledSize.isValid() && !scaledSize.isEmpty())
        reader.setScaledSize(scaledSize);
    return reader.read();
}

} // namespace

SlotPicture SlotPicture::notFound()
{
    SlotPicture picture;
    picture.m_kind = Kind::NotFound;
    picture.m_slotImage = notFoundImage();
    picture.m_serial = nextSerial();
    return picture;
}

std::optional<SlotPicture> SlotPicture::decode(const QByteArray &bytes, const QSize &slotSize)
{
    if (bytes.isEmpty())
        return std::nullopt;
    QImage image = read(bytes, slotSize);
    if (image.isNull())
        return std::nullopt;
    SlotPicture picture;
    picture.m_kind = Kind::Camera;
    picture.m_bytes = bytes;
    picture.m_slotImage = std::move(image);
    picture.m_serial = nextSerial();
    return picture;
}

QImage SlotPicture::fullImage() const
{
    switch (m_kind) {
    case Kind::Camera:
        return read(m_bytes, QSize());
    case Kind::NotFound:
        return notFoundImage();
    case Kind::Blank:
        break;
    }
    return {};
}
