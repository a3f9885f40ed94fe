#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/largeblocks.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/fetchoutcome.h"
#include "slots/replybudget.h"
#include "slots/slotfetch.h"
#include "slots/slotpane.h"
#include "support/hostileserver.h"
#include "support/offscreenmain.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <array>
#include <climits>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

enum class Shown { Blank, Kept, New, NotFound, Other };

using Kind = FetchOutcome::Kind;
using Pace = HostileBehaviour::Pace;
using End = HostileBehaviour::End;

constexpr int kGoodCameras = 3; // in slots 0 to 2, refresh 1 s
constexpr int kMinRoundMs = 6000;
constexpr int kMaxRoundMs = 20000;
constexpr int kBombSide = 4000; // an RGBA PNG of 61 MiB, all zeros
constexpr qint64 kStalledBodyBytes = qint64(63) * 1024 * 1024; // the per-reply limit is 64 MiB
constexpr qint64 kMaxGoodGapMs = 3000; // refresh 1 s, generous for a loaded machine under sanitizers
constexpr qint64 kBudgetMiB = ReplyBudget::kDefaultBytes / (1024 * 1024);
constexpr qint64 kMemoryMarginMiB = 128; // the program itself, decoded pictures, socket buffers

// A literal with its NUL bytes.
template<std::size_t N>
QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

QString text(Kind kind, const QString &detail = {})
{
    return FetchOutcome{kind, detail}.text();
}

const QByteArray kGood = TestPictures::jpeg(64, 48, QColor(40, 120, 200));
const QByteArray kOther = TestPictures::jpeg(64, 48, QColor(200, 60, 40));

QByteArray pictureReply(const QByteArray &body, QList<QByteArray> lines = {},
                        const QByteArray &status = "HTTP/1.1 200 OK")
{
    lines.prepend("Content-Type: image/jpeg");
    return CamServer::httpReply(status, lines, body);
}

QByteArray withLength(qsizetype length)
{
    return "Content-Length: " + QByteArray::number(length);
}

QByteArray chunked(const QByteArray &sizeLineSuffix, const QByteArray &end)
{
    const qsizetype half = kOther.size() / 2;
    return QByteArray::number(half, 16) + sizeLineSuffix + "\r\n" + kOther.first(half) + "\r\n" +
        QByteArray::number(kOther.size() - half, 16) + "\r\n" + kOther.sliced(half) + "\r\n" + end;
}

quint32 crc32(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFF;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray chunk;
    QDataStream out(&chunk, QIODevice::WriteOnly);
    out << quint32(data.size());
    out.writeRawData(type.constData(), int(type.size()));
    out.writeRawData(data.constData(), int(data.size()));
    out << crc32(type + data);
    return chunk;
}

// Pictures whose headers declare sizes no camera sends.
QByteArray hugeJpeg()
{
    return QByteArray::fromHex("ffd8ffdb004300") + QByteArray(64, '\1') +
        QByteArray::fromHex("ffc0001108ffffffff03011100021100031100"
                            "ffda000c03010002000300003f00"
                            "0000000000ffd9");
}
QByteArray hugePng()
{
    return QByteArray::fromHex("89504e470d0a1a0a") +
        pngChunk("IHDR", QByteArray::fromHex("7fffffff7fffffff0802000000")) + pngChunk("IEND", {});
}
// A PNG that is small on the wire but large when decoded: side x side RGBA, all zeros.
QByteArray bombPng(int side)
{
    QByteArray header;
    QDataStream out(&header, QIODevice::WriteOnly);
    out << quint32(side) << quint32(side) << quint8(8) << quint8(6) << quint8(0) << quint8(0) << quint8(0);
    const QByteArray zlib = qCompress(QByteArray(qsizetype(side) * (1 + 4 * side), '\0'), 9).sliced(4);
    return QByteArray::fromHex("89504e470d0a1a0a") + pngChunk("IHDR", header) + pngChunk("IDAT", zlib) +
        pngChunk("IEND", {});
}
QByteArray hugeGif()
{
    return "GIF89a" + QByteArray::fromHex("ffffffff800000000000ffffff2c00000000010001000002024401003b");
}

struct Case
{
    const char *name;
    HostileBehaviour behaviour; // goodFirst is set to 1 for every case, "{path}" to the case's path
    Shown shown;
    QString outcome;
    QByteArray picture = kOther; // what a new picture shows
    int refresh = 1;
};

HostileBehaviour plain(const QByteArray &bytes, End end = End::Close)
{
    return {.bytes = bytes, .end = end};
}

