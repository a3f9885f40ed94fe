#include "slots/refreshschedule.h"

#include "slots/httpprotocol.h"
#include "slots/wholenumber.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <cmath>

qint32 refreshSecondsFromText(const QString &text, qint32 previous)
{
    return toWholeNumber(text).value_or(previous);
}

QString nextRefreshText(const QString &refreshText, qint32 elapsedSeconds, qint32 refreshSeconds)
{
    bool ok = false;
    double period = refreshText.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(period))
        period = refreshSeconds;
    const double remaining = period - elapsedSeconds;
    return QString::number(remaining, 'f', QLocale::FloatingPointShortest);
}

std::chrono::milliseconds stallLimit(qint32 refreshSeconds)
{
    const auto maxSeconds = static_cast<qint32>(HttpProtocol::kMaxStall.count());
    return std::chrono::seconds(std::clamp(refreshSeconds, 1, maxSeconds));
}
