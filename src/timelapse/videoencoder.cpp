#include "timelapse/videoencoder.h"

#include "timelapse/yuvframe.h"

#include <QFile>
#include <QImage>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <array>
#include <mutex>

namespace {

// H.264 encoders from the system's libraries, most wanted first.
constexpr std::array kH264Encoders = {"libx264", "libopenh264"};
// The fastest preset: a time-lapse of 600 noisy 1080p camera pictures took 11 s of CPU time with
// it, against 25 s with "superfast" and 33 s with "veryfast", and its file was the smaller one
// (40 MB against 63 MB with "superfast").
constexpr char kH264Preset[] = "ultrafast";
// A key frame every two seconds keeps seeking in a player quick.
constexpr int kMaxKeyFrameSeconds = 2;
// MPEG-4 Part 2's quality: a fixed quantiser (2 is best, 31 worst).
constexpr int kMpeg4Quantiser = 4;

QString avText(int code)
{
    std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
    av_strerror(code, text.data(), text.size());
    return QString::fromUtf8(text.data());
}

const AVCodec *findEncoder(VideoCodec codec)
{
    if (codec == VideoCodec::H264) {
        for (const char *name : kH264Encoders) {
            if (const AVCodec *found = avcodec_find_encoder_by_name(name))
                return found;
        }
    }
    return avcodec_find_encoder(AV_CODEC_ID_MPEG4);
}

} // namespace

