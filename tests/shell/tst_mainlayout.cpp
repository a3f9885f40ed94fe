#include "shell/form1geometry.h"
#include "shell/mainlayout.h"

#include <QtTest>

// The layout maths in twips, without widgets.
class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    // From an earlier, larger layout: a window under 12180 x 6000 moves nothing.
    void smallestWindow()
    {
        const MainLayout earlier = LayoutMainWindow(20000.0f, 12000.0f, Form1Geometry::kInitialLayout);
        QVERIFY(!(LayoutMainWindow(12180.0f, 6000.0f, earlier) == earlier));
        QVERIFY(LayoutMainWindow(12179.0f, 6000.0f, earlier) == earlier);
        QVERIFY(LayoutMainWindow(12180.0f, 5999.0f, earlier) == earlier);
    }

    // Each step reads the current geometry or an earlier step, never the designed numbers.
    void stepsReadCurrentGeometry()
    {
        MainLayout before = Form1Geometry::kInitialLayout;
        before.txtStatus.height = 600;
        before.List1.top = 2000;
        before.frmMain.left = 7000;
        before.frmDetails.height = 1000;
        before.Command1 = TwipRect{0, 0, 300, 250};
        before.VScroll2.width = 240;
        before.HScroll1.height = 210;
        const MainLayout g = LayoutMainWindow(20000.0f, 10000.0f, before);
        // Picture area: 10000 - 1400 - 1000 - 600 high, 20000 - 7000 - 400 wide.
        QCOMPARE((QList<float>{g.txtStatus.top, g.List1.height, g.picWindowOuter.height, g.Picture1.height,
                               g.Picture1.width, g.VScroll2.height, g.VScroll2.left, g.HScroll1.width,
                               g.HScroll1.top}),
                 (QList<float>{8600, 8600 - 2000 - 20, 2000 + 6580 - 280, 7000, 12600, 7000 - 250 - 60,
                               12600 - 240 - 60, 12600 - 300 - 60, 7000 - 210 - 60}));
    }
};

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
