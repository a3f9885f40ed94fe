#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The body of a picture reply as a picture can be loaded from it: de-chunked when the header
// block says so. Empty when the body is cut off: chunks that end early or are malformed, fewer
// bytes than a valid Content-Length declares, or a JPEG without its end-of-image marker (a
// decoder would fill the missing rest with grey and call it a picture).
std::optional<QByteArray> loadableBody(QByteArrayView headerBlock, const QByteArray &body);

// False for a JPEG (it starts with the start-of-image marker) whose end-of-image marker is
// missing; line ends, spaces and NULs after the marker are allowed. True for any other bytes.
bool jpegHasEnd(QByteArrayView body);
