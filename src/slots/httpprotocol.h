#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The fixed pieces of the HTTP/1.1 exchange of a slot.
namespace HttpProtocol {
inline constexpr QByteArrayView kLineEnd{"\r\n"};
inline constexpr QByteArrayView kHeaderEnd{"\r\n\r\n"}; // the blank line that ends a header block
inline constexpr quint16 kDefaultPort = 80;
} // namespace HttpProtocol
