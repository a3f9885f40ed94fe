#include "slots/changedetection.h"

#include <QtTest>

// The rule that tells a new picture, over the three states, replies with and without a date, and
// a camera's first picture.
class TestChangeDetection : public QObject
{
    Q_OBJECT

private slots:
    void rule_data()
    {
        QTest::addColumn<int>("detection"); // ChangeDetection
        QTest::addColumn<bool>("hasDate");
        QTest::addColumn<bool>("dateChanged");
        QTest::addColumn<bool>("hasPrevious");
        QTest::addColumn<bool>("bytesDiffer");
        QTest::addColumn<bool>("visiblyChanged");
        QTest::addColumn<int>("reason"); // ChangeReason
        using D = ChangeDetection;
        using R = ChangeReason;
        for (const D d : {D::Off, D::Bytes, D::Picture}) {
            const QByteArray state = changeDetectionText(d).toLatin1();
            // A date decides alone: bytes and pictures that differ do not count, nor does their sameness.
            QTest::newRow(state + ", new date, same bytes")
                << int(d) << true << true << true << false << false << int(R::ServerDate);
            QTest::newRow(state + ", same date, new picture")
                << int(d) << true << false << true << true << true << int(R::None);
            QTest::newRow(state + ", first date of a first picture")
                << int(d) << true << false << false << true << true << int(R::None);
            // Without a date, a first picture is never new.
            QTest::newRow(state + ", no date, first picture")
                << int(d) << false << false << false << true << true << int(R::None);
            QTest::newRow(state + ", no date, same bytes")
                << int(d) << false << false << true << false << false << int(R::None);
        }
        QTest::newRow("off, no date, new picture")
            << int(D::Off) << false << false << true << true << true << int(R::None);
        QTest::newRow("bytes, no date, other bytes of the same look")
            << int(D::Bytes) << false << false << true << true << false << int(R::BytesChanged);
        QTest::newRow("picture, no date, other bytes of the same look")
            << int(D::Picture) << false << false << true << true << false << int(R::None);
        QTest::newRow("picture, no date, visibly changed")
            << int(D::Picture) << false << false << true << true << true << int(R::PictureChanged);
    }

    void rule()
    {
        QFETCH(int, detection);
        QFETCH(bool, hasDate);
        QFETCH(bool, dateChanged);
        QFETCH(bool, hasPrevious);
        QFETCH(bool, bytesDiffer);
        QFETCH(bool, visiblyChanged);
        const ChangeFacts facts{hasDate, dateChanged, hasPrevious, bytesDiffer, visiblyChanged};
        QTEST(int(changeReason(ChangeDetection(detection), facts)), "reason");
    }

    void storedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("detection");
        QTest::newRow("off") << "off" << true << int(ChangeDetection::Off);
        QTest::newRow("bytes") << "bytes" << true << int(ChangeDetection::Bytes);
        QTest::newRow("picture") << "picture" << true << int(ChangeDetection::Picture);
        QTest::newRow("other case") << "Bytes" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }

    void storedText()
    {
        QFETCH(QString, text);
        QFETCH(int, detection);
        const std::optional<ChangeDetection> read = changeDetectionFromText(text);
        QTEST(read.has_value(), "known");
        if (read) {
            QCOMPARE(int(*read), detection);
            QCOMPARE(changeDetectionText(*read), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestChangeDetection)
#include "tst_changedetection.moc"
