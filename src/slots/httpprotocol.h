#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <chrono>

// The fixed pieces of the HTTP/1.1 exchange of a slot.
namespace HttpProtocol {
inline constexpr QByteArrayView kLineEnd{"\r\n"};
inline constexpr QByteArrayView kHeaderEnd{"\r\n\r\n"}; // the blank line that ends a header block
inline constexpr quint16 kDefaultPort = 80;
inline constexpr quint16 kDefaultSecurePort = 443; // "https://"
// A fetch that receives nothing new for this long is given up.
inline constexpr std::chrono::seconds kMaxStall{30};
// A header block longer than this is not waited for: the reply is given up.
inline constexpr qsizetype kMaxHeaderBytes = qsizetype(256) * 1024;
// The most a data event reads of one reply before the other sockets' events get their turn. The
// socket's own buffer holds as much: below the size from which blocks are mapped apart from the
// heap (common/largeblocks), so its pieces come from the heap, used again read after read, rather
// than as fresh pages mapped and unmapped for each (a quarter of the CPU of an unchanged 4K reply).
inline constexpr qsizetype kMaxReadPerEvent = qsizetype(128) * 1024;
} // namespace HttpProtocol
