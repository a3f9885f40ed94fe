#include "timelapse/letterbox.h"
#include "timelapse/timelapsewriter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <atomic>
#include <memory>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// What a written video holds, read back through the demuxer and decoder.
struct VideoFacts
{
    bool opened = false;
    int frames = 0;
    QSize size;
    int codec = AV_CODEC_ID_NONE;
    double seconds = 0; // the stream's duration
    QList<QSize> frameSizes;
    QList<int> lumaAt; // per frame: Y at the top left corner, then Y at the centre
    QList<int> centreGray; // per frame: the gray level at the centre, as a player shows it
};

// The gray level of the frame's centre pixel in RGB, by the range the stream declares.
int centreGrayOf(const AVFrame &frame)
{
    const bool full = frame.color_range == AVCOL_RANGE_JPEG || frame.format == AV_PIX_FMT_YUVJ420P;
    const AVPixelFormat format =
        frame.format == AV_PIX_FMT_YUVJ420P ? AV_PIX_FMT_YUV420P : static_cast<AVPixelFormat>(frame.format);
    SwsContext *sws = sws_getContext(frame.width, frame.height, format, frame.width, frame.height,
                                     AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    const int *coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
    sws_setColorspaceDetails(sws, coefficients, full ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);
    QImage rgb(frame.width, frame.height, QImage::Format_RGB32);
    uint8_t *target[1] = {rgb.bits()};
    const int stride[1] = {static_cast<int>(rgb.bytesPerLine())};
    sws_scale(sws, frame.data, frame.linesize, 0, frame.height, target, stride);
    sws_freeContext(sws);
    return qGray(rgb.pixel(frame.width / 2, frame.height / 2));
}

VideoFacts readVideo(const QString &path)
{
    VideoFacts facts;
    AVFormatContext *format = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (avformat_open_input(&format, file.constData(), nullptr, nullptr) < 0)
        return facts;
    const std::unique_ptr<AVFormatContext *, void (*)(AVFormatContext **)> closeFormat(&format,
                                                                                       avformat_close_input);
    if (avformat_find_stream_info(format, nullptr) < 0)
        return facts;
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0)
        return facts;
    AVStream *stream = format->streams[index];
    const AVCodec *decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext *codec = avcodec_alloc_context3(decoder);
    const std::unique_ptr<AVCodecContext *, void (*)(AVCodecContext **)> freeCodec(&codec,
                                                                                   avcodec_free_context);
    avcodec_parameters_to_context(codec, stream->codecpar);
    if (avcodec_open2(codec, decoder, nullptr) < 0)
        return facts;
    facts.opened = true;
    facts.size = QSize(stream->codecpar->width, stream->codecpar->height);
    facts.codec = stream->codecpar->codec_id;
    facts.seconds = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    const auto receive = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            ++facts.frames;
            facts.frameSizes.append(QSize(frame->width, frame->height));
            facts.lumaAt.append(frame->data[0][0]);
            facts.lumaAt.append(frame->data[0][(frame->height / 2) * frame->linesize[0] + frame->width / 2]);
            facts.centreGray.append(centreGrayOf(*frame));
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(codec, packet) == 0)
            receive();
        av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    receive();
    av_frame_free(&frame);
    av_packet_free(&packet);
    return facts;
}

QString writePicture(const QString &folder, const QString &name, const QSize &size, Qt::GlobalColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = folder + QLatin1Char('/') + name;
    if (!image.save(path, "JPEG", 90))
        return {};
    return path;
}

QString writeDamaged(const QString &folder, const QString &name)
{
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QByteArray("\xff\xd8\xff\xe0 not really a picture", 26));
    return path;
}

// A small JPEG whose header declares 30000 x 30000 pixels.
QString writeEnormous(const QString &folder, const QString &name)
{
    const QString path = writePicture(folder, name, QSize(64, 48), Qt::gray);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return {};
    QByteArray bytes = file.readAll();
    const qsizetype sof = bytes.indexOf(QByteArray("\xff\xc0", 2));
    if (sof < 0)
        return {};
    constexpr char kSize[] = {0x75, 0x30}; // 30000
    bytes.replace(sof + 5, 2, kSize, 2); // height
    bytes.replace(sof + 7, 2, kSize, 2); // width
    file.seek(0);
    file.write(bytes);
    return path;
}

TimeLapseJob jobFor(const QString &folder, const QStringList &pictures, int fps = 25)
{
    TimeLapseJob job;
    job.pictures = pictures;
    job.folder = folder;
    job.fileName = [](int n) {
        return n == 1 ? QStringLiteral("Cam.mp4") : QStringLiteral("Cam (%1).mp4").arg(n);
    };
    job.framesPerSecond = fps;
    return job;
}

