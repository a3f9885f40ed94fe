#include "views/zoomgeometry.h"

#include <QtTest>

// The zoom maths in twips (15 a pixel): picture size and scroll ranges; the bars are 195 wide.
class TestZoomGeometry : public QObject
{
    Q_OBJECT

private slots:
    void zoom_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("pixelsWide");
        QTest::addColumn<int>("pixelsHigh");
        QTest::addColumn<float>("areaWidth");
        QTest::addColumn<qint64>("hMaximum"); // 0: bar disabled
        QTest::addColumn<qint64>("vMaximum");
        QTest::newRow("exactly the visible size") << 1 << 548 << 560 << 8415.0f << 0LL << 0LL;
        QTest::newRow("beyond 16 bits") << 5 << 640 << 480 << 15195.0f << 33000LL << 27600LL;
        QTest::newRow("half rounds down to even") << 1 << 640 << 100 << 7796.5f << 1998LL << 0LL;
    }

    void zoom()
    {
        QFETCH(int, zoom);
        QFETCH(int, pixelsWide);
        QFETCH(int, pixelsHigh);
        QFETCH(float, areaWidth);
        QFETCH(qint64, hMaximum);
        QFETCH(qint64, vMaximum);
        const ZoomGeometry g =
            computeZoom(zoom, 15LL * pixelsWide, 15LL * pixelsHigh, areaWidth, 8595.0f, 195.0f, 195.0f);
        QCOMPARE(g.width, 15LL * pixelsWide * zoom);
        QCOMPARE(g.horizontal.enabled, hMaximum > 0);
        QCOMPARE(g.vertical.enabled, vMaximum > 0);
        QCOMPARE(g.horizontal.enabled ? g.horizontal.maximum : 0, hMaximum);
        QCOMPARE(g.vertical.enabled ? g.vertical.maximum : 0, vMaximum);
    }
};

QTEST_APPLESS_MAIN(TestZoomGeometry)
#include "tst_zoomgeometry.moc"