// The cases, in rounds of at most 21 cameras beside the good ones.
const QList<QList<Case>> &rounds()
{
    static const QList<QList<Case>> all = [] {
        const QByteArray whole = pictureReply(kOther);
        const qsizetype headerSize = whole.size() - kOther.size();
        const QByteArray half = whole.first(headerSize + kOther.size() / 2);
        const QByteArray gif = TestPictures::gif(16, 12, Qt::green);
        const QString unreadable = text(Kind::PictureUnreadable);
        const QString received = text(Kind::PictureReceived);
        const QString noAnswer = text(Kind::NoAnswer, u"2"_s);

        QList<Case> connection{
            {"reset mid-body", plain(half, End::Reset), Shown::Kept, unreadable},
            {"closed at once", plain({}), Shown::NotFound, text(Kind::NotAPicture)},
            {"accepts, never answers", plain({}, End::KeepOpen), Shown::Kept, noAnswer, {}, 2},
            {"stalls mid-body", plain(half, End::KeepOpen), Shown::Kept, noAnswer, {}, 2},
            {"drips a byte at a time",
             {.bytes = pictureReply(gif), .pace = Pace::Drip},
             Shown::New,
             received,
             gif,
             3},
            {"drips slower than its period",
             {.bytes = pictureReply(TestPictures::jpeg(160, 120)), .pace = Pace::Drip},
             Shown::Kept,
             text(Kind::Unfinished),
             {},
             3},
            {"body never ends",
             {.bytes = whole.first(headerSize), .end = End::Stream, .filler = bytes("\xff\0")},
             Shown::Kept,
             text(Kind::ReplyTooLarge),
             {},
             5},
            {"header never ends",
             {.bytes = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n",
              .end = End::Stream,
              .filler = "X-Filler: " + QByteArray(54, 'f') + "\r\n"},
             Shown::Kept,
             text(Kind::HeaderTooLarge)},
            {"one header line of 1 MiB", plain(pictureReply(kOther, {"X-Huge: " + QByteArray(1 << 20, 'h')})),
             Shown::Kept, text(Kind::HeaderTooLarge)},
            {"redirects to itself",
             plain(CamServer::httpReply("HTTP/1.1 302 Found", {"Location: {path}"}, {})), Shown::Kept,
             text(Kind::TooManyRedirects)},
            {"HTTP/1.0 reply", plain(pictureReply(kOther, {}, "HTTP/1.0 200 OK")), Shown::New, received},
            {"line ends without CR", plain("HTTP/1.1 200 OK\nContent-Type: image/jpeg\n\n" + kOther),
             Shown::NotFound, text(Kind::NotAPicture)},
            {"404 with an image type", plain(pictureReply(kOther, {}, "HTTP/1.1 404 Not Found")), Shown::New,
             received},
            {"200 with a page",
             plain(CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html"}, "<p>cam</p>")),
             Shown::NotFound, text(Kind::NotAPicture, u"text/html"_s)},
            {"NUL and 8-bit bytes in header lines",
             plain(pictureReply(kOther, {bytes("X-Junk: a\0b\xff\xfe"), bytes("Last-Modified: Mon\0\xe9")})),
             Shown::New, received},
            {"NUL and 8-bit bytes in the reason",
             plain(CamServer::httpReply(bytes("HTTP/1.1 404 Nicht gef\xfcnden\0!"),
                                        {"Content-Type: text/html"}, "<p>weg</p>")),
             Shown::NotFound, text(Kind::ServerAnswered, u"404 Nicht gef\u00fcnden !"_s)},
        };

        const QByteArray chunkedHeader = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n"
                                         "Transfer-Encoding: chunked\r\n\r\n";
        const QByteArray declaredZero = pictureReply(kOther, {withLength(0)});
        const QByteArray declaredHalf = pictureReply(kOther, {withLength(kOther.size() / 2)});
        QList<Case> replies{
            {"Content-Length absent", plain(whole), Shown::New, received},
            {"Content-Length 0, then a body",
             {.bytes = declaredZero, .pace = Pace::Pause, .pauseAt = declaredZero.size() - kOther.size()},
             Shown::Kept,
             unreadable},
            {"Content-Length negative", plain(pictureReply(kOther, {"Content-Length: -5"})), Shown::New,
             received},
            {"Content-Length past 64 bits",
             plain(pictureReply(kOther, {"Content-Length: 123456789012345678901234567890"})), Shown::New,
             received},
            {"Content-Length the largest 64-bit number",
             plain(pictureReply(kOther, {"Content-Length: 9223372036854775807"})), Shown::Kept, unreadable},
            {"Content-Length twice, different",
             plain(pictureReply(kOther, {withLength(10), withLength(kOther.size())})), Shown::New, received},
            {"Content-Length smaller than the body",
             {.bytes = declaredHalf, .pace = Pace::Pause, .pauseAt = declaredHalf.size() - kOther.size() / 2},
             Shown::Kept,
             unreadable},
            {"Content-Length larger than the body",
             plain(pictureReply(kOther, {withLength(kOther.size() + 100)})), Shown::Kept, unreadable},
            {"chunks with extensions", plain(chunkedHeader + chunked(";name=value;flag", "0;last\r\n\r\n")),
             Shown::New, received},
            {"chunks with a trailer", plain(chunkedHeader + chunked({}, "0\r\nX-Checksum: 1\r\n\r\n")),
             Shown::New, received},
            {"chunk size not hex", plain(chunkedHeader + "zz\r\n" + kOther + "\r\n0\r\n\r\n"), Shown::Kept,
             unreadable},
            {"chunk size past 64 bits",
             plain(chunkedHeader + QByteArray(32, 'F') + "\r\n" + kOther + "\r\n0\r\n\r\n"), Shown::Kept,
             unreadable},
            {"chunk size past the body",
             plain(chunkedHeader + "FFFFFFFFFFFFFFF\r\n" + kOther + "\r\n0\r\n\r\n"), Shown::Kept,
             unreadable},
            {"page under an image type", plain(pictureReply("<html><body>cam</body></html>")), Shown::Kept,
             unreadable},
            {"truncated JPEG", plain(pictureReply(kOther.first(kOther.size() / 2))), Shown::Kept, unreadable},
            {"JPEG of 65535 x 65535", plain(pictureReply(hugeJpeg())), Shown::Kept, unreadable},
            {"PNG of 2^31-1 square", plain(pictureReply(hugePng())), Shown::Kept, unreadable},
            {"GIF screen of 65535 x 65535", plain(pictureReply(hugeGif())), Shown::Kept, unreadable},
        };
        return QList<QList<Case>>{connection, replies};
    }();
    return all;
}

// What a slot shows and says after a round.
struct Seen
{
    Shown shown = Shown::Blank;
    QString outcome;
};

// How the good cameras fared over a round.
struct GoodTimes
{
    qint64 roundMs = 0;
    int fewestReplies = 0;
    qint64 longestGapMs = 0;
    QStringList failures; // the good cameras' failed fetches
};

qint64 peakResidentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

} // namespace

