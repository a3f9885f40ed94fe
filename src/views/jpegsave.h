#pragma once

#include "pictureinfo/pictureinfo.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QImage;

// The outcome of one save: where the file went (or would have gone) and its JPEG bytes.
struct JpegSaveResult
{
    bool saved = false;
    QString path; // the file written; on failure the path that was asked for
    QByteArray jpeg; // the bytes written; empty on failure
    QString error; // on failure, why, as the system tells it (a full disk, say); may be empty
};

// JPEG quality of every saved picture.
inline constexpr int kSaveJpegQuality = 100;

// Writes the image as a JPEG file named `name` right inside `folder`, safe to call from any
// thread. The file appears whole or not at all: written under a temporary name in the folder,
// then renamed; a failure at any step, a full disk half-way included, leaves nothing behind. An
// existing entry is never replaced: the name gets " (2)", " (3)"... instead. Nothing is written
// when the name is not a plain file name (see isPlainFileName), the image is empty, or the folder
// is missing or not writable. With `info`, the JPEG carries it in its metadata (see
// withPictureInfo), written before the file is.
JpegSaveResult saveJpeg(const QString &folder, const QString &name, const QImage &image,
                        const std::optional<PictureInfo> &info = std::nullopt);