// Every entry of the folder that is not one of the pictures, hidden ones included.
QStringList leftovers(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeIf([](const QString &name) { return name.endsWith(QLatin1String(".jpg")); });
    return names;
}

constexpr int kDark = 40; // Y of a black border is 16
constexpr int kBright = 200; // Y of white is 235

} // namespace

class TestTimeLapseWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { umask(022); } // before the first video reads it
    void writesEveryPictureAtItsRate_data();
    void writesEveryPictureAtItsRate();
    void mixedSizesAreLetterboxedIntoTheFirst();
    void letterboxPlacesCentred_data();
    void letterboxPlacesCentred();
    void coloursSurviveEveryPath_data();
    void coloursSurviveEveryPath();
    void unreadablePicturesAreLeftOut();
    void enormousDeclaredSizeStaysBounded();
    void nothingReadableWritesNothing();
    void cancelHalfwayLeavesNothing();
    void neverReplacesAFile();
};

void TestTimeLapseWriter::writesEveryPictureAtItsRate_data()
{
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("fps");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<int>("codec");
    QTest::addColumn<QSize>("videoSize");
    QTest::addColumn<int>("expectedCodec");

    const int h264 = static_cast<int>(VideoCodec::H264);
    const int mpeg4 = static_cast<int>(VideoCodec::Mpeg4Part2);
    const bool haveH264 = avcodec_find_encoder_by_name("libx264") != nullptr ||
        avcodec_find_encoder_by_name("libopenh264") != nullptr;
    const int h264Id = haveH264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_MPEG4;
    QTest::newRow("H.264, 25 per second") << 30 << 25 << QSize(320, 240) << h264 << QSize(320, 240) << h264Id;
    QTest::newRow("H.264, 1 per second") << 3 << 1 << QSize(160, 120) << h264 << QSize(160, 120) << h264Id;
    QTest::newRow("one picture") << 1 << 25 << QSize(160, 120) << h264 << QSize(160, 120) << h264Id;
    QTest::newRow("MPEG-4 Part 2, 10 per second")
        << 12 << 10 << QSize(320, 240) << mpeg4 << QSize(320, 240) << static_cast<int>(AV_CODEC_ID_MPEG4);
    QTest::newRow("odd size rounded down to even")
        << 5 << 25 << QSize(321, 241) << h264 << QSize(320, 240) << h264Id;
}

void TestTimeLapseWriter::writesEveryPictureAtItsRate()
{
    QFETCH(int, pictures);
    QFETCH(int, fps);
    QFETCH(QSize, pictureSize);
    QFETCH(int, codec);
    QFETCH(QSize, videoSize);
    QFETCH(int, expectedCodec);
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < pictures; ++i)
        paths << writePicture(dir.path(), QStringLiteral("p%1.jpg").arg(i), pictureSize, Qt::gray);
    TimeLapseJob job = jobFor(dir.path(), paths, fps);
    job.codec = static_cast<VideoCodec>(codec);
    int lastDone = 0;
    int lastTotal = 0;
    const std::atomic<bool> cancel{false};
    const TimeLapseResult result = writeTimeLapse(job, cancel, [&](int done, int total) {
        lastDone = done;
        lastTotal = total;
    });
    QVERIFY2(result.written, qPrintable(result.error));
    QCOMPARE(result.path, dir.filePath(QStringLiteral("Cam.mp4")));
    QCOMPARE(result.frames, pictures);
    QCOMPARE(lastDone, pictures);
    QCOMPARE(lastTotal, pictures);
    const VideoFacts facts = readVideo(result.path);
    QVERIFY(facts.opened);
    QCOMPARE(facts.frames, pictures);
    QCOMPARE(facts.size, videoSize);
    QCOMPARE(facts.codec, expectedCodec);
    QVERIFY2(qAbs(facts.seconds - static_cast<double>(pictures) / fps) < 1.0 / fps + 1e-6,
             qPrintable(QString::number(facts.seconds)));
    QCOMPARE(leftovers(dir.path()), QStringList{QStringLiteral("Cam.mp4")});
    // Readable as any file the user makes, not only by its owner as the temporary file was.
    QCOMPARE(QFile(result.path).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::ReadOther);
}