// Misbehaving loopback cameras side by side with good ones in one pane: what each slot shows and
// says, whether the good cameras kept their pace, and the process's peak memory.
class TestHostileServers : public QObject
{
    Q_OBJECT

    QHash<QByteArray, Seen> m_seen; // by case name
    QHash<int, GoodTimes> m_goodTimes; // by round

    static Seen seen(const SlotPane &pane, int i, const QByteArray &newPicture)
    {
        static const QRegularExpression suffix(u" \\(failures in a row: \\d+\\)$"_s);
        const SlotPicture &picture = pane.picture(i);
        Seen s;
        if (picture.kind() == SlotPicture::Kind::NotFound)
            s.shown = Shown::NotFound;
        else if (picture.kind() == SlotPicture::Kind::Camera)
            s.shown = picture.bytes() == kGood  ? Shown::Kept
                : picture.bytes() == newPicture ? Shown::New
                                                : Shown::Other;
        const QString note = pane.slot(i)->fetchNote();
        s.outcome = note.mid(note.indexOf(u": "_s) + 2).remove(suffix);
        return s;
    }

    // Runs 3 good cameras and the hostile ones side by side until done(elapsed) says so, then lets
    // observe look at the slots before they stop. Returns how the good cameras fared.
    static GoodTimes runSideBySide(SlotPane &pane, HostileServer &hostile, const QList<QByteArray> &paths,
                                   const QList<int> &refresh, const std::function<bool(qint64)> &done,
                                   const std::function<void()> &observe)
    {
        HostileServer good(pictureReply(kGood));
        if (!good.listen() || !hostile.listen())
            return {};
        QElapsedTimer clock;
        std::array<QList<qint64>, kGoodCameras> handled;
        const QObject scope;
        QObject::connect(&pane, &SlotPane::replyHandled, &scope, [&](int i) {
            if (i < kGoodCameras)
                handled.at(std::size_t(i)) << clock.elapsed();
        });
        QStringList failures;
        for (int i = 0; i < kGoodCameras; ++i)
            QObject::connect(pane.slot(i)->fetch(), &SlotFetch::failed, &scope,
                             [&](const FetchOutcome &outcome) { failures << outcome.text(); });
        clock.start();
        for (int i = 0; i < kGoodCameras; ++i)
            pane.loadCam(qint16(i), u"Good %1"_s.arg(i), u"http://127.0.0.1:%1/good.jpg"_s.arg(good.port()),
                         u"1"_s);
        for (qsizetype k = 0; k < paths.size(); ++k)
            pane.loadCam(qint16(kGoodCameras + k), QString::fromLatin1(paths[k]),
                         u"http://127.0.0.1:%1"_s.arg(hostile.port()) + QString::fromLatin1(paths[k]),
                         QString::number(refresh[k]));
        while (!done(clock.elapsed()))
            QTest::qWait(50);
        GoodTimes times{clock.elapsed(), INT_MAX, 0, failures};
        for (QList<qint64> &at : handled) {
            times.fewestReplies = std::min(times.fewestReplies, int(at.size()));
            at.prepend(0);
            at.append(times.roundMs);
            for (qsizetype n = 1; n < at.size(); ++n)
                times.longestGapMs = std::max(times.longestGapMs, at[n] - at[n - 1]);
        }
        observe();
        pane.cmdStopAll_Click();
        return times;
    }

