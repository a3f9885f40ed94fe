// Fetch cycle cost of a camera slot against the bare minimum: the same reply read by a plain
// socket until the server closes, then decoded. Both run against a picture server in this
// process on 127.0.0.1, interleaved, after a warm-up. Prints medians and the slot/baseline ratio.
// Every reply brings other bytes of the same picture, so the slot decodes each one. Then a picture
// stream's fetch (its first part, 1080p) against the slot's plain 1080p fetch.
#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/sharedstate.h"
#include "cputime.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {
constexpr double kGoalRatio = 1.15;
constexpr int kJpegQuality = 85;
constexpr int kWarmUpRounds = 3;
constexpr int kCycleTimeoutMs = 20000;
constexpr qint16 kSlot = 0;
constexpr int kStreamRounds = 60;
constexpr int kStreamWidth = 1920;
constexpr int kStreamHeight = 1080;

struct SizeCase
{
    int width;
    int height;
    int maxRounds; // measured rounds of each variant
    qint64 budgetMs; // the case stops early when its rounds take longer than this
};

const SizeCase kCases[] = {
    {640, 480, 300, 8000},
    {1920, 1080, 120, 12000},
    {3840, 2160, 60, 20000},
};

struct Cost
{
    double wallMs = 0;
    double cpuMs = 0;
};

// Measures one cycle: `start` begins it, the cycle ends when `done` has been called.
template<typename Start>
Cost measure(Start start)
{
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&loop] {
        std::fprintf(stderr, "bench_fetch: a fetch cycle did not finish\n");
        loop.exit(1);
    });
    QElapsedTimer wall;
    const double cpu0 = processCpuMs();
    wall.start();
    start([&loop] { loop.quit(); });
    guard.start(kCycleTimeoutMs);
    if (loop.exec() != 0)
        std::exit(1);
    Cost cost;
    cost.wallMs = wall.nsecsElapsed() / 1e6;
    cost.cpuMs = processCpuMs() - cpu0;
    return cost;
}

// The slot's cycle: the fetch start through reply handling, exactly as a refresh runs it.
Cost slotCycle(SlotPane &pane)
{
    QMetaObject::Connection handled;
    const Cost cost = measure([&](auto done) {
        handled = QObject::connect(&pane, &SlotPane::replyHandled, &pane, [&pane, done](int) {
            // The cycle ends with the picture on the screen: run the repaint the reply asked for.
            QCoreApplication::sendPostedEvents(pane.window(), QEvent::UpdateRequest);
            done();
        });
        pane.cmdStart_Click(kSlot);
    });
    QObject::disconnect(handled);
    return cost;
}

