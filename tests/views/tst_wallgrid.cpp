#include "views/wallgrid.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// The width of a picture of this aspect ratio fitted into box, worked out apart from the chooser.
double fittedWidth(double aspect, const QSize &box)
{
    return std::max(0.0, std::min<double>(box.width(), box.height() * aspect));
}

// What a grid gives each picture: the area of the smallest tile's picture box.
double pictureArea(int columns, int rows, const QSize &area, double aspect, const WallTileSpace &space)
{
    const QSize box(area.width() / columns - 2 * space.margin,
                    area.height() / rows - 2 * space.margin - space.captionHeight);
    if (box.width() <= 0 || box.height() <= 0)
        return 0;
    const double width = fittedWidth(aspect, box);
    return width * width / aspect;
}

} // namespace

// The wall's grid: every camera in, nothing overlapping or outside, and the pictures as large as
// any grid would make them.
class TestWallGrid : public QObject
{
    Q_OBJECT

private slots:
    void largestPicturesForEveryCount_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<double>("aspect");
        QTest::addColumn<int>("captionHeight");
        for (const auto &[name, area] :
             {std::pair{"portrait", QSize(1080, 1920)}, std::pair{"4:3", QSize(1600, 1200)},
              std::pair{"16:9", QSize(1920, 1080)}, std::pair{"32:9", QSize(5120, 1440)},
              std::pair{"small window", QSize(333, 201)}}) {
            QTest::addRow("%s, 4:3 cameras", name) << area << 4.0 / 3.0 << 20;
            QTest::addRow("%s, 16:9 cameras, no caption", name) << area << 16.0 / 9.0 << 0;
        }
    }
    void largestPicturesForEveryCount()
    {
        QFETCH(QSize, area);
        QFETCH(double, aspect);
        QFETCH(int, captionHeight);
        const WallTileSpace space{3, captionHeight};
        for (int count = 1; count <= 24; ++count) {
            const WallGrid grid = chooseWallGrid(area, QList<double>(count, aspect), space);
            QVERIFY2(grid.columns * grid.rows >= count, qPrintable(QString::number(count)));
            QRegion covered;
            for (int i = 0; i < grid.columns * grid.rows; ++i) {
                const QRect tile = wallTileRect(grid, area, i);
                QVERIFY2(QRect(QPoint(0, 0), area).contains(tile), qPrintable(QString::number(count)));
                QVERIFY2(!covered.intersects(tile), qPrintable(QString::number(count)));
                covered += tile;
            }
            QCOMPARE(covered, QRegion(QRect(QPoint(0, 0), area))); // to the last pixel
            const double chosen = pictureArea(grid.columns, grid.rows, area, aspect, space);
            for (int columns = 1; columns <= count; ++columns) {
                for (int rows = 1; rows <= count; ++rows) {
                    if (columns * rows >= count)
                        QVERIFY2(pictureArea(columns, rows, area, aspect, space) <= chosen + 1e-6,
                                 qPrintable(QStringLiteral("%1 cameras: %2x%3 beats %4x%5")
                                                .arg(count)
                                                .arg(columns)
                                                .arg(rows)
                                                .arg(grid.columns)
                                                .arg(grid.rows)));
                }
            }
        }
    }

    void knownGrids_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<QList<double>>("aspects");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        const QSize hd(1920, 1080);
        QTest::newRow("one camera fills the screen") << hd << QList<double>{4.0 / 3} << 1 << 1;
        QTest::newRow("24 cameras on 16:9") << hd << QList<double>(24, 4.0 / 3) << 6 << 4;
        QTest::newRow("two on a portrait screen, one above the other")
            << QSize(1080, 1920) << QList<double>(2, 4.0 / 3) << 1 << 2;
        QTest::newRow("three on 32:9, side by side")
            << QSize(5120, 1440) << QList<double>(3, 4.0 / 3) << 3 << 1;
        // Two portrait cameras and a wide one: the wide one's shape decides nothing alone.
        QTest::newRow("mixed shapes") << hd << QList<double>{9.0 / 16, 9.0 / 16, 16.0 / 9} << 3 << 1;
        QTest::newRow("no camera") << hd << QList<double>() << 0 << 0;
    }
    void knownGrids()
    {
        QFETCH(QSize, area);
        QFETCH(QList<double>, aspects);
        const WallGrid grid = chooseWallGrid(area, aspects, WallTileSpace{3, 20});
        QTEST(grid.columns, "columns");
        QTEST(grid.rows, "rows");
    }

    void pictureInItsTile_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("tile");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide picture, tall tile")
            << QSize(1600, 900) << QSize(326, 400) << QRect(3, 100, 320, 180);
        QTest::newRow("tall picture, wide tile")
            << QSize(300, 400) << QSize(506, 426) << QRect(103, 3, 300, 400);
        QTest::newRow("small picture is enlarged")
            << QSize(64, 48) << QSize(646, 506) << QRect(3, 3, 640, 480);
        QTest::newRow("tile smaller than its margins") << QSize(64, 48) << QSize(5, 5) << QRect(3, 3, 0, 0);
    }
    void pictureInItsTile()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, tile);
        const WallTileSpace space{3, 20};
        QTEST(wallPictureRect(picture, wallPictureBox(tile, space)), "expected");
    }
};

QTEST_APPLESS_MAIN(TestWallGrid)
#include "tst_wallgrid.moc"
