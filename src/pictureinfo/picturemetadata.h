#pragma once

#include "pictureinfo/pictureinfo.h"

#include <QByteArray>

#include <optional>

class QString;

// The JPEG with `info` in its EXIF block, in the tags photo tools read: ImageDescription = the
// camera name, DateTimeOriginal + OffsetTimeOriginal = the moment received, in its own offset;
// DocumentName = the picture address with any "user:password@" removed (the document the
// picture was taken from); Software = the program's name, which marks the picture as one this
// program saved. The picture's own bytes are not touched. On any failure (not a JPEG, a damaged
// one, no valid time) the input comes back unchanged: a picture is never lost for its metadata.
// Safe to call from any thread.
QByteArray withPictureInfo(const QByteArray &jpeg, const PictureInfo &info);

// The PictureInfo a picture saved by this program carries, read from its metadata alone (the
// picture is not decoded). Empty when the file is missing, no JPEG, damaged, or carries no
// metadata of ours (no program mark, no camera name or no valid time). Never throws; safe to
// call from any thread.
std::optional<PictureInfo> readPictureInfo(const QString &path);
std::optional<PictureInfo> readPictureInfo(const QByteArray &jpeg);

// The address as it may be shown or stored: any "user:password@" before the host removed.
QString addressWithoutCredentials(const QString &address);
