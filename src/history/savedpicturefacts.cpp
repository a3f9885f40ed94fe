#include "history/savedpicturefacts.h"

#include "pictureinfo/picturemetadata.h"

std::optional<PictureFacts> readSavedPictureFacts(const QString &path)
{
    const std::optional<PictureInfo> info = readPictureInfo(path);
    if (!info)
        return std::nullopt;
    return PictureFacts{info->cameraName, info->received};
}
