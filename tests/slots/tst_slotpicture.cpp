#include "slotpicture.h"
#include "testpictures.h"

#include <QImageReader>
#include <QtTest>

// A slot's picture: decoded once to slot size, full size on demand, refused when unloadable.
class TestSlotPicture : public QObject
{
    Q_OBJECT

    const QSize m_slotSize{85, 64};

private slots:
    void decodesToSlotSize_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("natural");
        QTest::newRow("jpeg") << TestPictures::jpeg(640, 480) << QSize(640, 480);
        QTest::newRow("gif") << TestPictures::gif(83, 62, Qt::red) << QSize(83, 62);
        QTest::newRow("bmp") << TestPictures::bmp(320, 40, Qt::blue) << QSize(320, 40);
        QTest::newRow("png") << TestPictures::png(16, 16, Qt::green) << QSize(16, 16);
    }

    void decodesToSlotSize()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, natural);
        const std::optional<SlotPicture> picture = SlotPicture::decode(bytes, m_slotSize);
        QVERIFY(picture);
        QCOMPARE(picture->kind(), SlotPicture::Kind::Camera);
        QCOMPARE(picture->slotImage().size(), m_slotSize); // stretched, whatever the aspect
        QCOMPARE(picture->bytes(), bytes);
        QCOMPARE(picture->fullImage().size(), natural);
    }

    void refusesWhatCannotLoad()
    {
        QVERIFY(!SlotPicture::decode({}, m_slotSize));
        QVERIFY(!SlotPicture::decode("<html><body>Not Found</body></html>", m_slotSize));
        QVERIFY(!SlotPicture::decode(TestPictures::jpeg(64, 48).first(12), m_slotSize));

        // 1000 x 1000 at 4 bytes a pixel needs about 3.8 MiB in full; a slot-sized decode alone
        // would pass, but the views could never show it.
        const QByteArray bytes = TestPictures::jpeg(1000, 1000);
        const int previous = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(2);
        const bool decoded = SlotPicture::decode(bytes, m_slotSize).has_value();
        QImageReader::setAllocationLimit(previous);
        QVERIFY(!decoded);
        QVERIFY(SlotPicture::decode(bytes, m_slotSize));
    }

    void notFoundAndBlank()
    {
        const SlotPicture notFound = SlotPicture::notFound();
        QCOMPARE(notFound.kind(), SlotPicture::Kind::NotFound);
        QCOMPARE(notFound.fullImage().size(), QSize(83, 62));
        QVERIFY(!notFound.slotImage().isNull());
        const SlotPicture blank;
        QVERIFY(blank.isBlank() && blank.fullImage().isNull() && blank.slotImage().isNull());
    }
};

QTEST_GUILESS_MAIN(TestSlotPicture)
#include "tst_slotpicture.moc"
