#pragma once

#include "history/historyindex.h"

// A PictureFactsReader for pictures this program saved: the camera name and time of their
// metadata. Safe to call from any thread.
std::optional<PictureFacts> readSavedPictureFacts(const QString &path);
