#include "slots/changedetection.h"

ChangeReason changeReason(ChangeDetection detection, const ChangeFacts &facts)
{
    if (facts.hasDate)
        return facts.dateChanged ? ChangeReason::ServerDate : ChangeReason::None;
    if (!facts.hasPrevious || !facts.bytesDiffer)
        return ChangeReason::None;
    switch (detection) {
    case ChangeDetection::Off:
        break;
    case ChangeDetection::Bytes:
        return ChangeReason::BytesChanged;
    case ChangeDetection::Picture:
        return facts.visiblyChanged ? ChangeReason::PictureChanged : ChangeReason::None;
    }
    return ChangeReason::None;
}

QString changeReasonDetail(ChangeReason reason)
{
    switch (reason) {
    case ChangeReason::None:
        break;
    case ChangeReason::ServerDate:
        return QStringLiteral("server date");
    case ChangeReason::BytesChanged:
        return QStringLiteral("bytes changed");
    case ChangeReason::PictureChanged:
        return QStringLiteral("picture changed");
    }
    return {};
}

QString changeDetectionText(ChangeDetection detection)
{
    switch (detection) {
    case ChangeDetection::Off:
        break;
    case ChangeDetection::Bytes:
        return QStringLiteral("bytes");
    case ChangeDetection::Picture:
        return QStringLiteral("picture");
    }
    return QStringLiteral("off");
}

std::optional<ChangeDetection> changeDetectionFromText(const QString &text)
{
    for (const ChangeDetection detection :
         {ChangeDetection::Off, ChangeDetection::Bytes, ChangeDetection::Picture}) {
        if (text == changeDetectionText(detection))
            return detection;
    }
    return std::nullopt;
}
