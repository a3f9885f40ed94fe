#include "timelapse/yuvframe.h"

#include <QSize>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

VideoFrame newEmptyFrame()
{
    return {av_frame_alloc(), [](AVFrame *f) { av_frame_free(&f); }};
}

VideoFrame newYuvFrame(const QSize &size, bool fullRange)
{
    VideoFrame frame = newEmptyFrame();
    if (!frame)
        return {};
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = size.width();
    frame->height = size.height();
    frame->color_range = fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    return frame;
}

void setScaleRanges(SwsContext *sws, bool sourceFullRange, bool targetFullRange)
{
    const int *coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
    constexpr int kNeutral = 0;
    constexpr int kUnitContrast = 1 << 16;
    sws_setColorspaceDetails(sws, coefficients, sourceFullRange ? 1 : 0, coefficients,
                             targetFullRange ? 1 : 0, kNeutral, kUnitContrast, kUnitContrast);
}