void TestTimeLapseWriter::mixedSizesAreLetterboxedIntoTheFirst()
{
    QTemporaryDir dir;
    const QStringList paths = {
        writePicture(dir.path(), QStringLiteral("a.jpg"), QSize(640, 360), Qt::white),
        writePicture(dir.path(), QStringLiteral("b.jpg"), QSize(300, 300), Qt::white), // pillarbox
        writePicture(dir.path(), QStringLiteral("c.jpg"), QSize(1280, 720), Qt::white), // same shape
        writePicture(dir.path(), QStringLiteral("d.jpg"), QSize(1000, 200), Qt::white), // letterbox
    };
    const std::atomic<bool> cancel{false};
    const TimeLapseResult result = writeTimeLapse(jobFor(dir.path(), paths), cancel, {});
    QVERIFY2(result.written, qPrintable(result.error));
    const VideoFacts facts = readVideo(result.path);
    QCOMPARE(facts.frames, 4);
    for (const QSize &size : facts.frameSizes)
        QCOMPARE(size, QSize(640, 360));
    // Corner then centre of each frame: the square and the wide picture leave black borders.
    QVERIFY(facts.lumaAt.at(0) > kBright);
    QVERIFY(facts.lumaAt.at(1) > kBright);
    QVERIFY(facts.lumaAt.at(2) < kDark);
    QVERIFY(facts.lumaAt.at(3) > kBright);
    QVERIFY(facts.lumaAt.at(4) > kBright);
    QVERIFY(facts.lumaAt.at(5) > kBright);
    QVERIFY(facts.lumaAt.at(6) < kDark);
    QVERIFY(facts.lumaAt.at(7) > kBright);
}

void TestTimeLapseWriter::letterboxPlacesCentred_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("place");
    QTest::newRow("same size") << QSize(640, 360) << QSize(640, 360) << QRect(0, 0, 640, 360);
    QTest::newRow("larger, same shape") << QSize(1920, 1080) << QSize(640, 360) << QRect(0, 0, 640, 360);
    QTest::newRow("square in wide") << QSize(300, 300) << QSize(640, 360) << QRect(140, 0, 360, 360);
    QTest::newRow("wide in wide") << QSize(1000, 200) << QSize(640, 360) << QRect(0, 116, 640, 128);
    QTest::newRow("a sliver stays visible") << QSize(10000, 1) << QSize(640, 360) << QRect(0, 179, 640, 1);
    QTest::newRow("empty picture") << QSize() << QSize(640, 360) << QRect();
}

void TestTimeLapseWriter::letterboxPlacesCentred()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, frame);
    QFETCH(QRect, place);
    QCOMPARE(letterboxRect(picture, frame), place);
}

void TestTimeLapseWriter::coloursSurviveEveryPath_data()
{
    QTest::addColumn<int>("codec");
    QTest::newRow("H.264, full range") << static_cast<int>(VideoCodec::H264);
    QTest::newRow("MPEG-4 Part 2, limited range") << static_cast<int>(VideoCodec::Mpeg4Part2);
}

void TestTimeLapseWriter::coloursSurviveEveryPath()
{
    QFETCH(int, codec);
    // Each way a picture becomes a frame: a JPEG of the video's size as decoded, one scaled, a
    // gray-only JPEG, and a picture that is no JPEG at all (a PNG under a saved picture's name).
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("d.jpg"));
    QImage pngImage(QSize(320, 240), QImage::Format_RGB32);
    pngImage.fill(QColor(200, 200, 200));
    QVERIFY(pngImage.save(png, "PNG"));
    const QString grayJpeg = dir.filePath(QStringLiteral("c.jpg"));
    QImage grayImage(QSize(320, 240), QImage::Format_Grayscale8);
    grayImage.fill(QColor(90, 90, 90));
    QVERIFY(grayImage.save(grayJpeg, "JPEG", 95));
    const QStringList paths = {
        writePicture(dir.path(), QStringLiteral("a.jpg"), QSize(320, 240), Qt::darkGray), // 128
        writePicture(dir.path(), QStringLiteral("b.jpg"), QSize(640, 480), Qt::white),    grayJpeg, png,
        writePicture(dir.path(), QStringLiteral("e.jpg"), QSize(320, 240), Qt::black),
    };
    TimeLapseJob job = jobFor(dir.path(), paths);
    job.codec = static_cast<VideoCodec>(codec);
    const std::atomic<bool> cancel{false};
    const TimeLapseResult result = writeTimeLapse(job, cancel, {});
    QVERIFY2(result.written, qPrintable(result.error));
    const VideoFacts facts = readVideo(result.path);
    QCOMPARE(facts.frames, 5);
    const QList<int> expected = {128, 255, 90, 200, 0};
    for (qsizetype i = 0; i < expected.size(); ++i)
        QVERIFY2(qAbs(facts.centreGray.at(i) - expected.at(i)) <= 8,
                 qPrintable(QStringLiteral("frame %1: %2").arg(i).arg(facts.centreGray.at(i))));
}

