#include "pictureinfo/picturemetadata.h"

#include <QFile>
#include <QString>

#include <exiv2/exiv2.hpp>

#include <cstdlib>
#include <mutex>
#include <string>

namespace {

// The tags, chosen for what photo tools show. The address goes into DocumentName, "the
// document the picture was taken from", an ASCII tag of the main image directory.
constexpr char kCameraTag[] = "Exif.Image.ImageDescription";
constexpr char kAddressTag[] = "Exif.Image.DocumentName";
constexpr char kSoftwareTag[] = "Exif.Image.Software";
constexpr char kTimeTag[] = "Exif.Photo.DateTimeOriginal";
constexpr char kOffsetTag[] = "Exif.Photo.OffsetTimeOriginal";

// Marks a picture as saved by this program: a camera's own JPEG may well carry a description
// and a time, never this.
constexpr char kProgramMark[] = "Vantora";

constexpr char kTimeFormat[] = "yyyy:MM:dd HH:mm:ss";
constexpr char kDateFormat[] = "yyyy:MM:dd";
constexpr char kTimeOfDayFormat[] = "HH:mm:ss";
constexpr qsizetype kDateLength = 10;
constexpr qsizetype kStampLength = 19;
constexpr int kSecondsPerMinute = 60;
constexpr int kMinutesPerHour = 60;
// UTC offsets lie within -12:00 and +14:00; anything beyond is damage.
constexpr int kMaxOffsetSeconds = 18 * 60 * 60;

std::recursive_mutex &xmpLock()
{
    static std::recursive_mutex lock;
    return lock;
}

void lockXmp(void * /*data*/, bool lock)
{
    if (lock)
        xmpLock().lock();
    else
        xmpLock().unlock();
}

// Once per process, before any thread reads or writes metadata: the XMP parser (met in
// foreign pictures) is set up under a lock, and the library's warnings about damaged files
// stay off the terminal; a damaged file is simply one without our metadata.
void prepareLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(lockXmp, nullptr);
    });
}

bool looksLikeJpeg(const char *data, qint64 size)
{
    return size >= 2 && static_cast<unsigned char>(data[0]) == 0xFF &&
        static_cast<unsigned char>(data[1]) == 0xD8;
}

// The bytes opened for their metadata; null when the library does not take them for a JPEG.
// Throws the library's errors.
auto openJpeg(const QByteArray &jpeg)
{
    auto image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte *>(jpeg.constData()),
                                           static_cast<long>(jpeg.size()));
    if (image.get() != nullptr && image->imageType() != Exiv2::ImageType::jpeg)
        image.reset();
    return image;
}

std::string utf8(const QString &text)
{
    return text.toUtf8().toStdString();
}

QString offsetText(int seconds)
{
    const int minutes = std::abs(seconds) / kSecondsPerMinute;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / kMinutesPerHour, 2, 10, QLatin1Char('0'))
        .arg(minutes % kMinutesPerHour, 2, 10, QLatin1Char('0'));
}

// "+01:00", "-03:30", "+00:00" as seconds east of UTC.
std::optional<int> parseOffset(const QString &text)
{
    constexpr qsizetype kLength = 6;
    if (text.size() != kLength || (text[0] != QLatin1Char('+') && text[0] != QLatin1Char('-')) ||
        text[3] != QLatin1Char(':'))
        return std::nullopt;
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = QStringView(text).sliced(1, 2).toInt(&hoursOk);
    const int minutes = QStringView(text).sliced(4, 2).toInt(&minutesOk);
    if (!hoursOk || !minutesOk || minutes >= kMinutesPerHour || !text[1].isDigit() || !text[4].isDigit())
        return std::nullopt;
    const int seconds = (hours * kMinutesPerHour + minutes) * kSecondsPerMinute;
    if (seconds > kMaxOffsetSeconds)
        return std::nullopt;
    return text[0] == QLatin1Char('-') ? -seconds : seconds;
}

