#include "common/pictureworkers.h"
#include "support/filesizelimit.h"
#include "views/camfilename.h"
#include "views/freespace.h"
#include "views/jpegsave.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <vector>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// Names of saved pictures from given date and time texts, the save itself into a folder, and the
// free space a save looks at.
class TestPictureFiles : public QObject
{
    Q_OBJECT

    static QImage picture(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }

    // Noise: a JPEG far larger than the picture's pixel count suggests, written in many pieces.
    static QImage noise(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = random.generate() | 0xff000000u;
        }
        return image;
    }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void initTestCase() { umask(022); } // before the first save reads it

    void fileNames_data()
    {
        QTest::addColumn<QString>("camName");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("slash in the name")
            << u"Gate/East"_s << u"9/4/2017"_s << u"1:05:09 PM"_s << u"GateEast94/201710509PM.jpg"_s << false;
        QTest::newRow("colons used up")
            << u"a:b:c:d"_s << u"9/4/2017"_s << u"13:05:09"_s << u"abcd94201713:05:09.jpg"_s << true;
        QTest::newRow("climbing out")
            << u"../../x"_s << u"1.2.2024"_s << u"10.00.00"_s << u"....x1.2.202410.00.00.jpg"_s << true;
        QTest::newRow("control character")
            << u"a\tb"_s << u"1.2.2024"_s << u"10.00.00"_s << u"a\tb1.2.202410.00.00.jpg"_s << false;
    }

    void fileNames()
    {
        QFETCH(QString, camName);
        QFETCH(QString, date);
        QFETCH(QString, time);
        const QString name = camPictureFileName(camName, date, time);
        QTEST(name, "name");
        QTEST(isPlainFileName(name), "plain");
    }

    void onlyPlainNamesAreSaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << "x1/2/2024.jpg";
        QTest::newRow("parent") << "..";
        QTest::newRow("empty") << "";
    }

    void onlyPlainNamesAreSaved()
    {
        QFETCH(QString, name);
        QTemporaryDir root;
        const QString cam = root.filePath("cam");
        QVERIFY(QDir().mkpath(cam + "/x1/2"));
        const JpegSaveResult result = saveJpeg(cam, name, picture(8, 8));
        QVERIFY(!result.saved);
        QCOMPARE(result.path, cam + '/' + name);
        QCOMPARE(entries(root.path()), QStringList({"cam"}));
        QCOMPARE(entries(cam), QStringList({"x1"}));
        QCOMPARE(entries(cam + "/x1/2"), QStringList());
    }

    void savedWholeAndNeverReplaced()
    {
        QTemporaryDir cam;
        const JpegSaveResult first = saveJpeg(cam.path(), "Cam.jpg", picture(320, 200));
        const JpegSaveResult second = saveJpeg(cam.path(), "Cam.jpg", picture(64, 48));
        const JpegSaveResult third = saveJpeg(cam.path(), "Cam.jpg", picture(64, 48));
        QCOMPARE(
            QStringList({first.path, second.path, third.path}),
            QStringList({cam.filePath("Cam.jpg"), cam.filePath("Cam (2).jpg"), cam.filePath("Cam (3).jpg")}));
        QCOMPARE(entries(cam.path()),
                 QStringList({"Cam (2).jpg", "Cam (3).jpg", "Cam.jpg"})); // no temporary left
        QCOMPARE(QImageReader(first.path).size(), QSize(320, 200));
        QFile file(first.path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), first.jpeg);
        // Readable as any file the user makes, not only by its owner as the temporary file was.
        QCOMPARE(file.permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::ReadOther);
    }

    void concurrentSavesOfOneName()
    {
        QTemporaryDir cam;
        constexpr int kSaves = 8;
        std::vector<JpegSaveResult> results(kSaves);
        for (int i = 0; i < kSaves; ++i)
            pictureWorkers()->start(
                [&results, &cam, i] { results[i] = saveJpeg(cam.path(), "Same.jpg", picture(200, 100)); });
        waitForPictureWork();
        QSet<QString> paths;
        for (const JpegSaveResult &result : results) {
            QVERIFY(result.saved);
            QCOMPARE(QImageReader(result.path).size(), QSize(200, 100));
            paths.insert(result.path);
        }
        QCOMPARE(paths.size(), kSaves);
        QCOMPARE(entries(cam.path()).size(), kSaves);
    }

    // The file system refuses the write part-way, as a full disk does: neither the part written
    // nor the temporary file stays, and the failure says why. With room again the same save works.
    void refusedWriteLeavesNothing_data()
    {
        QTest::addColumn<int>("limit"); // bytes a file of this process may hold
        QTest::newRow("not a byte") << 0;
        QTest::newRow("a few bytes") << 100;
        QTest::newRow("well into the picture") << 256 * 1024;
    }

    void refusedWriteLeavesNothing()
    {
        QFETCH(int, limit);
        QTemporaryDir cam;
        const QImage image = noise(640, 480);
        JpegSaveResult refused;
        QVERIFY(WithFileSizeLimit(rlim_t(limit), [&] { refused = saveJpeg(cam.path(), "Cam.jpg", image); }));
        QVERIFY(!refused.saved);
        QVERIFY(refused.jpeg.isEmpty());
        QCOMPARE(refused.error, qt_error_string(EFBIG)); // the reason, as the system words it
        QCOMPARE(entries(cam.path()), QStringList());

        const JpegSaveResult saved = saveJpeg(cam.path(), "Cam.jpg", image);
        QVERIFY(saved.saved);
        QVERIFY(saved.jpeg.size() > 2 * 256 * 1024); // the largest limit stopped it half-way at most
        QCOMPARE(entries(cam.path()), QStringList({"Cam.jpg"}));
        QCOMPARE(QFileInfo(saved.path).size(), saved.jpeg.size());
    }

    void freeSpaceOfTheFileSystem()
    {
        QTemporaryDir dir;
        const std::optional<qint64> free = freeBytes(dir.path());
        QVERIFY(free.has_value());
        // Other programs write meanwhile: the same figure give or take 256 MiB.
        QVERIFY(qAbs(*free - QStorageInfo(dir.path()).bytesAvailable()) < 256 * 1024 * 1024);
        QVERIFY(!freeBytes(dir.filePath("missing")).has_value());
    }

    void failureNamesThePath()
    {
        QTemporaryDir root;
        const QString missing = root.filePath("cam");
        const JpegSaveResult result = saveJpeg(missing, "Cam.jpg", picture(8, 8));
        QVERIFY(!result.saved);
        QCOMPARE(result.path, missing + "/Cam.jpg");
        QVERIFY(!saveJpeg(root.path(), "Empty.jpg", QImage()).saved);
        QCOMPARE(entries(root.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPictureFiles)
#include "tst_picturefiles.moc"