    void runRound(int round)
    {
        const QList<Case> &cases = rounds().at(round);
        SharedState state;
        SlotPane pane(state);
        HostileServer hostile(pictureReply(kGood));
        QList<QByteArray> paths;
        QList<int> refresh;
        for (const Case &c : cases) {
            paths << "/" + QByteArray::number(paths.size()) + ".jpg";
            HostileBehaviour behaviour = c.behaviour;
            behaviour.goodFirst = 1;
            behaviour.bytes.replace("{path}", paths.last());
            hostile.setBehaviour(paths.last(), behaviour);
            refresh << c.refresh;
        }
        const auto settled = [&] {
            for (qsizetype k = 0; k < cases.size(); ++k) {
                const Seen s = seen(pane, kGoodCameras + int(k), cases[k].picture);
                if (hostile.requestCount(paths[k]) < 2 || s.shown != cases[k].shown ||
                    s.outcome != cases[k].outcome)
                    return false;
            }
            return true;
        };
        m_goodTimes[round] = runSideBySide(
            pane, hostile, paths, refresh,
            [&](qint64 elapsed) { return elapsed >= kMaxRoundMs || (elapsed >= kMinRoundMs && settled()); },
            [&] {
                for (qsizetype k = 0; k < cases.size(); ++k)
                    m_seen[cases[k].name] = seen(pane, kGoodCameras + int(k), cases[k].picture);
            });
    }

    static void verifyGoodTimes(const GoodTimes &times)
    {
        qInfo("round of %lld ms: fewest good replies %d, longest gap %lld ms", times.roundMs,
              times.fewestReplies, times.longestGapMs);
        QVERIFY(times.fewestReplies >= times.roundMs / 2000);
        QVERIFY(times.longestGapMs <= kMaxGoodGapMs);
        QCOMPARE(times.failures, QStringList());
    }

private slots:
    // The picture readers' complaints about the enormous pictures are expected.
    void initTestCase() { QLoggingCategory::setFilterRules(u"qt.gui.imageio*=false"_s); }

