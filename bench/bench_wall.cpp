// A camera wall: 24 slots refreshing every second against a loopback picture server in another
// process, for a fixed time, at three picture sizes, with pictures decoded on the picture workers
// and, beside it, decoded inline on the window thread. Each run is a process of its own, so its
// peak resident memory is its own. Prints per run: fetches a second, CPU time a fetch, peak
// resident memory, the picture bytes the slots keep, and how late a 5 ms timer of the window
// thread fires (maximum and 99th percentile). The 4K wall runs a third time with the camera wall
// window open at 1920 x 1080, each reply decoded once to its tile. Every reply brings other bytes
// of its picture (a camera encoding its scene anew), so each one is decoded. The 4K wall runs twice
// more: with pictures that never change (the same bytes every time, kept undecoded) and with each
// camera's picture changing every 10 s. A last run opens 21 cameras
// whose replies never end (refresh 3 s) beside 3 good ones and prints the same figures, with what
// the good ones fetched.
//
//   bench_wall [SECONDS]            all runs, then the goals
//   bench_wall --serve              the picture server (prints its ports, ends with its stdin)
//   bench_wall --client W H MODE PORT SECONDS   one run; MODE is "workers", "inline", "wall",
//                                               "still" or "changing"
//   bench_wall --flood PORT ENDLESS_PORT SECONDS   the run with the endless replies
#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/largeblocks.h"
#include "common/sharedstate.h"
#include "cputime.h"
#include "slots/cameraslot.h"
#include "slots/slotfetch.h"
#include "slots/slotpane.h"
#include "views/wallwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kDefaultSeconds = 15;
constexpr int kWarmUpMs = 3000; // the slots open over the first second, then settle
constexpr int kProbeMs = 5;
constexpr int kJpegQuality = 85;
constexpr int kRunTimeoutMs = 120000;

struct Size
{
    int width;
    int height;
};
constexpr Size kSizes[] = {{640, 480}, {1920, 1080}, {3840, 2160}};

// The goals for the 4K wall (and the one for 1080p), checked against the worker runs.
constexpr double kGoalFetchesPerSecond = 23.5; // all 24 held; a tick is a little over 1000 ms
constexpr double kGoalP99Ms = 20;
constexpr double kGoalMaxMs = 40;
constexpr double kGoalRssMiB = 80;
constexpr double kGoalMax1080Ms = 20;

// The camera wall window over the 4K wall: the window's size and its goals.
constexpr Size kWallWindow{1920, 1080};
constexpr double kGoalWallCpuRatio = 1.5; // CPU a fetch, against the same run with the wall closed
constexpr double kGoalWallRssMiB = 120;

// The 4K wall whose pictures never change, and whose cameras' pictures change every 10 s.
constexpr double kGoalStillCpuMs = 1.0; // CPU a fetch
constexpr int kChangeEveryMs = 10000;
constexpr double kGoalChangingCpuShare = 0.15; // CPU a fetch, against a new picture every fetch

// The flood: endless replies beside good ones, as a wall may meet them.
constexpr int kEndlessCameras = 21;
constexpr int kEndlessRefreshS = 3;
constexpr qint64 kEndlessPiece = qint64(64) * 1024;
constexpr qint64 kEndlessQueued = qint64(1024) * 1024; // the server's own memory stays small
constexpr double kGoalFloodRssMiB = 256 + 64; // the replies' budget and a margin
constexpr double kGoalFloodMaxMs = 100; // a click is acted on at once

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // KiB on Linux
}

// How late a 5 ms timer of the window thread fires, while measuring is on.
class LatenessProbe
{
public:
    explicit LatenessProbe(QObject *context)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, context, [this] {
            const double late = static_cast<double>(m_since.nsecsElapsed()) / 1e6 - kProbeMs;
            m_since.start();
            if (m_measuring)
                m_lateness.push_back(std::max(late, 0.0));
        });
        m_since.start();
        m_timer.start(kProbeMs);
    }

    // The largest and the 99th percentile of what was measured.
    std::pair<double, double> maxAndP99()
    {
        if (m_lateness.empty())
            return {0, 0};
        std::sort(m_lateness.begin(), m_lateness.end());
        return {m_lateness.back(), m_lateness[m_lateness.size() * 99 / 100]};
    }

    void setMeasuring(bool on) { m_measuring = on; }

private:
    bool m_measuring = true;
    std::vector<double> m_lateness;
    QElapsedTimer m_since;
    QTimer m_timer;
};

