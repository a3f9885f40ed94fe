#pragma once

#include "timelapse/videoencoder.h"

class QSize;
struct SwsContext;

// A frame with no picture yet (for a decoder to fill); null when memory runs out.
VideoFrame newEmptyFrame();

// A frame of `size` in planar YUV 4:2:0, full or limited range, its planes allocated but not
// filled; null when memory runs out.
VideoFrame newYuvFrame(const QSize &size, bool fullRange);

// Tells the scaler the source's and the target's range, with the default coefficients and no
// change of brightness, contrast or saturation.
void setScaleRanges(SwsContext *sws, bool sourceFullRange, bool targetFullRange);