VideoFrame videoFrameFromImage(const QImage &image, bool fullRange)
{
    if (image.isNull() || image.width() % 2 != 0 || image.height() % 2 != 0)
        return {};
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        ? image
        : image.convertToFormat(QImage::Format_RGB32);
    VideoFrame frame = newYuvFrame(rgb.size(), fullRange);
    if (!frame)
        return {};
    SwsContext *sws = sws_getContext(rgb.width(), rgb.height(), AV_PIX_FMT_BGRA, rgb.width(), rgb.height(),
                                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (sws == nullptr)
        return {};
    setScaleRanges(sws, /*sourceFullRange=*/true, fullRange); // RGB is full range
    const std::array<const uint8_t *, 1> source = {rgb.constBits()};
    const std::array<int, 1> sourceStride = {static_cast<int>(rgb.bytesPerLine())};
    sws_scale(sws, source.data(), sourceStride.data(), 0, rgb.height(), frame->data, frame->linesize);
    sws_freeContext(sws);
    return frame;
}

struct VideoEncoder::State
{
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    AVPacket *packet = nullptr;
    bool headerWritten = false;
    qint64 nextPts = 0;

    ~State()
    {
        if (format != nullptr && format->pb != nullptr)
            avio_closep(&format->pb);
        avformat_free_context(format);
        avcodec_free_context(&codec);
        av_packet_free(&packet);
    }
};

VideoEncoder::VideoEncoder() = default;
VideoEncoder::~VideoEncoder() = default;

QString VideoEncoder::codecName() const
{
    return m_state && m_state->codec ? QString::fromLatin1(m_state->codec->codec->name) : QString();
}

bool VideoEncoder::fail(const QString &what, int code)
{
    m_error = code == 0 ? what : what + QStringLiteral(": ") + avText(code);
    m_state.reset(); // closes the file; the caller removes it
    return false;
}

bool VideoEncoder::open(const QString &path, const QSize &size, int framesPerSecond, VideoCodec codec)
{
    // The libraries' own chatter (per-video statistics, a damaged picture's details) stays out of
    // the program's output; what fails is told through error().
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    m_state = std::make_unique<State>();
    m_error.clear();
    State &s = *m_state;
    if (size.isEmpty() || size.width() % 2 != 0 || size.height() % 2 != 0 || framesPerSecond <= 0)
        return fail(QStringLiteral("unusable video size or rate"), 0);
    const QByteArray file = QFile::encodeName(path);
    int rc = avformat_alloc_output_context2(&s.format, nullptr, "mp4", file.constData());
    if (rc < 0 || s.format == nullptr)
        return fail(QStringLiteral("no MP4 writer"), rc);
    const AVCodec *encoder = findEncoder(codec);
    if (encoder == nullptr)
        return fail(QStringLiteral("no video encoder"), 0);
    s.codec = avcodec_alloc_context3(encoder);
    s.packet = av_packet_alloc();
    if (s.codec == nullptr || s.packet == nullptr)
        return fail(QStringLiteral("out of memory"), 0);
    s.codec->width = size.width();
    s.codec->height = size.height();
    s.codec->pix_fmt = AV_PIX_FMT_YUV420P;
    s.codec->time_base = AVRational{1, framesPerSecond};
    s.codec->framerate = AVRational{framesPerSecond, 1};
    s.codec->gop_size = framesPerSecond * kMaxKeyFrameSeconds;
    s.codec->thread_count = 0; // as many as the machine has cores
    m_fullRange = encoder->id == AV_CODEC_ID_H264;
    s.codec->color_range = m_fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if (encoder->id == AV_CODEC_ID_H264) {
        av_opt_set(s.codec->priv_data, "preset", kH264Preset, 0);
    } else {
        s.codec->flags |= AV_CODEC_FLAG_QSCALE;
        s.codec->global_quality = FF_QP2LAMBDA * kMpeg4Quantiser;
    }
    if ((s.format->oformat->flags & AVFMT_GLOBALHEADER) != 0)
        s.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    rc = avcodec_open2(s.codec, encoder, nullptr);
    if (rc < 0)
        return fail(QStringLiteral("the video encoder did not start"), rc);
    s.stream = avformat_new_stream(s.format, nullptr);
    if (s.stream == nullptr)
        return fail(QStringLiteral("out of memory"), 0);
    s.stream->time_base = s.codec->time_base;
    s.stream->avg_frame_rate = s.codec->framerate;
    rc = avcodec_parameters_from_context(s.stream->codecpar, s.codec);
    if (rc < 0)
        return fail(QStringLiteral("the video encoder did not start"), rc);
    rc = avio_open(&s.format->pb, file.constData(), AVIO_FLAG_WRITE);
    if (rc < 0)
        return fail(QStringLiteral("cannot write ") + path, rc);
    rc = avformat_write_header(s.format, nullptr);
    if (rc < 0)
        return fail(QStringLiteral("cannot write ") + path, rc);
    s.headerWritten = true;
    return true;
}

bool VideoEncoder::drain(bool flushing)
{
    State &s = *m_state;
    for (;;) {
        const int rc = avcodec_receive_packet(s.codec, s.packet);
        if (rc == AVERROR(EAGAIN) || (flushing && rc == AVERROR_EOF))
            return true;
        if (rc < 0)
            return fail(QStringLiteral("the video encoder failed"), rc);
        av_packet_rescale_ts(s.packet, s.codec->time_base, s.stream->time_base);
        s.packet->stream_index = s.stream->index;
        const int written = av_interleaved_write_frame(s.format, s.packet);
        if (written < 0)
            return fail(QStringLiteral("the video could not be written"), written);
    }
}

bool VideoEncoder::addFrame(const VideoFrame &frame)
{
    if (!m_state || !m_state->headerWritten || !frame)
        return false;
    State &s = *m_state;
    if (frame->width != s.codec->width || frame->height != s.codec->height)
        return fail(QStringLiteral("a frame of another size"), 0);
    frame->pts = s.nextPts++;
    const int rc = avcodec_send_frame(s.codec, frame.get());
    if (rc < 0)
        return fail(QStringLiteral("the video encoder failed"), rc);
    return drain(false);
}

bool VideoEncoder::finish()
{
    if (!m_state || !m_state->headerWritten)
        return false;
    State &s = *m_state;
    const int rc = avcodec_send_frame(s.codec, nullptr);
    if (rc < 0)
        return fail(QStringLiteral("the video encoder failed"), rc);
    if (!drain(true))
        return false;
    const int trailer = av_write_trailer(s.format);
    if (trailer < 0)
        return fail(QStringLiteral("the video could not be written"), trailer);
    const int closed = avio_closep(&s.format->pb);
    if (closed < 0)
        return fail(QStringLiteral("the video could not be written"), closed);
    m_state.reset();
    return true;
}
