#include "views/zoomgeometry.h"

#include <QtTest>

// The zoom maths in twips: picture size and scroll ranges. The picture area's bars are 195 wide.
class TestZoomGeometry : public QObject
{
    Q_OBJECT

private slots:
    void zoom_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("pixelsWide"); // the natural size, 15 twips a pixel
        QTest::addColumn<int>("pixelsHigh");
        QTest::addColumn<float>("areaWidth");
        QTest::addColumn<float>("areaHeight");
        QTest::addColumn<bool>("hEnabled");
        QTest::addColumn<qint64>("hMaximum");
        QTest::addColumn<bool>("vEnabled");
        QTest::addColumn<qint64>("vMaximum");
        QTest::newRow("exactly the visible size")
            << 1 << 548 << 560 << 8415.0f << 8595.0f << false << 0LL << false << 0LL;
        QTest::newRow("2000 wider") << 2 << 320 << 240 << 7795.0f << 8595.0f << true << 2000LL << false
                                    << 0LL;
        QTest::newRow("beyond 16 bits")
            << 5 << 640 << 480 << 15195.0f << 8595.0f << true << 33000LL << true << 27600LL;
        QTest::newRow("half rounds up to even")
            << 1 << 640 << 100 << 7795.5f << 8595.0f << true << 2000LL << false << 0LL;
        QTest::newRow("half rounds down to even")
            << 1 << 640 << 100 << 7796.5f << 8595.0f << true << 1998LL << false << 0LL;
    }

    void zoom()
    {
        QFETCH(int, zoom);
        QFETCH(int, pixelsWide);
        QFETCH(int, pixelsHigh);
        QFETCH(float, areaWidth);
        QFETCH(float, areaHeight);
        const ZoomGeometry g =
            computeZoom(zoom, 15LL * pixelsWide, 15LL * pixelsHigh, areaWidth, areaHeight, 195.0f, 195.0f);
        QCOMPARE(g.width, 15LL * pixelsWide * zoom);
        QCOMPARE(g.height, 15LL * pixelsHigh * zoom);
        QTEST(g.horizontal.enabled, "hEnabled");
        QTEST(g.vertical.enabled, "vEnabled");
        if (g.horizontal.enabled)
            QTEST(g.horizontal.maximum, "hMaximum");
        if (g.vertical.enabled)
            QTEST(g.vertical.maximum, "vMaximum");
    }
};

QTEST_APPLESS_MAIN(TestZoomGeometry)
#include "tst_zoomgeometry.moc"
