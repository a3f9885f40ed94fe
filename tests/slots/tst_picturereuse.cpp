#include "camserver/testpictures.h"
#include "slots/picturereuse.h"

#include <QtTest>

namespace {

const QByteArray &shownBytes()
{
    static const QByteArray bytes = TestPictures::jpeg(64, 48, QColor(40, 120, 200), 85);
    return bytes;
}

} // namespace

// A reply that brings the bytes a slot already shows is not decoded again.
class TestPictureReuse : public QObject
{
    Q_OBJECT

private slots:
    void reuse_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QSize>("decodeSize");
        QTest::addColumn<bool>("reused");
        const QByteArray &shown = shownBytes();
        QByteArray oneByte = shown;
        oneByte[oneByte.size() / 2] = char(oneByte[oneByte.size() / 2] ^ 1);
        const QSize slot(85, 64);
        QTest::newRow("the same bytes, received again")
            << QByteArray(shown.constData(), shown.size()) << slot << true;
        QTest::newRow("the very bytes shown") << shown << slot << true;
        QTest::newRow("the same length, one byte different") << oneByte << slot << false;
        QTest::newRow("one byte more") << shown + '\0' << slot << false;
        QTest::newRow("the same bytes for a slot of another size") << shown << QSize(170, 128) << false;
    }

    void reuse()
    {
        QFETCH(QByteArray, body);
        QFETCH(QSize, decodeSize);
        const QSize slot(85, 64);
        const std::optional<SlotPicture> shown = SlotPicture::decode(shownBytes(), slot);
        QVERIFY(shown);
        const std::optional<SlotPicture> kept = unchangedPicture(*shown, body, decodeSize);
        QTEST(kept.has_value(), "reused");
        if (kept)
            QCOMPARE(kept->serial(), shown->serial()); // the views know it as the same picture
    }

    // Only a camera picture was decoded from a body.
    void noCameraPicture()
    {
        QCOMPARE(unchangedPicture(SlotPicture(), QByteArray(), QSize()).has_value(), false);
        const SlotPicture notFound = SlotPicture::notFound();
        QCOMPARE(unchangedPicture(notFound, QByteArray(), notFound.slotImage().size()).has_value(), false);
    }
};

QTEST_MAIN(TestPictureReuse)
#include "tst_picturereuse.moc"