void TestTimeLapseWriter::unreadablePicturesAreLeftOut()
{
    QTemporaryDir dir;
    const QStringList paths = {
        writeDamaged(dir.path(), QStringLiteral("0.jpg")), // the size comes from the first readable one
        writePicture(dir.path(), QStringLiteral("1.jpg"), QSize(160, 120), Qt::gray),
        writeDamaged(dir.path(), QStringLiteral("2.jpg")),
        writePicture(dir.path(), QStringLiteral("3.jpg"), QSize(160, 120), Qt::gray),
        dir.filePath(QStringLiteral("gone.jpg")), // removed after it was listed
    };
    const std::atomic<bool> cancel{false};
    const TimeLapseResult result = writeTimeLapse(jobFor(dir.path(), paths), cancel, {});
    QVERIFY2(result.written, qPrintable(result.error));
    QCOMPARE(result.frames, 2);
    QCOMPARE(result.unreadable, 3);
    QCOMPARE(readVideo(result.path).frames, 2);
    QCOMPARE(readVideo(result.path).size, QSize(160, 120));
}

void TestTimeLapseWriter::enormousDeclaredSizeStaysBounded()
{
    // Whatever the decoders make of it (a frame of what little data there is, or nothing), memory
    // stays bounded and the video keeps the first picture's size.
    QTemporaryDir dir;
    const QStringList paths = {writePicture(dir.path(), QStringLiteral("a.jpg"), QSize(160, 120), Qt::gray),
                               writeEnormous(dir.path(), QStringLiteral("b.jpg")),
                               writePicture(dir.path(), QStringLiteral("c.jpg"), QSize(160, 120), Qt::gray)};
    const std::atomic<bool> cancel{false};
    const TimeLapseResult result = writeTimeLapse(jobFor(dir.path(), paths), cancel, {});
    QVERIFY2(result.written, qPrintable(result.error));
    QCOMPARE(result.frames + result.unreadable, 3);
    QCOMPARE(readVideo(result.path).size, QSize(160, 120));
    rusage usage{};
    QCOMPARE(getrusage(RUSAGE_SELF, &usage), 0);
    constexpr long kBoundKiB = 512 * 1024;
    QVERIFY2(usage.ru_maxrss < kBoundKiB, qPrintable(QString::number(usage.ru_maxrss)));
}

void TestTimeLapseWriter::nothingReadableWritesNothing()
{
    QTemporaryDir dir;
    const QStringList paths = {writeDamaged(dir.path(), QStringLiteral("0.jpg")),
                               writeDamaged(dir.path(), QStringLiteral("1.jpg"))};
    const std::atomic<bool> cancel{false};
    const TimeLapseResult result = writeTimeLapse(jobFor(dir.path(), paths), cancel, {});
    QVERIFY(!result.written);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(leftovers(dir.path()), QStringList());
}

void TestTimeLapseWriter::cancelHalfwayLeavesNothing()
{
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 40; ++i)
        paths << writePicture(dir.path(), QStringLiteral("p%1.jpg").arg(i), QSize(320, 240), Qt::gray);
    std::atomic<bool> cancel{false};
    int lastDone = 0;
    const TimeLapseResult result =
        writeTimeLapse(jobFor(dir.path(), paths), cancel, [&](int done, int total) {
            lastDone = done;
            if (done == total / 2)
                cancel = true;
        });
    QVERIFY(result.cancelled);
    QVERIFY(!result.written);
    QCOMPARE(lastDone, 20);
    QCOMPARE(leftovers(dir.path()), QStringList());
}

void TestTimeLapseWriter::neverReplacesAFile()
{
    QTemporaryDir dir;
    const QStringList paths = {writePicture(dir.path(), QStringLiteral("a.jpg"), QSize(160, 120), Qt::gray)};
    QFile existing(dir.filePath(QStringLiteral("Cam.mp4")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();
    const std::atomic<bool> cancel{false};
    const TimeLapseResult first = writeTimeLapse(jobFor(dir.path(), paths), cancel, {});
    const TimeLapseResult second = writeTimeLapse(jobFor(dir.path(), paths), cancel, {});
    QCOMPARE(first.path, dir.filePath(QStringLiteral("Cam (2).mp4")));
    QCOMPARE(second.path, dir.filePath(QStringLiteral("Cam (3).mp4")));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TestTimeLapseWriter)
#include "tst_timelapsewriter.moc"
