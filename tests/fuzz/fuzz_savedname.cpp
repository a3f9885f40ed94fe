// The camera a file name is recognised as saved for. Input: one byte for the copy number, then
// camera names and, last, the file name, separated by NUL bytes (UTF-8).

#include "fuzzcheck.h"

#include "pictureinfo/savedname.h"
#include "views/camfilename.h"

#include <QString>
#include <QStringList>

namespace {

constexpr int kMinDigits = 8;
constexpr int kMaxDigits = 14;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int copy = input.takeByte() + 2;
    QStringList cameras;
    while (input.rest().contains('\0'))
        cameras << QString::fromUtf8(input.takeUpTo('\0'));
    const QString fileName = QString::fromUtf8(input.rest());

    // Only a camera of the list, and only for a ".jpg" name beginning with its prefix.
    const QString camera = savedNameCamera(fileName, cameras);
    if (!camera.isEmpty()) {
        FUZZ_CHECK(cameras.contains(camera));
        FUZZ_CHECK(fileName.endsWith(QStringLiteral(".jpg")));
        FUZZ_CHECK(fileName.startsWith(savedNamePrefix(camera)));
        for (const QString &other : cameras) {
            const QString prefix = savedNamePrefix(other);
            FUZZ_CHECK(prefix.size() <= savedNamePrefix(camera).size() ||
                       savedNameCamera(fileName, {other}).isEmpty());
        }
    }

    // Every name a picture of the first camera is saved under, numbered or not, is recognised as
    // that camera's when the list holds it alone.
    if (cameras.isEmpty() || savedNamePrefix(cameras.first()).isEmpty())
        return 0;
    QString digits;
    for (const char c : input.rest().first(std::min<qsizetype>(input.rest().size(), kMaxDigits)))
        digits += QChar(u'0' + static_cast<unsigned char>(c) % 10);
    while (digits.size() < kMinDigits)
        digits += u'1';
    const QString saved = camPictureFileName(cameras.first(), digits, QString());
    if (!isPlainFileName(saved))
        return 0;
    FUZZ_CHECK(savedNameCamera(saved, {cameras.first()}) == cameras.first());
    FUZZ_CHECK(savedNameCamera(numberedFileName(saved, copy), {cameras.first()}) == cameras.first());
    return 0;
}
