#include "views/jpegsave.h"

#include "common/freefilename.h"
#include "pictureinfo/picturemetadata.h"
#include "views/camfilename.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryFile>

#include <cerrno>

#include <unistd.h>

namespace {

QByteArray encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, QByteArrayLiteral("jpeg"));
    writer.setQuality(kSaveJpegQuality);
    if (!writer.write(image))
        return {};
    return bytes;
}

// Writes all of `bytes` to the file; an empty text, or why it could not (a full disk, say). The
// file's own write does not tell why.
QString writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return qt_error_string(n < 0 ? errno : ENOSPC);
        written += n;
    }
    return {};
}

// Names are chosen and taken one save at a time, so two saves never pick the same one.
QMutex &namingLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

JpegSaveResult saveJpeg(const QString &folder, const QString &name, const QImage &image,
                        const std::optional<PictureInfo> &info)
{
    JpegSaveResult result;
    result.path = folder + QLatin1Char('/') + name;
    if (!isPlainFileName(name) || image.isNull())
        return result;
    QByteArray jpeg = encodeJpeg(image);
    if (jpeg.isEmpty())
        return result;
    if (info)
        jpeg = withPictureInfo(jpeg, *info);

    // Nameless until the rename where the system allows, removed by its destructor otherwise: a
    // failure at any step (a full disk half-way through the write) leaves nothing behind.
    QTemporaryFile file(folder + QStringLiteral("/.saving-XXXXXX.tmp"));
    if (!file.open() || !file.setPermissions(newFilePermissions())) {
        result.error = file.errorString();
        return result;
    }
    result.error = writeAll(file.handle(), jpeg);
    if (!result.error.isEmpty())
        return result;

    const QMutexLocker locker(&namingLock());
    const FreeFileName moved =
        moveToFreeFileName(file, folder, [&name](int n) { return numberedFileName(name, n); });
    if (moved.path.isEmpty()) {
        result.error = moved.error;
        return result;
    }
    result.saved = true;
    result.path = moved.path;
    result.jpeg = jpeg;
    return result;
}
