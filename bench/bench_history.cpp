// The history window and time-lapse videos: indexing a `cam` folder of 20,000 saved pictures of
// 40 cameras (the time until the window has its camera's pictures, and the longest stretch the
// window's thread spends on one event meanwhile), stepping through 1,000 pictures of a 1080p
// camera (the time from a step to its picture on the screen), and a 600-picture 1080p
// time-lapse (frames written per second).
#include "common/pictureworkers.h"
#include "cputime.h"
#include "history/historywindow.h"
#include "pictureinfo/picturemetadata.h"
#include "pictureinfo/savedname.h"
#include "support/noisyscene.h"
#include "timedapplication.h"
#include "timelapse/timelapsewriter.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr int kCameras = 40;
constexpr int kIndexPictures = 20000;
constexpr QSize kSmallPicture(160, 120);
constexpr int kStepPictures = 1000;
constexpr int kVideoPictures = 600;
constexpr QSize kFullHd(1920, 1080);
constexpr int kDistinctFullHd = 20; // encoded once each, saved many times with their own metadata
constexpr int kJpegQuality = 85;
constexpr QSize kWindowSize(1280, 900);
constexpr int kTimeoutMs = 120000;

constexpr double kIndexGoalMs = 2000;
constexpr double kStretchGoalMs = 20;
constexpr double kStepGoalMs = 50;
constexpr double kVideoGoalFps = 60;

const QDateTime kStart(QDate(2026, 3, 1), QTime(0, 0), QTimeZone(3600));

QByteArray jpegOf(const QSize &size, int shade)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(shade % 256, (shade * 7) % 256, 90));
    QPainter painter(&image);
    painter.fillRect(
        QRect(QPoint(size.width() * (shade % 10) / 10, 0), QSize(size.width() / 10, size.height())),
        Qt::white);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", kJpegQuality);
    return bytes;
}

QString cameraName(int camera)
{
    return QStringLiteral("Camera %1").arg(camera, 2, 10, QLatin1Char('0'));
}

