#include "common/pictureworkers.h"
#include "pictureinfo/picturemetadata.h"
#include "pictureinfo/savedname.h"
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

// Names of saved pictures, the save itself, and the free space a save looks at.
class TestPictureFiles : public QObject
{
    Q_OBJECT

    static QImage picture(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }

    static QStringList entries(const QString &folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

private slots:
    void initTestCase() { umask(022); } // before the first save reads it

    // The fuzz target checks the separators dropped and that plain names stay in the folder.
    void controlCharacterIsNotPlain()
    {
        QVERIFY(!isPlainFileName(camPictureFileName(u"a\tb"_s, u"1.2.2024"_s, u"10.00.00"_s)));
    }

    // The first try keeps the name; later ones number it before the last extension only.
    void numberedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("numbered");
        QTest::newRow("first") << u"Cam1.jpg"_s << 1 << u"Cam1.jpg"_s;
        QTest::newRow("second") << u"Cam1.jpg"_s << 2 << u"Cam1 (2).jpg"_s;
        QTest::newRow("dotted date") << u"Cam1.2.2024.jpg"_s << 12 << u"Cam1.2.2024 (12).jpg"_s;
        QTest::newRow("no extension") << u"Cam1"_s << 3 << u"Cam1 (3)"_s;
    }

    void numberedNames()
    {
        QFETCH(QString, name);
        QFETCH(int, n);
        QFETCH(QString, numbered);
        QCOMPARE(numberedFileName(name, n), numbered);
    }

    // A name that is not plain writes nothing, not even below the folder.
    void onlyPlainNamesAreSaved()
    {
        QTemporaryDir root;
        const QString cam = root.filePath("cam");
        QVERIFY(QDir().mkpath(cam + "/x1/2"));
        const JpegSaveResult result = saveJpeg(cam, "x1/2/2024.jpg", picture(8, 8));
        QVERIFY(!result.saved);
        QCOMPARE(result.path, cam + "/x1/2/2024.jpg");
        QCOMPARE(entries(cam + "/x1/2"), QStringList());
        QVERIFY(!saveJpeg(cam, "..", picture(8, 8)).saved);
        QCOMPARE(entries(root.path()), QStringList({"cam"}));
    }

    void savedWholeAndNeverReplaced()
    {
        QTemporaryDir cam;
        const JpegSaveResult first = saveJpeg(cam.path(), "Cam.jpg", picture(320, 200));
        const JpegSaveResult second = saveJpeg(cam.path(), "Cam.jpg", picture(64, 48));
        QCOMPARE(second.path, cam.filePath("Cam (2).jpg"));
        QCOMPARE(entries(cam.path()), QStringList({"Cam (2).jpg", "Cam.jpg"})); // no temporary left
        QCOMPARE(QImageReader(first.path).size(), QSize(320, 200));
        // Readable as any file the user makes, not only by its owner as the temporary file was.
        QCOMPARE(QFile(first.path).permissions() & (QFile::ReadOther | QFile::WriteOther), QFile::ReadOther);
    }

    // The names older versions saved under are told by the same rule the names are made by, in
    // the date and time texts of several languages, numbered or not.
    void savedNamesRecognised_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("camera");
        for (const char *locale : {"en_US", "de_DE", "en_GB", "sv_SE", "hi_IN", "ar_EG", "nl_NL", "C"}) {
            for (const char *camera : {"Front Door", "Cam", "Cam1", "Hafen/Nord: 2", "a:b:c:d"})
                QTest::addRow("%s, %s", locale, camera) << QString(locale) << QString(camera);
        }
    }

    void savedNamesRecognised()
    {
        QFETCH(QString, locale);
        QFETCH(QString, camera);
        const QLocale l(locale);
        const QStringList cameras{"Front Door", "Cam", "Cam1", "Hafen/Nord: 2", "a:b:c:d", "Yard"};
        int checked = 0;
        // Dates whose text never begins with "1", which would make Cam's picture Cam1's.
        for (const QDateTime &when : {QDateTime(QDate(2026, 3, 5), QTime(0, 0, 1)),
                                      QDateTime(QDate(2026, 9, 28), QTime(23, 59, 59))}) {
            // As the saved names have them: the system's short date and long time, no time zone.
            const QString time =
                l.toString(when.time(), l.timeFormat(QLocale::LongFormat).remove('t').trimmed());
            const QString name =
                camPictureFileName(camera, l.toString(when.date(), QLocale::ShortFormat), time);
            if (!isPlainFileName(name))
                continue; // not saved at all
            QCOMPARE(savedNameCamera(name, cameras), camera);
            QCOMPARE(savedNameCamera(numberedFileName(name, 2), cameras), camera);
            ++checked;
        }
        QVERIFY(checked > 0 || camera.contains('/')); // a slash of the name leaves one of the date's
    }

    void savedWithItsInfo()
    {
        QTemporaryDir cam;
        const PictureInfo info{"Cam", "http://127.0.0.1/c.jpg",
                               QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC)};
        const JpegSaveResult result = saveJpeg(cam.path(), "Cam.jpg", picture(64, 48), info);
        QVERIFY(result.saved);
        const std::optional<PictureInfo> read = readPictureInfo(result.path);
        QVERIFY(read.has_value());
        QCOMPARE(read->cameraName, info.cameraName);
        QCOMPARE(read->received, info.received);
        QCOMPARE(QImageReader(result.path).size(), QSize(64, 48));
        QVERIFY(!readPictureInfo(saveJpeg(cam.path(), "Cam.jpg", picture(64, 48)).path).has_value());
    }

    void concurrentSavesOfOneName()
    {
        QTemporaryDir cam;
        std::vector<JpegSaveResult> results(8);
        for (size_t i = 0; i < results.size(); ++i)
            pictureWorkers()->start(
                [&results, &cam, i] { results[i] = saveJpeg(cam.path(), "Same.jpg", picture(200, 100)); });
        waitForPictureWork();
        QSet<QString> paths;
        for (const JpegSaveResult &result : results) {
            QVERIFY(result.saved);
            paths.insert(result.path);
        }
        QCOMPARE(paths.size(), 8);
        QCOMPARE(entries(cam.path()).size(), 8);
    }

    // Refused part-way, as on a full disk: nothing stays, the failure says why; with room it works.
    void refusedWriteLeavesNothing()
    {
        QTemporaryDir cam;
        QImage image(640, 480, QImage::Format_RGB32); // noise: a large JPEG, written in many pieces
        QRandomGenerator random(7);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, random.generate() | 0xff000000u);
        JpegSaveResult refused;
        QVERIFY(WithFileSizeLimit(256 * 1024, [&] { refused = saveJpeg(cam.path(), "Cam.jpg", image); }));
        QVERIFY(!refused.saved);
        QCOMPARE(refused.error, qt_error_string(EFBIG));
        QCOMPARE(entries(cam.path()), QStringList());
        const JpegSaveResult saved = saveJpeg(cam.path(), "Cam.jpg", image);
        QVERIFY(saved.saved);
        QVERIFY(saved.jpeg.size() > 2 * 256 * 1024); // the limit stopped it half-way at most
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
};

QTEST_GUILESS_MAIN(TestPictureFiles)
#include "tst_picturefiles.moc"
