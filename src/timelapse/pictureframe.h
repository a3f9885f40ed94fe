#pragma once

#include "timelapse/videoencoder.h"

class QString;
class QSize;

// A picture file as a video frame of `size` (both even; planar YUV 4:2:0, full or limited range):
// placed as letterboxRect says, with black borders. A JPEG is decoded straight to YUV and scaled
// in YUV, with no colour conversion; when its size and sampling already fit, the decoded frame
// is used as it is. Other pictures, and JPEGs that decoder refuses, go through QImage. Null when
// the file cannot be read as a picture. Safe to call from any thread.
VideoFrame loadPictureFrame(const QString &path, const QSize &size, bool fullRange);
