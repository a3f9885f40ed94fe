#pragma once

#include <QtGlobal>

#include <optional>

class QString;

// Automatic saving writes nothing while the file system holding the `cam` folder has less than
// this free: a camera left saving for days must not fill the disk the user works on.
inline constexpr qint64 kAutoSaveMinFreeBytes = qint64(1) << 30;

// The bytes an ordinary user may still write on the file system holding `path`; nothing when it
// cannot be told (no such path). One statvfs call: cheap enough to ask before every save.
std::optional<qint64> freeBytes(const QString &path);
