#include "slots/slotpicture.h"

#include "common/devicepicture.h"
#include "common/pictures.h"
#include "slots/picturechange.h"

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

std::atomic<quint64> g_decodes{0};

quint64 nextSerial()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

// The picture fitted into box at its own aspect ratio, never enlarged.
QSize fitted(const QSize &natural, const QSize &box)
{
    if (natural.width() <= box.width() && natural.height() <= box.height())
        return natural;
    return natural.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// What a picture is decoded to for a view box: fitted into the box, and at least as large as the
// slot's image in both directions, so that the slot's image is made by scaling down.
QSize viewDecodeSize(const QSize &natural, const QSize &box, const QSize &slot)
{
    const QSize size = fitted(natural, box);
    if (slot.isEmpty() || (size.width() >= slot.width() && size.height() >= slot.height()))
        return size;
    return natural.scaled(slot, Qt::KeepAspectRatioByExpanding);
}

// Reads bytes scaled to the size that sizeFor chooses from the picture's natural size (an invalid
// one: the natural size); a picture beyond the allocation limit gives a null image.
template<typename SizeFor>
QImage read(const QByteArray &bytes, QSize *natural, SizeFor sizeFor)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    *natural = reader.size();
    if (!fitsAllocationLimit(*natural))
        return {};
    const QSize scaledSize = sizeFor(*natural);
    if (scaledSize.isValid() && !scaledSize.isEmpty())
        reader.setScaledSize(scaledSize);
    g_decodes.fetch_add(1, std::memory_order_relaxed);
    return reader.read();
}

QImage read(const QByteArray &bytes, const QSize &scaledSize)
{
    QSize natural;
    return read(bytes, &natural, [&scaledSize](const QSize &) { return scaledSize; });
}

} // namespace

SlotPicture SlotPicture::notFound()
{
    SlotPicture picture;
    picture.m_kind = Kind::NotFound;
    picture.m_slotImage = notFoundImage();
    picture.m_naturalSize = notFoundImage().size();
    picture.m_serial = nextSerial();
    return picture;
}

std::optional<SlotPicture> SlotPicture::decode(const QByteArray &bytes, const QSize &slotSize)
{
    return decode(bytes, PictureSizes{slotSize, QSize()});
}

std::optional<SlotPicture> SlotPicture::decode(const QByteArray &bytes, const PictureSizes &sizes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    // Without a natural size to fit, the view makes do with the slot's image.
    const auto forView = [&sizes](const QSize &natural) {
        return natural.isValid() ? viewDecodeSize(natural, sizes.viewBox, sizes.slot) : sizes.slot;
    };
    const bool view = sizes.viewBox.isValid() && !sizes.viewBox.isEmpty();
    QSize natural;
    QImage image = view ? read(bytes, &natural, forView)
                        : read(bytes, &natural, [&sizes](const QSize &) { return sizes.slot; });
    if (image.isNull())
        return std::nullopt;
    SlotPicture picture;
    picture.m_kind = Kind::Camera;
    picture.m_bytes = bytes;
    picture.m_naturalSize = natural.isValid() ? natural : image.size();
    if (view && natural.isValid()) {
        picture.m_viewBox = sizes.viewBox;
        picture.m_viewImage = image;
        if (sizes.slot.isValid() && !sizes.slot.isEmpty() && image.size() != sizes.slot)
            image = image.scaled(sizes.slot, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    picture.m_slotImage = std::move(image);
    picture.m_serial = nextSerial();
    return picture;
}

void SlotPicture::makeThumbnail()
{
    m_thumbnail = PictureChange::thumbnail(m_slotImage);
}

quint64 SlotPicture::decodeCount()
{
    return g_decodes.load(std::memory_order_relaxed);
}

void SlotPicture::keepViewImage(const SlotPicture &other)
{
    m_viewImage = other.m_viewImage;
    m_viewBox = other.m_viewBox;
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

QImage SlotPicture::fittedImage(const QSize &box) const
{
    switch (m_kind) {
    case Kind::Camera: {
        QSize natural;
        return read(m_bytes, &natural,
                    [&box](const QSize &n) { return n.isValid() ? fitted(n, box) : QSize(); });
    }
    case Kind::NotFound:
        return notFoundImage();
    case Kind::Blank:
        break;
    }
    return {};
}
