// The name a saved picture gets. Input: one byte for the copy number, then camera name, date
// text and time text, separated by NUL bytes (UTF-8).

#include "fuzzcheck.h"

#include "pictureinfo/savedname.h"
#include "views/camfilename.h"

#include <QDir>
#include <QString>

namespace {

const QString kFolder = QStringLiteral("/saved/cam");

// The name, used in the folder, names a file right inside it.
bool staysInFolder(const QString &name)
{
    const QString path = QDir::cleanPath(kFolder + u'/' + name);
    return path.startsWith(kFolder + u'/') && path.lastIndexOf(u'/') == kFolder.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int copy = input.takeByte() + 2;
    const QString camName = QString::fromUtf8(input.takeUpTo('\0'));
    const QString dateText = QString::fromUtf8(input.takeUpTo('\0'));
    const QString timeText = QString::fromUtf8(input.rest());

    const QString name = camPictureFileName(camName, dateText, timeText);
    const QString joined = camName + dateText + timeText;
    FUZZ_CHECK(name.endsWith(QStringLiteral(".jpg")) && !name.contains(u' '));
    FUZZ_CHECK(name.count(u'/') == std::max<qsizetype>(0, joined.count(u'/') - 2));
    FUZZ_CHECK(name.count(u':') == std::max<qsizetype>(0, joined.count(u':') - 3));
    for (const QString &candidate : {name, camName}) {
        if (!isPlainFileName(candidate))
            continue;
        const QString numbered = numberedFileName(candidate, copy);
        FUZZ_CHECK(staysInFolder(candidate) && isPlainFileName(numbered) && staysInFolder(numbered));
        FUZZ_CHECK(numbered != candidate && numbered.contains(QStringLiteral(" (%1)").arg(copy)));
    }
    return 0;
}
