#pragma once

#include "timelapse/videoencoder.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QThreadPool;

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

// Writes the job's video; blocks, so it runs on a worker. The first readable picture sets the
// video's size (rounded down to even numbers); a picture of another size is scaled into it with
// borders, and a picture that cannot be read is left out. progress(done, total) is called on this
// thread after each picture. Setting `cancel` stops it soon after. The file is written under a
// temporary name beside the pictures and renamed when complete; a cancelled or failed video leaves
// no file, and an existing file is never replaced.
TimeLapseResult writeTimeLapse(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                               const std::function<void(int done, int total)> &progress);
