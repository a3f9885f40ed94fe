#include "pictureinfo/savedname.h"

#include <QString>

namespace {

// The leftmost two '/' and three ':' of a saved name go.
constexpr int kSlashesRemoved = 2;
constexpr int kColonsRemoved = 3;
// A date and a time hold at least "1/1/26" and "1:02:03".
constexpr int kMinDigits = 8;
// "PM", "a.m.", "م"
constexpr int kMaxMarkerLength = 4;

void removeLeftmost(QString &text, QChar c, int times)
{
    for (int i = 0; i < times; ++i) {
        const qsizetype at = text.indexOf(c);
        if (at < 0)
            return;
        text.remove(at, 1);
    }
}

// The text less its blanks and its leftmost two '/' and three ':'.
QString stripped(QString text)
{
    text.remove(QLatin1Char(' '));
    removeLeftmost(text, QLatin1Char('/'), kSlashesRemoved);
    removeLeftmost(text, QLatin1Char(':'), kColonsRemoved);
    return text;
}

bool isSeparator(QChar c)
{
    constexpr char16_t kRightToLeftMark = 0x200F;
    constexpr char16_t kNoBreakSpace = 0x00A0;
    constexpr char16_t kNarrowNoBreakSpace = 0x202F;
    return c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char(',') || c == QLatin1Char(':') ||
        c == QChar(kRightToLeftMark) || c == QChar(kNoBreakSpace) || c == QChar(kNarrowNoBreakSpace);
}

// The name less a trailing " (n)" with n a whole number of 2 or more; the name itself otherwise.
QStringView withoutNumber(QStringView name)
{
    if (!name.endsWith(QLatin1Char(')')))
        return name;
    const qsizetype open = name.lastIndexOf(QLatin1String(" ("));
    if (open < 0)
        return name;
    const QStringView number = name.sliced(open + 2, name.size() - open - 3);
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 2 || number.startsWith(QLatin1Char('0')) || number.startsWith(QLatin1Char('+')))
        return name;
    return name.first(open);
}

// The date and time part of a saved name: see savedNameCamera.
bool isDateAndTime(QStringView text)
{
    if (text.isEmpty() || !text.front().isDigit())
        return false;
    int digits = 0;
    int markerRuns = 0;
    int markerLength = 0;
    for (const QChar c : text) {
        if (c.isLetter() || (markerLength > 0 && c == QLatin1Char('.'))) {
            if (markerLength == 0)
                ++markerRuns;
            if (markerRuns > 1 || ++markerLength > kMaxMarkerLength)
                return false;
            continue;
        }
        markerLength = 0;
        if (c.isDigit())
            ++digits;
        else if (!isSeparator(c))
            return false;
    }
    return digits >= kMinDigits;
}

} // namespace

QString camPictureFileName(const QString &camName, const QString &dateText, const QString &timeText)
{
    return stripped(camName + dateText + timeText + QStringLiteral(".jpg"));
}

QString savedNamePrefix(const QString &cameraName)
{
    return stripped(cameraName);
}

QString savedNameCamera(const QString &fileName, const QStringList &cameraNames)
{
    const QLatin1String extension(".jpg");
    if (!fileName.endsWith(extension))
        return {};
    const QStringView stem = withoutNumber(QStringView(fileName).chopped(extension.size()));
    QString best;
    qsizetype bestLength = 0;
    for (const QString &camera : cameraNames) {
        const QString prefix = savedNamePrefix(camera);
        if (prefix.isEmpty() || prefix.size() <= bestLength || !stem.startsWith(prefix))
            continue;
        if (isDateAndTime(stem.sliced(prefix.size()))) {
            best = camera;
            bestLength = prefix.size();
        }
    }
    return best;
}
