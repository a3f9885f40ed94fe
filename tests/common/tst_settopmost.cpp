#include "common/settopmost.h"
#include "support/offscreenmain.h"

#include <QWidget>

// A window made topmost, or no longer topmost, stays where it was, as big, and as visible.
class TestSetTopMost : public QObject
{
    Q_OBJECT

private slots:
    void keepsPlaceAndVisibility_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::newRow("shown") << true;
        QTest::newRow("not shown yet") << false;
    }

    void keepsPlaceAndVisibility()
    {
        QFETCH(bool, shown);
        QWidget window;
        window.setGeometry(100, 120, 300, 200);
        if (shown) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        const QRect before = window.geometry();
        for (const bool topMost : {true, false}) {
            SetTopMost(&window, topMost);
            QCOMPARE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint), topMost);
            QCOMPARE(window.isVisible(), shown);
            QCOMPARE(window.geometry(), before);
        }
    }
};

VANTORA_WIDGET_TEST_MAIN(TestSetTopMost)
#include "tst_settopmost.moc"
