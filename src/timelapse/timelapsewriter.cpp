#include "timelapse/timelapsewriter.h"

#include "common/freefilename.h"
#include "timelapse/pictureframe.h"

#include <QFuture>
#include <QImage>
#include <QImageReader>
#include <QTemporaryFile>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <deque>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

// Pictures decoded ahead of the encoder, per decoding thread.
constexpr int kDecodeAheadPerThread = 2;

// The size of the first picture whose header can be read, rounded down to even numbers.
QSize videoSize(const QStringList &pictures)
{
    for (const QString &path : pictures) {
        const QSize size = QImageReader(path).size();
        if (size.width() >= 2 && size.height() >= 2)
            return {size.width() & ~1, size.height() & ~1};
    }
    return {};
}

} // namespace

TimeLapseResult writeTimeLapse(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                               const std::function<void(int done, int total)> &progress)
{
    TimeLapseResult result;
    const QSize size = videoSize(job.pictures);
    if (size.isEmpty()) {
        result.error = QStringLiteral("no picture could be read");
        return result;
    }
    // Nameless to everyone else until complete; its destructor removes it unless renamed.
    QTemporaryFile file(job.folder + QStringLiteral("/.timelapse-XXXXXX.mp4"));
    if (!file.open() || !file.setPermissions(newFilePermissions())) {
        result.error = file.errorString();
        return result;
    }
    VideoEncoder encoder;
    if (!encoder.open(file.fileName(), size, job.framesPerSecond, job.codec)) {
        result.error = encoder.error();
        return result;
    }

    QThreadPool *pool = job.decoders != nullptr ? job.decoders : QThreadPool::globalInstance();
    const auto ahead = static_cast<qsizetype>(std::max(1, pool->maxThreadCount()) * kDecodeAheadPerThread);
    const auto total = static_cast<int>(job.pictures.size());
    std::deque<QFuture<VideoFrame>> decoding;
    qsizetype next = 0;
    bool failed = false;
    for (int done = 0; done < total; ++done) {
        while (next < job.pictures.size() && static_cast<qsizetype>(decoding.size()) < ahead) {
            decoding.push_back(QtConcurrent::run(
                pool, [path = job.pictures.at(next), size, fullRange = encoder.fullRange()] {
                    return loadPictureFrame(path, size, fullRange);
                }));
            ++next;
        }
        if (cancel)
            break;
        const VideoFrame frame = decoding.front().result();
        decoding.pop_front();
        if (!frame) {
            ++result.unreadable;
        } else if (!encoder.addFrame(frame)) {
            failed = true;
            break;
        } else {
            ++result.frames;
        }
        if (progress)
            progress(done + 1, total);
    }
    // Decodes still running hold nothing of ours, but finish before the pool may be torn down.
    for (QFuture<VideoFrame> &pending : decoding)
        pending.waitForFinished();
    if (cancel) {
        result.cancelled = true;
        return result;
    }
    if (failed || !encoder.finish()) {
        result.error = encoder.error();
        return result;
    }
    if (result.frames == 0) {
        result.error = QStringLiteral("no picture could be read");
        return result;
    }
    const FreeFileName moved = moveToFreeFileName(file, job.folder, job.fileName);
    if (moved.path.isEmpty()) {
        result.error = moved.error.isEmpty() ? QStringLiteral("no free file name") : moved.error;
        return result;
    }
    result.written = true;
    result.path = moved.path;
    return result;
}
