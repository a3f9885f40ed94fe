// Resident memory of the program as a desktop session holds it: the main window right after its
// start, idle, and then a wall of 24 cameras of 3840x2160 refreshing every second. Meant to run on
// a display server (scripts/bench-memory starts one with xvfb-run); the pictures come from
// bench_wall's picture server in a process of its own, so its memory is not counted.
//
//   bench_memory [SECONDS]     SECONDS of the wall measured after a warm-up (default 10)
#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/largeblocks.h"
#include "common/pictureworkers.h"
#include "common/programfolder.h"
#include "shell/mainwindow.h"
#include "slots/slotpane.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDefaultSeconds = 10;
constexpr int kIdleSettleMs = 4000;
constexpr int kWallWarmUpMs = 5000;
constexpr int kSampleMs = 250;
constexpr int kServerTimeoutMs = 60000;
constexpr double kGoalIdleMiB = 60;
constexpr double kGoalWallMiB = 100;

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A "Vm...:" line of /proc/self/status, in MiB.
double statusMiB(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(qstrlen(key))).trimmed().split(' ').value(0).toDouble() /
                1024.0;
    }
    return -1;
}

// Whether a library whose file name holds `part` is mapped into the process.
bool mapped(const QByteArray &part)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(part);
}

struct RssSamples
{
    double median = 0;
    double largest = 0;
};

// The resident size over `ms`, sampled every kSampleMs.
RssSamples sampleRssOver(int ms)
{
    std::vector<double> samples;
    for (int waited = 0; waited < ms; waited += kSampleMs) {
        runFor(kSampleMs);
        samples.push_back(statusMiB("VmRSS:"));
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.back()};
}

void printLibraries()
{
    std::printf("  browser engine loaded: %s, software OpenGL rasteriser loaded: %s\n",
                mapped("libQt6WebEngineCore") ? "yes" : "no", mapped("libLLVM") ? "yes" : "no");
}

} // namespace

int main(int argc, char *argv[])
{
    mapLargeBlocksApart();
    QStandardPaths::setTestModeEnabled(true); // the user's own settings stay untouched
    QApplication app(argc, argv);
    ReadAppIdentity();
    const int seconds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : kDefaultSeconds;
    QTemporaryDir folder;
    SetProgramFolder(folder.path());

    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_wall"),
                 {QStringLiteral("--serve")});
    if (!server.waitForReadyRead(kServerTimeoutMs)) {
        std::fprintf(stderr, "bench_memory: bench_wall's picture server did not start\n");
        return 1;
    }
    const QByteArray port = server.readLine().trimmed().split(' ').value(1);
    const QByteArray address = "127.0.0.1:" + port + "/wall3840.jpg";
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        if (!AppendCamEntry({"Cam " + QByteArray::number(i), address, "1"})) {
            std::fprintf(stderr, "bench_memory: cannot write the camera list\n");
            return 1;
        }
    }

    std::printf("bench_memory: resident memory on platform \"%s\"\n",
                qPrintable(QGuiApplication::platformName()));
    auto *window = new MainWindow;
    // The detail slot's ticks query the clock: it asks a closed loopback port, never the Internet.
    window->findChild<InternetClock *>()->setServer(QStringLiteral("127.0.0.1"), 1);
    window->Form_Load();
    window->showMaximized();
    const RssSamples idle = sampleRssOver(kIdleSettleMs);
    std::printf("idle main window (and help window):  %6.1f MiB resident (median; at most %.1f)\n",
                idle.median, idle.largest);
    printLibraries();

    for (int i = 0; i < SlotPane::kSlotCount; ++i)
        window->listCommands()->OpenCam("Cam " + QByteArray::number(i));
    runFor(kWallWarmUpMs);
    const RssSamples wall = sampleRssOver(seconds * 1000);
    std::printf(
        "24 cameras 3840x2160 at 1 s, %2d s:   %6.1f MiB resident (median; at most %.1f, peak %.1f)\n",
        seconds, wall.median, wall.largest, statusMiB("VmHWM:"));
    printLibraries();
    std::printf("goals (median): idle at most %.0f MiB: %s; wall at most %.0f MiB: %s\n", kGoalIdleMiB,
                idle.median <= kGoalIdleMiB ? "met" : "not met", kGoalWallMiB,
                wall.median <= kGoalWallMiB ? "met" : "not met");
    std::fflush(stdout);

    window->frmCams->cmdStopAll_Click();
    waitForPictureWork();
    delete window;
    server.closeWriteChannel();
    server.waitForFinished(kServerTimeoutMs);
    return 0;
}
