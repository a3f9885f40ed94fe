#pragma once

#include "slots/slotpicture.h"

#include <QByteArray>
#include <QSize>

#include <optional>

// The picture a slot shows, when a reply's body is byte for byte the one it was decoded from
// (length first, then the bytes) and the slot would decode it to the same size: the decode is
// skipped and the picture kept as it is. It keeps its serial, so the views, which know that
// serial, skip their full-size decode too. Empty when a decode is needed.
std::optional<SlotPicture> unchangedPicture(const SlotPicture &shown, const QByteArray &body,
                                            const QSize &decodeSize);