QString tagText(const Exiv2::ExifData &exif, const char *key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end())
        return {};
    QString text = QString::fromStdString(it->toString());
    // An ASCII tag may end in NULs of padding.
    while (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

std::optional<PictureInfo> infoOf(Exiv2::Image &image)
{
    image.readMetadata();
    const Exiv2::ExifData &exif = image.exifData();
    if (tagText(exif, kSoftwareTag) != QLatin1String(kProgramMark))
        return std::nullopt;
    PictureInfo info;
    info.cameraName = tagText(exif, kCameraTag);
    info.address = addressWithoutCredentials(tagText(exif, kAddressTag));
    // Date and time apart: as one local time of this machine a moment in its summer-time gap
    // would not be valid.
    const QString stamp = tagText(exif, kTimeTag);
    const QDate date = QDate::fromString(stamp.left(kDateLength), QString::fromLatin1(kDateFormat));
    const QTime time = QTime::fromString(stamp.mid(kDateLength + 1), QString::fromLatin1(kTimeOfDayFormat));
    const std::optional<int> offset = parseOffset(tagText(exif, kOffsetTag));
    if (info.cameraName.isEmpty() || stamp.size() != kStampLength || stamp[kDateLength] != QLatin1Char(' ') ||
        !date.isValid() || !time.isValid() || !offset)
        return std::nullopt;
    info.received = QDateTime(date, time, Qt::OffsetFromUTC, *offset);
    return info;
}

} // namespace

QString addressWithoutCredentials(const QString &address)
{
    // The user information ends at the last '@' before the host's end ("/", "?" or "#"); a
    // password may itself hold '@' or ':' (written as typed, not percent-encoded).
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    const qsizetype authorityStart = schemeEnd < 0 ? 0 : schemeEnd + 3;
    qsizetype authorityEnd = address.size();
    for (const QChar end : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = address.indexOf(end, authorityStart);
        if (at >= 0 && at < authorityEnd)
            authorityEnd = at;
    }
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'), authorityEnd - 1);
    if (at < authorityStart)
        return address;
    return address.left(authorityStart) + address.mid(at + 1);
}

QByteArray withPictureInfo(const QByteArray &jpeg, const PictureInfo &info)
{
    if (!looksLikeJpeg(jpeg.constData(), jpeg.size()) || !info.received.isValid())
        return jpeg;
    prepareLibrary();
    try {
        auto image = openJpeg(jpeg);
        if (image.get() == nullptr)
            return jpeg;
        image->readMetadata();
        Exiv2::ExifData &exif = image->exifData();
        exif[kSoftwareTag] = std::string(kProgramMark);
        exif[kCameraTag] = utf8(info.cameraName);
        exif[kAddressTag] = utf8(addressWithoutCredentials(info.address));
        exif[kTimeTag] = utf8(info.received.toString(QString::fromLatin1(kTimeFormat)));
        exif[kOffsetTag] = utf8(offsetText(info.received.offsetFromUtc()));
        image->writeMetadata();

        Exiv2::BasicIo &io = image->io();
        if (io.open() != 0)
            return jpeg;
        const auto size = static_cast<qsizetype>(io.size());
        QByteArray out(size, Qt::Uninitialized);
        const bool whole = io.read(reinterpret_cast<Exiv2::byte *>(out.data()), size) == size;
        io.close();
        if (!whole || !looksLikeJpeg(out.constData(), out.size()))
            return jpeg;
        return out;
    } catch (...) {
        // Exiv2's errors, a failed allocation: the picture is saved without its metadata.
        return jpeg;
    }
}

std::optional<PictureInfo> readPictureInfo(const QByteArray &jpeg)
{
    if (!looksLikeJpeg(jpeg.constData(), jpeg.size()))
        return std::nullopt;
    prepareLibrary();
    try {
        auto image = openJpeg(jpeg);
        if (image.get() == nullptr)
            return std::nullopt;
        return infoOf(*image);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<PictureInfo> readPictureInfo(const QString &path)
{
    // The first bytes tell a JPEG before the library sees the file; the library then reads
    // the segments before the picture data, never the picture itself.
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    char head[2] = {};
    if (!looksLikeJpeg(head, file.read(head, sizeof head)))
        return std::nullopt;
    file.close();
    prepareLibrary();
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString(), false);
        if (image.get() == nullptr || image->imageType() != Exiv2::ImageType::jpeg)
            return std::nullopt;
        return infoOf(*image);
    } catch (...) {
        return std::nullopt;
    }
}
