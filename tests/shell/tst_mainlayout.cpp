#include "form1geometry.h"
#include "mainlayout.h"

#include <QtTest>

// The layout maths in twips, without widgets.
class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void fitsWindow_data();
    void fitsWindow();
    void stepsReadCurrentGeometry();
};

void TestMainLayout::fitsWindow_data()
{
    QTest::addColumn<float>("W");
    QTest::addColumn<float>("H");
    QTest::addColumn<bool>("laidOut");
    QTest::newRow("exactly 12180 x 6000") << 12180.0f << 6000.0f << true;
    QTest::newRow("odd twips") << 15237.0f << 9013.0f << true;
    QTest::newRow("one twip narrower") << 12179.0f << 6000.0f << false;
    QTest::newRow("one twip lower") << 12180.0f << 5999.0f << false;
}

void TestMainLayout::fitsWindow()
{
    QFETCH(float, W);
    QFETCH(float, H);
    QFETCH(bool, laidOut);
    const MainLayout designed = Form1Geometry::kInitialLayout;
    if (!laidOut) {
        // Nothing moves, neither the designed geometry nor that of an earlier, larger layout.
        const MainLayout earlier = LayoutMainWindow(20000.0f, 12000.0f, designed);
        QVERIFY(LayoutMainWindow(W, H, designed) == designed);
        QVERIFY(LayoutMainWindow(W, H, earlier) == earlier);
        return;
    }
    const MainLayout g = LayoutMainWindow(W, H, designed);
    // Columns end just above the status line, which keeps its height of 315.
    QCOMPARE((QList<float>{g.txtStatus.top, g.Frame1.height, g.frmCams.height, g.frmMain.height}),
             QList<float>(4, H - 1115));
    QCOMPARE(g.txtStatus.width, W - 200);
    QCOMPARE(g.List1.height, H - 2815);
    QCOMPARE((QList<float>{g.picWindowOuter.height, g.VScroll1.height}), QList<float>(2, H - 1415));
    QCOMPARE(g.frmMain.width, W - 6480);
    QCOMPARE((QList<float>{g.Picture1.width, g.frmDetails.width}), QList<float>(2, W - 6880));
    // The detail frame sits under the picture area and ends 75 above the column's bottom.
    QCOMPARE(g.frmDetails.top, g.Picture1.top + g.Picture1.height);
    QCOMPARE(g.frmDetails.top + g.frmDetails.height, g.frmMain.height - 75);
    // The corner button keeps 60 from the picture area's edges.
    QCOMPARE(g.Command1.left, W - 7135);
    QCOMPARE(g.Command1.top, H - 3680);
}

void TestMainLayout::stepsReadCurrentGeometry()
{
    // Geometry unlike the design: each step takes what it reads from the current values or from
    // an earlier step, never the designed numbers.
    MainLayout before = Form1Geometry::kInitialLayout;
    before.txtStatus.height = 600;
    before.List1.top = 2000;
    before.frmMain.left = 7000;
    before.frmDetails.height = 1000;
    before.Command1 = TwipRect{0, 0, 300, 250};
    before.VScroll2.width = 240;
    before.HScroll1.height = 210;
    constexpr float W = 20000.0f;
    constexpr float H = 10000.0f;
    const MainLayout g = LayoutMainWindow(W, H, before);

    QCOMPARE(g.txtStatus.top, H - 1400);
    QCOMPARE(g.List1.height, (H - 1400) - 2000 - 20);
    QCOMPARE(g.picWindowOuter.height, 2000 + g.List1.height - 280);
    QCOMPARE(g.Picture1.height, (H - 1400) - 1000 - 600);
    QCOMPARE(g.Picture1.width, W - 7400);
    QCOMPARE(g.VScroll2.height, g.Picture1.height - 250 - 60);
    QCOMPARE(g.VScroll2.left, g.Picture1.width - 240 - 60);
    QCOMPARE(g.HScroll1.width, g.Picture1.width - 300 - 60);
    QCOMPARE(g.HScroll1.top, g.Picture1.height - 210 - 60);
    // What no step names stays, and laying out again at the same size changes nothing.
    QCOMPARE(g.List1.top, before.List1.top);
    QVERIFY(LayoutMainWindow(W, H, g) == g);
}

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
