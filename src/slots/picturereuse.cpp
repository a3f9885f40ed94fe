#include "slots/picturereuse.h"

std::optional<SlotPicture> unchangedPicture(const SlotPicture &shown, const QByteArray &body,
                                            const QSize &decodeSize)
{
    if (shown.kind() != SlotPicture::Kind::Camera || shown.slotImage().size() != decodeSize)
        return std::nullopt;
    // QByteArray compares the lengths before any byte; a body shared with the picture's bytes is
    // equal at once.
    if (shown.bytes().size() != body.size() ||
        (shown.bytes().constData() != body.constData() && shown.bytes() != body))
        return std::nullopt;
    return shown;
}
