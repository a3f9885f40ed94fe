// The detail view under a big, busy camera: a 3840x2160 camera refreshing every second, shown in
// the detail view, with automatic saving on (every reply is a changed picture). Measures the
// longest stretch the window's thread spends on one event (the longest freeze the user can see)
// and the saves completed per second, with the picture work (the slot's decode, the view's full
// decode, the save's encode) on the workers and done inline.
#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/pictureworkers.h"
#include "common/programfolder.h"
#include "shell/mainwindow.h"
#include "slots/slotpane.h"
#include "timedapplication.h"
#include "views/detailview.h"
#include "views/freespace.h"
#include "views/picturejobqueue.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kJpegQuality = 85;
constexpr int kWarmUpMs = 3000;
constexpr int kMeasureMs = 15000;
constexpr double kGoalMs = 20;
constexpr int kSlot = 0;

int countSaves(const QString &cam)
{
    return static_cast<int>(QDir(cam).entryList({QStringLiteral("*.jpg")}, QDir::Files).size());
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true); // the user's own settings stay untouched
    TimedApplication app(argc, argv);
    app.countThreadCpu = true;
    ReadAppIdentity();
    QTemporaryDir folder;
    SetProgramFolder(folder.path());
    const QString cam = folder.filePath(QStringLiteral("cam"));
    if (const auto free = freeBytes(folder.path()); free && *free < kAutoSaveMinFreeBytes)
        std::fprintf(stderr, "bench_detail: too little free space for auto-save, which pauses: no saves\n");

    CamServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "bench_detail: cannot listen on 127.0.0.1\n");
        return 1;
    }
    const QByteArray jpeg = TestPictures::jpeg(kWidth, kHeight, QColor(40, 120, 200), kJpegQuality);
    int served = 0;
    server.setHandler("/big.jpg", [&jpeg, &served](const QByteArray &) {
        CamReply reply;
        // A new picture every reply (other bytes of it), decoded and saved.
        ++served;
        reply.bytes = CamServer::httpReply("HTTP/1.1 200 OK",
                                           {"Content-Type: image/jpeg",
                                            "Last-Modified: reply " + QByteArray::number(served),
                                            "Content-Length: " + QByteArray::number(jpeg.size())},
                                           TestPictures::variant(jpeg, served));
        return reply;
    });
    const QByteArray address = "127.0.0.1:" + QByteArray::number(server.port()) + "/big.jpg";
    if (!AppendCamEntry({"Bench", address, "1"})) {
        std::fprintf(stderr, "bench_detail: cannot write the camera list\n");
        return 1;
    }

    std::printf("bench_detail: a %dx%d camera (JPEG %lld bytes) refreshing every second in the detail view,\n"
                "auto-save on; %d s measured after %d s warm-up per variant\n",
                kWidth, kHeight, static_cast<long long>(jpeg.size()), kMeasureMs / 1000, kWarmUpMs / 1000);
    std::printf("%-8s %8s %8s %26s %12s\n", "work", "replies", "saves/s", "longest thread stretch (cpu)",
                "thread busy");
    std::fflush(stdout);

    bool goalMet = true;
    for (const bool inlineWork : {false, true}) {
        QDir(cam).removeRecursively();
        QDir().mkpath(cam);
        auto window = std::make_unique<MainWindow>();
        // The detail slot's ticks query the clock: it asks a closed loopback port, never the Internet.
        window->findChild<InternetClock *>()->setServer(QStringLiteral("127.0.0.1"), 1);
        window->resize(1600, 1000);
        window->show();
        window->findChild<QCheckBox *>(QStringLiteral("chkSave"))->setChecked(true);
        window->detailView()->pictureJobs()->setRunInline(inlineWork);
        window->frmCams->setInlineDecoding(inlineWork);
        int replies = 0;
        QObject::connect(window->frmCams, &SlotPane::replyHandled, window.get(), [&replies](int Index) {
            if (Index == kSlot)
                ++replies;
        });
        window->listCommands()->OpenCam("Bench");
        window->detailView()->imgCam_Click(kSlot);

        runFor(kWarmUpMs);
        const int savesBefore = countSaves(cam);
        const int repliesBefore = replies;
        app.resetFigures();
        QElapsedTimer wall;
        wall.start();
        runFor(kMeasureMs);
        const double seconds = wall.nsecsElapsed() / 1e9;
        const double longestMs = app.longestNs / 1e6;
        const double longestCpuMs = app.longestCpuNs / 1e6;
        const double busy = app.busyNs / 1e9 / seconds;
        const int saves = countSaves(cam) - savesBefore;

        window->frmCams->cmdStop_Click(kSlot);
        waitForPictureWork();
        window.reset();

        if (!inlineWork)
            goalMet = longestMs < kGoalMs;
        std::printf("%-8s %8d %8.2f %14.1f ms (%5.1f ms) %11.0f%%\n", inlineWork ? "inline" : "workers",
                    replies - repliesBefore, saves / seconds, longestMs, longestCpuMs, busy * 100);
        std::fflush(stdout);
    }
    std::printf("goal: longest stretch with the workers under %.0f ms: %s\n", kGoalMs,
                goalMet ? "met" : "not met");

    return 0;
}