// The baseline: connect, send the same request, read until close, split off the header, decode.
Cost baselineCycle(quint16 port, const QByteArray &request, const QSize &expected)
{
    QTcpSocket socket;
    QByteArray reply;
    QImage image;
    const Cost cost = measure([&](auto done) {
        QObject::connect(&socket, &QTcpSocket::connected, &socket, [&] { socket.write(request); });
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { reply += socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [&, done] {
            reply += socket.readAll();
            const qsizetype end = reply.indexOf("\r\n\r\n");
            if (end >= 0)
                image.loadFromData(QByteArrayView(reply).sliced(end + 4));
            done();
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    });
    if (image.size() != expected) {
        std::fprintf(stderr, "bench_fetch: the baseline decoded no %dx%d picture\n", expected.width(),
                     expected.height());
        std::exit(1);
    }
    return cost;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A picture stream's first part against the plain reply of the same picture, both through the slot
// (the stream's part ends the fetch); each reply other bytes of the picture, so both decode.
bool streamFetch(CamServer &server, SlotPane &pane)
{
    const QByteArray jpeg =
        TestPictures::jpeg(kStreamWidth, kStreamHeight, QColor(40, 120, 200), kJpegQuality);
    const QByteArray plainPath = "/plain1080.jpg";
    const QByteArray streamPath = "/stream1080.mjpg";
    // One count for both: no reply brings the bytes of the one before.
    auto served = std::make_shared<int>(0);
    server.setHandler(plainPath, [&jpeg, served](const QByteArray &) {
        CamReply reply;
        reply.bytes = CamServer::httpReply(
            "HTTP/1.1 200 OK",
            {"Content-Type: image/jpeg", "Content-Length: " + QByteArray::number(jpeg.size())},
            TestPictures::variant(jpeg, ++*served));
        return reply;
    });
    const auto part = [&jpeg](int n) {
        return "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " + QByteArray::number(jpeg.size()) +
            "\r\n\r\n" + TestPictures::variant(jpeg, n) + "\r\n";
    };
    server.setHandler(streamPath, [part, served](const QByteArray &) {
        CamReply reply;
        const int n = ++*served;
        reply.bytes =
            "HTTP/1.1 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n\r\n" + part(n);
        reply.next = [part, n] { return part(n); }; // the slot has gone by then
        return reply;
    });
    CameraSlot *slot = pane.slot(kSlot);
    const QString host = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    const auto cycle = [&](const QByteArray &path) {
        slot->setCamera(slot->name(), host + QString::fromLatin1(path), slot->refreshText());
        return slotCycle(pane);
    };
    for (int i = 0; i < kWarmUpRounds; ++i) {
        cycle(plainPath);
        cycle(streamPath);
    }
    std::vector<double> plainCpu, streamCpu;
    const quint64 decodes = SlotPicture::decodeCount();
    for (int round = 0; round < kStreamRounds; ++round) {
        for (const bool streamFirst : {round % 2 == 0, round % 2 != 0}) {
            if (streamFirst)
                streamCpu.push_back(cycle(streamPath).cpuMs);
            else
                plainCpu.push_back(cycle(plainPath).cpuMs);
        }
        if (slot->picture().naturalSize() != QSize(kStreamWidth, kStreamHeight) ||
            slot->failuresInRow() > 0) {
            std::fprintf(stderr, "bench_fetch: the stream's picture was not shown\n");
            return false;
        }
    }
    if (SlotPicture::decodeCount() - decodes != quint64(2) * kStreamRounds) {
        std::fprintf(stderr, "bench_fetch: not every reply was decoded\n");
        return false;
    }
    const double sc = median(streamCpu), pc = median(plainCpu);
    std::printf("picture stream, first part of %dx%d: %d rounds, cpu %.2fms against %.2fms plain, ratio %.2f "
                "(goal <= %.2f): %s\n",
                kStreamWidth, kStreamHeight, kStreamRounds, sc, pc, sc / pc, kGoalRatio,
                sc / pc <= kGoalRatio ? "met" : "not met");
    std::fflush(stdout);
    return true;
}

const char *verdict(double ratio)
{
    return ratio <= kGoalRatio ? "ok" : "ABOVE GOAL";
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    CamServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "bench_fetch: cannot listen on 127.0.0.1\n");
        return 1;
    }
    const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());

    SharedState state;
    SlotPane pane(state);
    // Like the baseline, the cycle decodes on this thread: the figure is the fetch's own cost, not
    // the hand-over to the picture workers (bench_wall measures that).
    pane.setInlineDecoding(true);
    pane.resize(400, 600);
    pane.show();
    CameraSlot *slot = pane.slot(kSlot);
    // No timer-driven refresh during the run.
    slot->setCamera(QStringLiteral("Bench"), QString(), QStringLiteral("999"));
    slot->show();

    std::printf("bench_fetch: complete fetch cycles against 127.0.0.1, JPEG quality %d, medians per frame\n",
                kJpegQuality);
    std::printf("%-10s %9s %6s | %10s %10s %6s | %10s %10s %6s\n", "size", "bytes", "rounds", "slot wall",
                "base wall", "ratio", "slot cpu", "base cpu", "ratio");
    std::fflush(stdout);

    bool allOk = true;
    for (const SizeCase &c : kCases) {
        const QByteArray path = "/bench" + QByteArray::number(c.width) + ".jpg";
        const QByteArray jpeg = TestPictures::jpeg(c.width, c.height, QColor(40, 120, 200), kJpegQuality);
        const QByteArray date = CamServer::httpDate(QDateTime::currentDateTimeUtc());
        const auto replyFor = [&jpeg, date](int n) {
            CamReply reply;
            reply.bytes = CamServer::httpReply("HTTP/1.1 200 OK",
                                               {"Last-Modified: " + date, "Content-Type: image/jpeg",
                                                "Content-Length: " + QByteArray::number(jpeg.size()),
                                                "Connection: close"},
                                               TestPictures::variant(jpeg, n));
            return reply;
        };
        const CamReply reply = replyFor(0);
        server.setHandler(path,
                          [replyFor, served = 0](const QByteArray &) mutable { return replyFor(++served); });
        const QByteArray request =
            "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\nAccept: */*\r\n\r\n";
        slot->setCamera(slot->name(), QString::fromLatin1(host + path), slot->refreshText());
        const QSize size(c.width, c.height);

        for (int i = 0; i < kWarmUpRounds; ++i) {
            slotCycle(pane);
            baselineCycle(server.port(), request, size);
        }

        std::vector<double> slotWall, baseWall, slotCpu, baseCpu;
        QElapsedTimer budget;
        budget.start();
        for (int round = 0; round < c.maxRounds && (round < 5 || budget.elapsed() < c.budgetMs); ++round) {
            // Alternate which variant goes first, so neither always runs on a warmer cache.
            Cost s, b;
            if (round % 2 == 0) {
                s = slotCycle(pane);
                b = baselineCycle(server.port(), request, size);
            } else {
                b = baselineCycle(server.port(), request, size);
                s = slotCycle(pane);
            }
            slotWall.push_back(s.wallMs);
            slotCpu.push_back(s.cpuMs);
            baseWall.push_back(b.wallMs);
            baseCpu.push_back(b.cpuMs);
        }
        if (slot->picture().kind() != SlotPicture::Kind::Camera) {
            std::fprintf(stderr, "bench_fetch: the slot shows no camera picture\n");
            return 1;
        }

        const double sw = median(slotWall), bw = median(baseWall);
        const double sc = median(slotCpu), bc = median(baseCpu);
        const double wallRatio = sw / bw, cpuRatio = sc / bc;
        allOk = allOk && wallRatio <= kGoalRatio && cpuRatio <= kGoalRatio;
        std::printf("%-10s %9lld %6zu | %8.2fms %8.2fms %6.2f | %8.2fms %8.2fms %6.2f  %s\n",
                    QStringLiteral("%1x%2").arg(c.width).arg(c.height).toLatin1().constData(),
                    static_cast<long long>(reply.bytes.size()), slotWall.size(), sw, bw, wallRatio, sc, bc,
                    cpuRatio, verdict(std::max(wallRatio, cpuRatio)));
        std::fflush(stdout);
    }
    std::printf("goal: slot/baseline <= %.2f at every size (wall and CPU): %s\n", kGoalRatio,
                allOk ? "met" : "not met");
    std::fflush(stdout);
    return streamFetch(server, pane) ? 0 : 1;
}
