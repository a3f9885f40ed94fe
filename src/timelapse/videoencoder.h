#pragma once

#include "timelapse/timelapsejob.h"

#include <QSize>
#include <QString>

#include <memory>

class QImage;
struct AVFrame;

// A video frame ready for the encoder (planar YUV 4:2:0), made on any thread.
using VideoFrame = std::shared_ptr<AVFrame>;

// The picture converted to a frame of the same size, in full or limited range; null when the
// image is null or its size odd.
VideoFrame videoFrameFromImage(const QImage &image, bool fullRange);

// An MP4 file being written: frames in, one after the other, at a fixed rate. Not thread-safe:
// one thread feeds it (the encoder itself uses several).
class VideoEncoder
{
public:
    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder &) = delete;
    VideoEncoder &operator=(const VideoEncoder &) = delete;

    // Creates the file at `path` (replacing it: the caller gives a fresh temporary name) for frames
    // of `size` (both even) at `framesPerSecond`. False with error() set when it cannot.
    bool open(const QString &path, const QSize &size, int framesPerSecond, VideoCodec codec);
    // The next frame, shown for 1 / framesPerSecond.
    bool addFrame(const VideoFrame &frame);
    // Writes what the encoder holds back and closes the file.
    bool finish();

    QString error() const { return m_error; }
    // The codec's name, once open ("libx264", "mpeg4").
    QString codecName() const;
    // Whether the frames are to be in full range (0-255, as JPEGs store them; H.264 says so in the
    // stream) rather than limited (16-235, all MPEG-4 Part 2 players assume). Known once open.
    bool fullRange() const { return m_fullRange; }

private:
    struct State;
    bool drain(bool flushing);
    bool fail(const QString &what, int code);

    std::unique_ptr<State> m_state;
    QString m_error;
    bool m_fullRange = false;
};
