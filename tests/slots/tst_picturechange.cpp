#include "slots/picturechange.h"
#include "support/noisyscene.h"

#include <QtTest>

namespace {

constexpr int kFrames = 50;

} // namespace

// A camera's picture judged changed or not on its thumbnails, against generated cameras.
class TestPictureChange : public QObject
{
    Q_OBJECT

private slots:
    void consecutiveFrames_data()
    {
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QSize>("slotSize");
        QTest::addColumn<double>("noise");
        QTest::addColumn<int>("objectShare"); // the object's diameter: this share of the height; 0: none
        QTest::addColumn<int>("changes");
        const QSize vga(640, 480);
        const QSize hd(1280, 720);
        const QSize slot(85, 64);
        const QSize wallSlot(320, 180);
        QTest::newRow("still scene, slot") << vga << slot << 12.0 << 0 << 0;
        QTest::newRow("still scene, little noise, wall slot") << hd << wallSlot << 3.0 << 0 << 0;
        QTest::newRow("still scene, much noise, wall slot") << hd << wallSlot << 20.0 << 0 << 0;
        QTest::newRow("object of 1/20, slot") << vga << slot << 12.0 << 20 << kFrames - 1;
        QTest::newRow("object of 1/20, wall slot") << hd << wallSlot << 12.0 << 20 << kFrames - 1;
    }

    void consecutiveFrames()
    {
        QFETCH(QSize, frameSize);
        QFETCH(QSize, slotSize);
        QFETCH(double, noise);
        QFETCH(int, objectShare);
        NoisyScene::Options options;
        options.size = frameSize;
        options.noiseSigma = noise;
        options.objectDiameter = objectShare == 0 ? 0 : frameSize.height() / objectShare;
        const NoisyScene scene(options);
        int changes = 0;
        QImage previous = PictureChange::thumbnail(decodeFrame(scene.frame(0), slotSize));
        for (int n = 1; n < kFrames; ++n) {
            const QImage next = PictureChange::thumbnail(decodeFrame(scene.frame(n), slotSize));
            changes += PictureChange::isVisibleChange(previous, next) ? 1 : 0;
            previous = next;
        }
        QTEST(changes, "changes");
    }

    void thumbnailsThatCannotBeCompared()
    {
        QImage picture(85, 64, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        const QImage thumbnail = PictureChange::thumbnail(picture);
        QCOMPARE(thumbnail.size(), PictureChange::kThumbnailSize);
        QVERIFY(PictureChange::thumbnail(QImage()).isNull());
        // A slot's first picture has no thumbnail before it.
        QCOMPARE(PictureChange::difference(QImage(), thumbnail), -1);
        QVERIFY(!PictureChange::isVisibleChange(QImage(), thumbnail));
        QCOMPARE(PictureChange::difference(thumbnail, picture.scaled(PictureChange::kThumbnailSize)), -1);
    }

    // Every cell alike brighter is a brightness wobble; the same amount in a few cells is a change.
    void brightnessAgainstObject()
    {
        QImage before(170, 128, QImage::Format_RGB32);
        before.fill(QColor(100, 100, 100));
        QImage brighter = before;
        brighter.fill(QColor(140, 140, 140));
        QImage object = before;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x)
                object.setPixel(x + 60, y + 50, qRgb(140, 140, 140));
        }
        const QImage thumbnail = PictureChange::thumbnail(before);
        QCOMPARE(PictureChange::isVisibleChange(thumbnail, PictureChange::thumbnail(brighter)), false);
        QCOMPARE(PictureChange::isVisibleChange(thumbnail, PictureChange::thumbnail(object)), true);
    }
};

QTEST_MAIN(TestPictureChange)
#include "tst_picturechange.moc"
