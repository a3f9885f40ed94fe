#include "timelapse/pictureframe.h"

#include "timelapse/letterbox.h"
#include "timelapse/yuvframe.h"

#include <QFile>
#include <QImage>
#include <QRect>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <array>
#include <cstddef>
#include <cstring>
#include <memory>

namespace {

// Larger files are no camera pictures (a reply is never larger).
constexpr qint64 kMaxPictureBytes = qint64(64) * 1024 * 1024;
constexpr int kChromaMiddle = 128;
// 8K by 8K: more than any camera sends, and still a bounded amount of memory.
constexpr int64_t kMaxPicturePixels = int64_t(8192) * 8192;

// The picture decoded by the system's JPEG decoder, in the planar YUV it is stored in.
VideoFrame decodeJpeg(const QByteArray &jpeg)
{
    const AVCodec *decoder = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    if (decoder == nullptr || jpeg.size() < 2 || static_cast<unsigned char>(jpeg.at(0)) != 0xFF ||
        static_cast<unsigned char>(jpeg.at(1)) != 0xD8)
        return {};
    const std::unique_ptr<AVCodecContext, void (*)(AVCodecContext *)> context(
        avcodec_alloc_context3(decoder), [](AVCodecContext *c) { avcodec_free_context(&c); });
    const std::unique_ptr<AVPacket, void (*)(AVPacket *)> packet(av_packet_alloc(),
                                                                 [](AVPacket *p) { av_packet_free(&p); });
    VideoFrame frame = newEmptyFrame();
    if (!context || !packet || !frame)
        return {};
    context->thread_count = 1; // the pictures are decoded side by side already
    context->max_pixels = kMaxPicturePixels; // a damaged or hostile header claims no more memory
    if (avcodec_open2(context.get(), decoder, nullptr) < 0 ||
        av_new_packet(packet.get(), static_cast<int>(jpeg.size())) < 0)
        return {};
    std::memcpy(packet->data, jpeg.constData(), static_cast<size_t>(jpeg.size()));
    if (avcodec_send_packet(context.get(), packet.get()) < 0 ||
        avcodec_receive_frame(context.get(), frame.get()) < 0)
        return {};
    return frame;
}

// The decoder's own names for full-range formats, as the scaler wants them: the plain format
// and the range apart.
AVPixelFormat plainFormat(AVPixelFormat format, bool &fullRange)
{
    switch (format) {
    case AV_PIX_FMT_YUVJ420P:
        fullRange = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        fullRange = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        fullRange = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        fullRange = true;
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        fullRange = true;
        return AV_PIX_FMT_YUV411P;
    default:
        return format;
    }
}

// A black frame of `size` with `source` scaled into place.
VideoFrame placed(const AVFrame &source, const QSize &size, bool fullRange)
{
    QRect place = letterboxRect(QSize(source.width, source.height), size);
    // Even edges, so that the chroma planes line up with the picture.
    place = QRect(place.x() & ~1, place.y() & ~1, std::max(2, place.width() & ~1),
                  std::max(2, place.height() & ~1));
    if (place.isEmpty())
        return {};
    VideoFrame frame = newYuvFrame(size, fullRange);
    if (!frame)
        return {};
    if (place.size() != size) {
        constexpr int kLimitedBlack = 16;
        std::memset(frame->data[0], fullRange ? 0 : kLimitedBlack,
                    static_cast<size_t>(frame->linesize[0]) * size.height());
        for (int plane = 1; plane <= 2; ++plane)
            std::memset(frame->data[plane], kChromaMiddle,
                        static_cast<size_t>(frame->linesize[plane]) * (size.height() / 2));
    }
    bool sourceFull = source.color_range == AVCOL_RANGE_JPEG;
    const AVPixelFormat sourceFormat = plainFormat(static_cast<AVPixelFormat>(source.format), sourceFull);
    SwsContext *sws = sws_getContext(source.width, source.height, sourceFormat, place.width(), place.height(),
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (sws == nullptr)
        return {};
    setScaleRanges(sws, sourceFull, fullRange);
    std::array<uint8_t *, 3> target{};
    const auto offset = [&frame](int plane, int x, int y) {
        return static_cast<ptrdiff_t>(y) * frame->linesize[plane] + x;
    };
    target[0] = frame->data[0] + offset(0, place.x(), place.y());
    target[1] = frame->data[1] + offset(1, place.x() / 2, place.y() / 2);
    target[2] = frame->data[2] + offset(2, place.x() / 2, place.y() / 2);
    const std::array<int, 3> targetStride = {frame->linesize[0], frame->linesize[1], frame->linesize[2]};
    sws_scale(sws, source.data, source.linesize, 0, source.height, target.data(), targetStride.data());
    sws_freeContext(sws);
    return frame;
}

} // namespace

VideoFrame loadPictureFrame(const QString &path, const QSize &size, bool fullRange)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPictureBytes)
        return {};
    const QByteArray bytes = file.readAll();
    if (VideoFrame decoded = decodeJpeg(bytes)) {
        const bool asItIs = fullRange && decoded->width == size.width() && decoded->height == size.height() &&
            (decoded->format == AV_PIX_FMT_YUVJ420P ||
             (decoded->format == AV_PIX_FMT_YUV420P && decoded->color_range == AVCOL_RANGE_JPEG));
        if (asItIs) {
            decoded->format = AV_PIX_FMT_YUV420P; // the same planes; the range goes with the frame
            decoded->color_range = AVCOL_RANGE_JPEG;
            return decoded;
        }
        if (VideoFrame frame = placed(*decoded, size, fullRange))
            return frame;
    }
    return videoFrameFromImage(loadLetterboxed(path, size), fullRange);
}