    // 21 cameras at once beside 3 good ones, at a 3 s refresh: their replies never end, or stop
    // just short of the per-reply limit and stall. The peak memory is reset before each row.
    void greedyCameras_data()
    {
        QTest::addColumn<HostileBehaviour>("behaviour");
        QTest::addColumn<int>("refresh");
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<QByteArray>("picture"); // what a new picture shows
        QTest::addColumn<QStringList>("outcomes"); // any of them, per camera
        QTest::addColumn<QString>("seenOnce"); // the outcome of one camera at least
        const HostileBehaviour endless{
            .bytes = pictureReply({}), .end = End::Stream, .filler = bytes("\xff\0\1\2"), .goodFirst = 1};
        HostileBehaviour stalled = endless;
        stalled.streamBytes = kStalledBodyBytes;
        // A fetch still receiving when the next one starts is unfinished.
        const QString received = text(Kind::PictureReceived);
        const QString overBudget = text(Kind::OverBudget);
        const QString unfinished = text(Kind::Unfinished);
        QTest::newRow("endless") << endless << 3 << Shown::Kept << QByteArray()
                                 << QStringList{text(Kind::ReplyTooLarge), overBudget, unfinished}
                                 << overBudget;
        QTest::newRow("stalled short of the limit")
            << stalled << 5 << Shown::Kept << QByteArray()
            << QStringList{overBudget, text(Kind::NoAnswer, u"5"_s), unfinished} << overBudget;
        // Each takes longer to decode than the period, and together they keep the workers busy.
        const QByteArray bomb = bombPng(kBombSide);
        QTest::newRow("pictures of 61 MiB in 62 KiB")
            << HostileBehaviour{.bytes = pictureReply(bomb), .goodFirst = 1} << 1 << Shown::New << bomb
            << QStringList{received} << received;
    }
    void greedyCameras()
    {
        QFETCH(HostileBehaviour, behaviour);
        QFETCH(int, refresh);
        QFETCH(Shown, shown);
        QFETCH(QByteArray, picture);
        QFETCH(QStringList, outcomes);
        QFETCH(QString, seenOnce);
        QFile peakReset(u"/proc/self/clear_refs"_s);
        QVERIFY(peakReset.open(QIODevice::WriteOnly) && peakReset.write("5") == 1);
        peakReset.close();
        const qint64 before = peakResidentKiB();
        SharedState state;
        SlotPane pane(state);
        HostileServer hostile(pictureReply(kGood));
        QList<QByteArray> paths;
        for (int k = 0; k < SlotPane::kSlotCount - kGoodCameras; ++k) {
            paths << "/greedy" + QByteArray::number(k) + ".jpg";
            hostile.setBehaviour(paths.last(), behaviour);
        }
        QList<int> otherShown;
        QStringList otherOutcomes; // slot: outcome
        QMap<QString, int> tally; // cameras by outcome
        const auto look = [&] {
            otherShown.clear();
            otherOutcomes.clear();
            tally.clear();
            for (int i = kGoodCameras; i < SlotPane::kSlotCount; ++i) {
                const Seen s = seen(pane, i, picture);
                ++tally[s.outcome];
                if (s.shown != shown)
                    otherShown << i;
                if (!outcomes.contains(s.outcome))
                    otherOutcomes << u"%1: %2"_s.arg(i).arg(s.outcome);
            }
            return otherShown.isEmpty() && otherOutcomes.isEmpty() && tally.contains(seenOnce);
        };
        const GoodTimes times = runSideBySide(
            pane, hostile, paths, QList<int>(paths.size(), refresh),
            [&](qint64 elapsed) {
                // Two periods: every camera has misbehaved at least once.
                return elapsed >= kMaxRoundMs ||
                    (elapsed >= std::max(kMinRoundMs, 2000 * refresh + 1000) && look());
            },
            look);
        const qint64 peak = peakResidentKiB();
        qInfo("peak resident memory: %lld MiB at the start, %lld MiB over the round", before / 1024,
              peak / 1024);
        for (auto it = tally.cbegin(); it != tally.cend(); ++it)
            qInfo("%d cameras: %s", it.value(), qPrintable(it.key()));
        QCOMPARE(otherShown, QList<int>());
        QVERIFY2(otherOutcomes.isEmpty(), qPrintable(otherOutcomes.join(u"; "_s)));
        QVERIFY(tally.contains(seenOnce));
        verifyGoodTimes(times);
#ifdef __SANITIZE_ADDRESS__
        qInfo("memory not checked: the sanitizer's own bookkeeping is in the figure");
#else
        QVERIFY2(peak < (kBudgetMiB + kMemoryMarginMiB) * 1024, qPrintable(u"%1 MiB"_s.arg(peak / 1024)));
#endif
    }

    void misbehaving_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<Shown>("shown");
        QTest::addColumn<QString>("outcome");
        for (int round = 0; round < rounds().size(); ++round) {
            for (const Case &c : rounds().at(round))
                QTest::newRow(c.name) << round << QByteArray(c.name) << c.shown << c.outcome;
        }
    }
    void misbehaving()
    {
        QFETCH(int, round);
        QFETCH(QByteArray, name);
        QFETCH(Shown, shown);
        QFETCH(QString, outcome);
        if (!m_goodTimes.contains(round))
            runRound(round);
        QCOMPARE(m_seen.value(name).shown, shown);
        QCOMPARE(m_seen.value(name).outcome, outcome);
    }

    void goodCamerasKeptTheirPace_data()
    {
        QTest::addColumn<int>("round");
        for (int round = 0; round < rounds().size(); ++round)
            QTest::addRow("round %d", round) << round;
    }
    void goodCamerasKeptTheirPace()
    {
        QFETCH(int, round);
        if (!m_goodTimes.contains(round))
            runRound(round);
        verifyGoodTimes(m_goodTimes.value(round));
    }
};

VANTORA_WIDGET_TEST_MAIN_PREPARED(TestHostileServers, mapLargeBlocksApart) // as the program does
#include "tst_hostileservers.moc"