QByteArray picturePath(const Size &size)
{
    return "/wall" + QByteArray::number(size.width) + ".jpg";
}

QByteArray stillPath(const Size &size)
{
    return "/still" + QByteArray::number(size.width) + ".jpg";
}

// Camera Index's picture, which changes every kChangeEveryMs, each camera at its own moment.
QByteArray changingPath(const Size &size, int Index)
{
    return "/changing" + QByteArray::number(size.width) + '-' + QByteArray::number(Index) + ".jpg";
}

// Answers every connection with a picture header and a body that never ends.
void serveEndless(QTcpServer &endless)
{
    QObject::connect(&endless, &QTcpServer::newConnection, &endless, [&endless] {
        while (QTcpSocket *socket = endless.nextPendingConnection()) {
            auto feed = [socket] {
                while (socket->bytesToWrite() < kEndlessQueued)
                    socket->write(QByteArray(kEndlessPiece, 'e'));
            };
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, feed);
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n\r\n");
            feed();
        }
    });
}

int serve()
{
    CamServer server;
    QTcpServer endless;
    if (!server.listen(QHostAddress::LocalHost, 0) || !endless.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "bench_wall: cannot listen on 127.0.0.1\n");
        return 1;
    }
    serveEndless(endless);
    QElapsedTimer clock;
    clock.start();
    for (const Size &size : kSizes) {
        const QByteArray jpeg =
            TestPictures::jpeg(size.width, size.height, QColor(40, 120, 200), kJpegQuality);
        const auto replyWith = [](const QByteArray &picture) {
            CamReply reply;
            reply.bytes = CamServer::httpReply("HTTP/1.1 200 OK",
                                               {"Content-Type: image/jpeg",
                                                "Content-Length: " + QByteArray::number(picture.size()),
                                                "Connection: close"},
                                               picture);
            return reply;
        };
        server.setHandler(picturePath(size), [jpeg, replyWith, served = 0](const QByteArray &) mutable {
            return replyWith(TestPictures::variant(jpeg, ++served));
        });
        server.setReply(stillPath(size), replyWith(jpeg));
        for (int i = 0; i < SlotPane::kSlotCount; ++i) {
            server.setHandler(changingPath(size, i), [jpeg, replyWith, i, &clock](const QByteArray &) {
                const qint64 phase = clock.elapsed() + qint64(i) * kChangeEveryMs / SlotPane::kSlotCount;
                return replyWith(TestPictures::variant(jpeg, int(phase / kChangeEveryMs)));
            });
        }
    }
    std::printf("port %u %u\n", server.port(), endless.serverPort());
    std::fflush(stdout);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, qApp, [&input] {
        char byte = 0;
        if (::read(STDIN_FILENO, &byte, 1) <= 0) { // the driver is gone
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    return QCoreApplication::exec();
}

int client(const QStringList &args)
{
    const Size size{args.value(0).toInt(), args.value(1).toInt()};
    const bool inlineDecoding = args.value(2) == QLatin1String("inline");
    const bool withWall = args.value(2) == QLatin1String("wall");
    const bool still = args.value(2) == QLatin1String("still");
    const bool changing = args.value(2) == QLatin1String("changing");
    const QString port = args.value(3);
    const int seconds = args.value(4).toInt();

    SharedState state;
    SlotPane pane(state);
    pane.setInlineDecoding(inlineDecoding);
    pane.show();
    std::unique_ptr<WallWindow> wallWindow;
    if (withWall) {
        wallWindow = std::make_unique<WallWindow>(&pane);
        wallWindow->setAttribute(Qt::WA_DeleteOnClose, false); // quitting closes it; the run deletes it
        QObject::connect(&pane, &SlotPane::slotChanged, wallWindow.get(), &WallWindow::slotChanged);
        wallWindow->resize(kWallWindow.width, kWallWindow.height);
        wallWindow->show();
    }

    // The wall opens over one second, a slot every 1/24 s, as cameras opened one after another.
    const auto address = [&](int Index) {
        const QByteArray path = still ? stillPath(size)
            : changing                ? changingPath(size, Index)
                                      : picturePath(size);
        return QStringLiteral("http://127.0.0.1:") + port + QString::fromLatin1(path);
    };
    QTimer opener;
    opener.setTimerType(Qt::PreciseTimer);
    QObject::connect(&opener, &QTimer::timeout, &pane, [&] {
        const qint16 Index = state.intOpenCams++;
        pane.loadCam(Index, QStringLiteral("Cam %1").arg(Index), address(Index), QStringLiteral("1"));
        if (state.intOpenCams == SlotPane::kSlotCount)
            opener.stop();
    });
    opener.start(1000 / SlotPane::kSlotCount);

    // The window thread's responsiveness: how late a 5 ms timer fires.
    bool measuring = false;
    LatenessProbe probe(&pane);
    probe.setMeasuring(false);

    int fetches = 0;
    QObject::connect(&pane, &SlotPane::replyHandled, &pane, [&](int) { fetches += measuring ? 1 : 0; });

    double cpu0 = 0;
    QElapsedTimer wall;
    QTimer::singleShot(kWarmUpMs, &pane, [&] {
        measuring = true;
        probe.setMeasuring(true);
        cpu0 = processCpuMs();
        wall.start();
    });
    QTimer::singleShot(kWarmUpMs + seconds * 1000, &pane, [&] {
        measuring = false;
        const double cpu = processCpuMs() - cpu0;
        const double elapsedS = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        const auto [worst, p99] = probe.maxAndP99();
        qint64 kept = 0;
        int pictures = 0;
        for (int i = 0; i < SlotPane::kSlotCount; ++i) {
            const SlotPicture &picture = pane.slot(i)->picture();
            pictures += picture.kind() == SlotPicture::Kind::Camera ? 1 : 0;
            kept += picture.bytes().size();
        }
        const QSize tile = pane.picture(0).viewImage().size();
        std::printf("fetches_per_s=%.2f cpu_ms=%.2f peak_rss_mib=%.1f kept_mib=%.1f late_max_ms=%.1f "
                    "late_p99_ms=%.1f pictures=%d tile_w=%d tile_h=%d\n",
                    fetches / elapsedS, fetches > 0 ? cpu / fetches : 0.0, peakRssMiB(),
                    static_cast<double>(kept) / (1024.0 * 1024.0), worst, p99, pictures, tile.width(),
                    tile.height());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

int flood(const QStringList &args)
{
    const QString port = args.value(0);
    const QString endlessPort = args.value(1);
    const int seconds = args.value(2).toInt();

    SharedState state;
    SlotPane pane(state);
    pane.show();
    const QString good =
        QStringLiteral("http://127.0.0.1:") + port + QString::fromLatin1(picturePath(kSizes[0]));
    const QString endless =
        QStringLiteral("http://127.0.0.1:") + endlessPort + QStringLiteral("/endless.jpg");
    for (qint16 i = 0; i < SlotPane::kSlotCount; ++i) {
        const bool isEndless = i >= SlotPane::kSlotCount - kEndlessCameras;
        pane.loadCam(i, QStringLiteral("Cam %1").arg(i), isEndless ? endless : good,
                     QString::number(isEndless ? kEndlessRefreshS : 1));
        state.intOpenCams = qint16(i + 1);
    }

    LatenessProbe probe(&pane);
    int goodFetches = 0;
    qint64 received = 0;
    QObject::connect(&pane, &SlotPane::replyHandled, &pane, [&](int Index) {
        goodFetches += Index < SlotPane::kSlotCount - kEndlessCameras ? 1 : 0;
    });
    for (int i = 0; i < SlotPane::kSlotCount; ++i) {
        SlotFetch *fetch = pane.slot(i)->fetch();
        QObject::connect(fetch, &SlotFetch::dataArrived, &pane,
                         [&received](qint32 bytes) { received += bytes; });
    }
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &pane, [&] {
        const double elapsedS = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        const auto [worst, p99] = probe.maxAndP99();
        std::printf("good_fetches_per_s=%.2f received_mib_per_s=%.0f peak_rss_mib=%.1f late_max_ms=%.1f "
                    "late_p99_ms=%.1f\n",
                    goodFetches / elapsedS, static_cast<double>(received) / (1024.0 * 1024.0) / elapsedS,
                    peakRssMiB(), worst, p99);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}

// One figure of a client's line "key=value ...".
double figure(const QByteArray &line, const QByteArray &key)
{
    for (const QByteArray &pair : line.trimmed().split(' ')) {
        if (pair.startsWith(key + '='))
            return pair.mid(key.size() + 1).toDouble();
    }
    return -1;
}

int drive(int seconds)
{
    const QString self = QCoreApplication::applicationFilePath();
    // The runs' own runtime folder, which Qt's offscreen platform wants.
    const QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess server;
    server.setProcessEnvironment(environment);
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(self, {QStringLiteral("--serve")});
    if (!server.waitForReadyRead(kRunTimeoutMs)) {
        std::fprintf(stderr, "bench_wall: the picture server did not start\n");
        return 1;
    }
    const QList<QByteArray> ports = server.readLine().trimmed().split(' ');
    const QByteArray port = ports.value(1);
    const QByteArray endlessPort = ports.value(2);

    double loads[3] = {};
    getloadavg(loads, 3);
    std::printf("bench_wall: 24 slots, 1 s refresh, %d s measured after %d s, %d cores, load %.2f\n", seconds,
                kWarmUpMs / 1000, QThread::idealThreadCount(), loads[0]);
    std::printf("%-10s %-8s | %8s %9s %9s %9s | %9s %9s\n", "size", "decode", "fetch/s", "cpu/fetch",
                "peak RSS", "kept", "late max", "late p99");
    std::fflush(stdout);

    bool allMet = true;
    for (const Size &size : kSizes) {
        QByteArray lines[5];
        // The wall window, the pictures that never change and those that change every 10 s over
        // the 4K wall.
        const int modes = size.width == 3840 ? 5 : 2;
        for (int mode = 0; mode < modes; ++mode) {
            static const char *const modeNames[] = {"workers", "inline", "wall", "still", "changing"};
            const QString modeName = QString::fromLatin1(modeNames[mode]);
            QProcess run;
            run.setProcessEnvironment(environment);
            run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            run.start(self,
                      {QStringLiteral("--client"), QString::number(size.width), QString::number(size.height),
                       modeName, QString::fromLatin1(port), QString::number(seconds)});
            if (!run.waitForFinished(kRunTimeoutMs) || run.exitCode() != 0) {
                std::fprintf(stderr, "bench_wall: a run failed\n");
                return 1;
            }
            const QByteArray line = run.readAllStandardOutput();
            lines[mode] = line;
            if (figure(line, "pictures") != SlotPane::kSlotCount) {
                std::fprintf(stderr, "bench_wall: not every slot shows a picture: %s", line.constData());
                return 1;
            }
            std::printf("%4dx%-5d %-8s | %8.2f %7.2fms %6.1fMiB %6.1fMiB | %7.1fms %7.1fms\n", size.width,
                        size.height, qPrintable(modeName), figure(line, "fetches_per_s"),
                        figure(line, "cpu_ms"), figure(line, "peak_rss_mib"), figure(line, "kept_mib"),
                        figure(line, "late_max_ms"), figure(line, "late_p99_ms"));
            std::fflush(stdout);
        }
        const QByteArray &workers = lines[0];
        const QByteArray &inlined = lines[1];
        if (size.width == 3840) {
            const bool fetched = figure(workers, "fetches_per_s") >= kGoalFetchesPerSecond;
            const bool p99 = figure(workers, "late_p99_ms") < kGoalP99Ms;
            const bool worst = figure(workers, "late_max_ms") < kGoalMaxMs;
            const bool rss = figure(workers, "peak_rss_mib") < kGoalRssMiB;
            const bool cpu = figure(workers, "cpu_ms") <= figure(inlined, "cpu_ms");
            const double cpuRatio = figure(workers, "cpu_ms") / figure(inlined, "cpu_ms");
            std::printf(
                "4K goals: 24 fetches/s %s, lateness p99 < %.0f ms %s, max < %.0f ms %s, peak RSS < %.0f "
                "MiB %s, CPU/fetch no more than inline %s (%+.1f%%)\n",
                fetched ? "met" : "MISSED", kGoalP99Ms, p99 ? "met" : "MISSED", kGoalMaxMs,
                worst ? "met" : "MISSED", kGoalRssMiB, rss ? "met" : "MISSED", cpu ? "met" : "MISSED",
                (cpuRatio - 1) * 100);
            allMet = allMet && fetched && p99 && worst && rss && cpu;

            const QByteArray &wall = lines[2];
            const double wallRatio = figure(wall, "cpu_ms") / figure(workers, "cpu_ms");
            const bool wallFetched = figure(wall, "fetches_per_s") >= kGoalFetchesPerSecond;
            const bool wallCpu = wallRatio <= kGoalWallCpuRatio;
            const bool wallP99 = figure(wall, "late_p99_ms") < kGoalP99Ms;
            const bool wallWorst = figure(wall, "late_max_ms") < kGoalMaxMs;
            const bool wallRss = figure(wall, "peak_rss_mib") < kGoalWallRssMiB;
            std::printf("4K with the wall window %dx%d open (tiles decoded to %.0fx%.0f): 24 fetches/s %s, "
                        "CPU/fetch at most %.1fx the wall closed %s (%.2fx), lateness p99 < %.0f ms %s, "
                        "max < %.0f ms %s, peak RSS < %.0f MiB %s\n",
                        kWallWindow.width, kWallWindow.height, figure(wall, "tile_w"), figure(wall, "tile_h"),
                        wallFetched ? "met" : "MISSED", kGoalWallCpuRatio, wallCpu ? "met" : "MISSED",
                        wallRatio, kGoalP99Ms, wallP99 ? "met" : "MISSED", kGoalMaxMs,
                        wallWorst ? "met" : "MISSED", kGoalWallRssMiB, wallRss ? "met" : "MISSED");
            allMet = allMet && wallFetched && wallCpu && wallP99 && wallWorst && wallRss;

            const double stillCpu = figure(lines[3], "cpu_ms");
            const double changingShare = figure(lines[4], "cpu_ms") / figure(workers, "cpu_ms");
            const bool stillMet = stillCpu <= kGoalStillCpuMs;
            const bool changingMet = changingShare <= kGoalChangingCpuShare;
            std::printf(
                "4K pictures that never change: CPU/fetch at most %.1f ms %s (%.2f ms); each camera's "
                "picture changing every %d s: CPU/fetch at most %.0f%% of a new picture every fetch %s "
                "(%.1f%%)\n",
                kGoalStillCpuMs, stillMet ? "met" : "MISSED", stillCpu, kChangeEveryMs / 1000,
                kGoalChangingCpuShare * 100, changingMet ? "met" : "MISSED", changingShare * 100);
            allMet = allMet && stillMet && changingMet;
        } else if (size.width == 1920) {
            const bool worst = figure(workers, "late_max_ms") < kGoalMax1080Ms;
            std::printf("1080p goal: lateness max < %.0f ms %s\n", kGoalMax1080Ms, worst ? "met" : "MISSED");
            allMet = allMet && worst;
        }
    }

    QProcess run;
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(self,
              {QStringLiteral("--flood"), QString::fromLatin1(port), QString::fromLatin1(endlessPort),
               QString::number(seconds)});
    if (!run.waitForFinished(kRunTimeoutMs) || run.exitCode() != 0) {
        std::fprintf(stderr, "bench_wall: the flood run failed\n");
        return 1;
    }
    const QByteArray line = run.readAllStandardOutput();
    std::printf(
        "flood: %d endless replies (refresh %d s) beside %d good 640x480 cameras (refresh 1 s):\n"
        "  good fetches/s %.2f, received %.0f MiB/s, peak RSS %.1f MiB, late max %.1f ms, p99 %.1f ms\n",
        kEndlessCameras, kEndlessRefreshS, SlotPane::kSlotCount - kEndlessCameras,
        figure(line, "good_fetches_per_s"), figure(line, "received_mib_per_s"), figure(line, "peak_rss_mib"),
        figure(line, "late_max_ms"), figure(line, "late_p99_ms"));
    const bool floodRss = figure(line, "peak_rss_mib") < kGoalFloodRssMiB;
    const bool floodLate = figure(line, "late_max_ms") < kGoalFloodMaxMs;
    std::printf("flood goals: peak RSS < %.0f MiB %s, lateness max < %.0f ms %s\n", kGoalFloodRssMiB,
                floodRss ? "met" : "MISSED", kGoalFloodMaxMs, floodLate ? "met" : "MISSED");
    allMet = allMet && floodRss && floodLate;
    std::printf("wall goals: %s\n", allMet ? "all met" : "not all met");
    server.closeWriteChannel();
    if (!server.waitForFinished(kRunTimeoutMs))
        server.kill();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    mapLargeBlocksApart(); // as the program does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--serve") {
        QCoreApplication app(argc, argv);
        return serve();
    }
    if (mode == "--client") {
        QApplication app(argc, argv);
        return client(app.arguments().mid(2));
    }
    if (mode == "--flood") {
        QApplication app(argc, argv);
        return flood(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    const int seconds = mode.isEmpty() ? kDefaultSeconds : mode.toInt();
    return drive(seconds > 0 ? seconds : kDefaultSeconds);
}
