#include "common/pictureworkers.h"
#include "views/camfilename.h"
#include "views/jpegsave.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// Names of saved pictures from given date and time texts, and the save itself into a folder.
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