bool writeSaved(const QString &folder, const QString &camera, int seconds, const QByteArray &jpeg)
{
    const QDateTime when = kStart.addSecs(seconds);
    const QString name = camPictureFileName(camera, when.toString(QStringLiteral("M/d/yyyy")),
                                            when.toString(QStringLiteral("h:mm:ss AP")));
    QFile file(folder + QLatin1Char('/') + name);
    const QByteArray bytes =
        withPictureInfo(jpeg, PictureInfo{camera, QStringLiteral("http://127.0.0.1/cam.jpg"), when});
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs the event loop until `done` holds or the time runs out; false on time out.
template<typename Done>
bool waitFor(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kTimeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(
        std::min(values.size() - 1, static_cast<size_t>(p * static_cast<double>(values.size()))));
}

bool benchIndex(TimedApplication &app)
{
    QTemporaryDir dir;
    QElapsedTimer made;
    made.start();
    std::vector<QByteArray> jpegs;
    jpegs.reserve(kCameras);
    for (int c = 0; c < kCameras; ++c)
        jpegs.push_back(jpegOf(kSmallPicture, c * 13));
    for (int i = 0; i < kIndexPictures; ++i) {
        const int camera = i % kCameras;
        if (!writeSaved(dir.path(), cameraName(camera), i, jpegs.at(camera))) {
            std::fprintf(stderr, "bench_history: cannot write the pictures\n");
            return false;
        }
    }
    std::printf("bench_history: indexing a folder of %d pictures (%dx%d, with metadata) of %d cameras, "
                "made in %.1f s\n",
                kIndexPictures, kSmallPicture.width(), kSmallPicture.height(), kCameras,
                static_cast<double>(made.elapsed()) / 1000);
    std::fflush(stdout);

    const QStringList names = [] {
        QStringList list;
        for (int c = 0; c < kCameras; ++c)
            list << cameraName(c);
        return list;
    }();
    app.longestNs = 0;
    QElapsedTimer timer;
    timer.start();
    const double cpu0 = processCpuMs();
    std::unique_ptr<HistoryWindow> window(HistoryWindow::forCamera(dir.path(), cameraName(7), names));
    window->resize(kWindowSize);
    window->show();
    if (!waitFor([&] { return window->pictures().size() == kIndexPictures / kCameras; })) {
        std::fprintf(stderr, "bench_history: the index never came\n");
        return false;
    }
    const double indexMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double cpuMs = processCpuMs() - cpu0;
    const double longestMs = static_cast<double>(app.longestNs) / 1e6;

    // One more picture: the rescan reads it alone.
    app.longestNs = 0;
    timer.restart();
    writeSaved(dir.path(), cameraName(7), kIndexPictures, jpegs.at(7));
    if (!waitFor([&] { return window->pictures().size() == kIndexPictures / kCameras + 1; }))
        return false;
    const double rescanMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const double rescanLongestMs = static_cast<double>(app.longestNs) / 1e6;
    window.reset();
    waitForPictureWork();

    std::printf("%-24s %10s %10s %28s\n", "", "time", "cpu", "longest window-thread stretch");
    std::printf("%-24s %7.0f ms %7.0f ms %25.1f ms\n", "first index", indexMs, cpuMs, longestMs);
    std::printf("%-24s %7.0f ms %10s %25.1f ms\n", "one more picture", rescanMs, "", rescanLongestMs);
    std::printf("goal: index under %.0f ms: %s; window thread never over %.0f ms: %s\n", kIndexGoalMs,
                indexMs < kIndexGoalMs ? "met" : "not met", kStretchGoalMs,
                std::max(longestMs, rescanLongestMs) < kStretchGoalMs ? "met" : "not met");
    std::fflush(stdout);
    return true;
}

bool benchStepsAndVideo()
{
    QTemporaryDir dir;
    QElapsedTimer made;
    made.start();
    // A camera's pictures: sensor noise, a moving object, each encoded at its own quality.
    NoisyScene::Options options;
    options.size = kFullHd;
    options.objectDiameter = kFullHd.height() / 8;
    const NoisyScene scene(options);
    std::vector<QByteArray> jpegs;
    jpegs.reserve(kDistinctFullHd);
    for (int i = 0; i < kDistinctFullHd; ++i)
        jpegs.push_back(scene.frame(i));
    const QString camera = QStringLiteral("Harbour");
    for (int i = 0; i < kStepPictures; ++i) {
        if (!writeSaved(dir.path(), camera, i * 60, jpegs.at(static_cast<size_t>(i % kDistinctFullHd)))) {
            std::fprintf(stderr, "bench_history: cannot write the pictures\n");
            return false;
        }
    }
    std::printf("bench_history: stepping through %d pictures of a %dx%d camera (JPEG %lld bytes) in a "
                "%dx%d history window, made in %.1f s\n",
                kStepPictures, kFullHd.width(), kFullHd.height(),
                static_cast<long long>(jpegs.front().size()), kWindowSize.width(), kWindowSize.height(),
                static_cast<double>(made.elapsed()) / 1000);
    std::fflush(stdout);

    std::unique_ptr<HistoryWindow> window(HistoryWindow::forCamera(dir.path(), camera, {camera}));
    window->resize(kWindowSize);
    window->show();
    if (!waitFor([&] { return window->pictures().size() == kStepPictures; }))
        return false;
    // From the first picture to the last, one step at a time, each waiting for its picture.
    qsizetype shownAt = -1;
    QObject::connect(window.get(), &HistoryWindow::pictureShown, [&shownAt](qsizetype at) { shownAt = at; });
    window->showPosition(0);
    if (!waitFor([&] { return shownAt == 0; }))
        return false;
    std::vector<double> stepMs;
    for (qsizetype at = 1; at < kStepPictures; ++at) {
        QElapsedTimer timer;
        timer.start();
        window->showNext();
        QEventLoop loop;
        while (shownAt != at) {
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
            loop.exec(QEventLoop::WaitForMoreEvents);
        }
        stepMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const double worst = *std::max_element(stepMs.begin(), stepMs.end());
    std::printf("%-24s %10s %10s %10s\n", "", "median", "95%", "slowest");
    std::printf("%-24s %7.1f ms %7.1f ms %7.1f ms\n", "step to picture shown", percentile(stepMs, 0.5),
                percentile(stepMs, 0.95), worst);
    std::printf("goal: each step shown within %.0f ms: %s\n", kStepGoalMs,
                worst < kStepGoalMs ? "met" : "not met");
    std::fflush(stdout);
    window.reset();
    waitForPictureWork();

    // The first 600 as a video, as the window writes it.
    TimeLapseJob job;
    const QString folder = dir.path() + QLatin1Char('/');
    QStringList files =
        QDir(dir.path()).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QString &name : files.mid(0, kVideoPictures))
        job.pictures << folder + name;
    job.folder = dir.path();
    job.fileName = [](int n) { return QStringLiteral("video %1.mp4").arg(n); };
    job.decoders = pictureWorkers();
    const std::atomic<bool> cancel{false};
    QElapsedTimer timer;
    timer.start();
    const double cpu0 = processCpuMs();
    const TimeLapseResult result = writeTimeLapse(job, cancel, {});
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double cpuS = (processCpuMs() - cpu0) / 1000;
    if (!result.written) {
        std::fprintf(stderr, "bench_history: the video failed: %s\n", qPrintable(result.error));
        return false;
    }
    const double fps = result.frames / seconds;
    std::printf("bench_history: a %d-picture %dx%d time-lapse at 25 frames/s (%d threads)\n", kVideoPictures,
                kFullHd.width(), kFullHd.height(), QThread::idealThreadCount());
    std::printf("%-24s %10s %10s %12s %10s %10s\n", "", "frames", "time", "frames/s", "cpu", "file");
    std::printf("%-24s %10d %8.1f s %12.1f %8.1f s %7.1f MB\n", "export", result.frames, seconds, fps, cpuS,
                static_cast<double>(QFileInfo(result.path).size()) / 1e6);
    std::printf("goal: at least %.0f frames/s: %s\n", kVideoGoalFps,
                fps >= kVideoGoalFps ? "met" : "not met");
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    if (!benchIndex(app) || !benchStepsAndVideo())
        return 1;
    return 0;
}
