#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QThreadPool;

// Which codec an MP4 is written with.
enum class VideoCodec {
    H264, // H.264 when the system's libraries have an encoder for it, MPEG-4 Part 2 otherwise
    Mpeg4Part2,
};

// A time-lapse video to make: pictures in the order they are shown.
struct TimeLapseJob
{
    QStringList pictures; // picture files, first shown first
    QString folder; // where the video goes
    // The file name the video gets, tried with n = 1, 2, 3... until one names nothing yet.
    std::function<QString(int n)> fileName;
    int framesPerSecond = 25;
    VideoCodec codec = VideoCodec::H264;
    QThreadPool *decoders = nullptr; // where the pictures are decoded; the global pool when null
};

struct TimeLapseResult
{
    bool written = false;
    bool cancelled = false;
    QString path; // the video written
    QString error; // why not, when neither written nor cancelled
    int frames = 0; // pictures in the video
    int unreadable = 0; // pictures left out because they could not be read
};
