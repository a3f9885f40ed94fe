#include "camserver/testpictures.h"
#include "slots/slotpicture.h"

#include <QImageReader>
#include <QtTest>

// A slot's picture: decoded once to slot size, full size on demand, refused when unloadable.
class TestSlotPicture : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limitMiB"); // the image allocation limit; 0: Qt's default
        QTest::addColumn<QSize>("natural"); // invalid: refused
        const QByteArray large = TestPictures::jpeg(1000, 1000);
        QTest::newRow("jpeg") << large << 0 << QSize(1000, 1000);
        QTest::newRow("cut jpeg") << large.first(12) << 0 << QSize();
        // About 3.8 MiB in full: a slot-sized decode alone would pass, but no view could show it.
        QTest::newRow("beyond the allocation limit") << large << 2 << QSize();
    }

    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, limitMiB);
        QFETCH(QSize, natural);
        const QSize slotSize(85, 64);
        const int previous = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(limitMiB > 0 ? limitMiB : previous);
        const std::optional<SlotPicture> picture = SlotPicture::decode(bytes, slotSize);
        QImageReader::setAllocationLimit(previous);
        QCOMPARE(picture.has_value(), natural.isValid());
        if (!picture)
            return;
        QCOMPARE(picture->slotImage().size(), slotSize); // stretched, whatever the aspect
        QCOMPARE(picture->bytes(), bytes);
        QCOMPARE(picture->fullImage().size(), natural);
    }

    // With a larger view open, one decode to the view's box: the slot's image is made from it.
    void decodeForAView_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QSize>("viewBox");
        QTest::addColumn<QSize>("viewImage"); // 0 x 0: none
        QTest::newRow("4K into a wall tile") << QSize(3840, 2160) << QSize(316, 248) << QSize(316, 177);
        QTest::newRow("small picture, never enlarged")
            << QSize(160, 120) << QSize(316, 248) << QSize(160, 120);
        QTest::newRow("tile smaller than the slot: at least the slot's size")
            << QSize(640, 480) << QSize(40, 30) << QSize(85, 64);
        QTest::newRow("no view") << QSize(640, 480) << QSize() << QSize(0, 0);
    }
    void decodeForAView()
    {
        QFETCH(QSize, natural);
        QFETCH(QSize, viewBox);
        const QSize slotSize(85, 64);
        const std::optional<SlotPicture> picture =
            SlotPicture::decode(TestPictures::jpeg(natural.width(), natural.height()), {slotSize, viewBox});
        QVERIFY(picture.has_value());
        QTEST(picture->viewImage().size(), "viewImage");
        QCOMPARE(picture->viewBox(), viewBox);
        QCOMPARE(picture->slotImage().size(), slotSize);
        QCOMPARE(picture->naturalSize(), natural);
    }
};

QTEST_GUILESS_MAIN(TestSlotPicture)
#include "tst_slotpicture.moc"
