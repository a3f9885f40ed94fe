#include "pictureinfo/savedname.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Names of pictures saved without metadata, told apart from other files and between cameras.
class TestSavedName : public QObject
{
    Q_OBJECT

private slots:
    void camera_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QStringList>("cameras");
        QTest::addColumn<QString>("camera");

        const QStringList cams{"Cam", "Cam1", "Front Door"};
        QTest::newRow("US date, AM/PM") << "FrontDoor12526125202PM.jpg" << cams << "Front Door";
        QTest::newRow("second in one second") << "FrontDoor12526125202PM (2).jpg" << cams << "Front Door";
        QTest::newRow("twelfth") << "FrontDoor12526125202PM (12).jpg" << cams << "Front Door";
        QTest::newRow("numbered 1 is never made") << "FrontDoor12526125202PM (1).jpg" << cams << "";
        QTest::newRow("numbered 02") << "FrontDoor12526125202PM (02).jpg" << cams << "";
        QTest::newRow("numbered badly") << "FrontDoor12526125202PM (x).jpg" << cams << "";
        QTest::newRow("German") << "Cam105.01.26130203.jpg" << cams << "Cam1";
        QTest::newRow("ISO date") << "Cam2026-01-05130203.jpg" << cams << "Cam";
        QTest::newRow("a.m.") << "Cam512610203a.m..jpg" << cams << "Cam";
        QTest::newRow("Arabic digits")
            << u"Cam\u0665\u200F\u0661\u200F\u0662\u0660\u0662\u0666\u0661\u0660\u0662\u0660\u0663\u0645.jpg"_s
            << cams << "Cam";
        // Cam1's picture of 1/25/26 or Cam's of 11/25/26: the longer name wins, in any order.
        QTest::newRow("Cam and Cam1") << "Cam112526125202PM.jpg" << cams << "Cam1";
        QTest::newRow("Cam1 and Cam") << "Cam112526125202PM.jpg" << QStringList{"Cam1", "Cam"} << "Cam1";
        QTest::newRow("only Cam in the list") << "Cam112526125202PM.jpg" << QStringList{"Cam"} << "Cam";
        QTest::newRow("Cam's of January taken for Cam1's") << "Cam12526125202PM.jpg" << cams << "Cam1";
        QTest::newRow("Cam's with a date of 2") << "Cam22526125202PM.jpg" << cams << "Cam";

        QTest::newRow("colon and slash of the name")
            << "HafenNord212526125202PM.jpg" << QStringList{"Hafen/Nord:2"} << "Hafen/Nord:2";
        // The name's two colons leave one of the time's.
        QTest::newRow("time keeps a colon") << "ABC125261252:02PM.jpg" << QStringList{"A:B:C"} << "A:B:C";

        QTest::newRow("other camera") << "Yard12526125202PM.jpg" << cams << "";
        QTest::newRow("no camera") << "12526125202PM.jpg" << cams << "";
        QTest::newRow("blank camera never matches") << "12526125202PM.jpg" << QStringList{"  ", ""} << "";
        QTest::newRow("case differs") << "cam12526125202PM.jpg" << cams << "";
        QTest::newRow("too few digits") << "Cam12345PM.jpg" << cams << "";
        QTest::newRow("word after the camera") << "CamHoliday2026010513.jpg" << cams << "";
        QTest::newRow("two markers") << "Cam12526PM125202PM.jpg" << cams << "";
        QTest::newRow("word for a marker") << "Cam12526125202Evening.jpg" << cams << "";
        QTest::newRow("underscore") << "Cam_20260105_130203.jpg" << cams << "";
        QTest::newRow("copy of a saved one") << "Cam12526125202PM copy.jpg" << cams << "";
        QTest::newRow("other extension") << "Cam12526125202PM.jpeg" << cams << "";
        QTest::newRow("capital extension") << "Cam12526125202PM.JPG" << cams << "";
        QTest::newRow("temporary of a save") << ".saving-Ab12Cd.tmp" << cams << "";
        QTest::newRow("empty") << "" << cams << "";
    }

    void camera()
    {
        QFETCH(QString, fileName);
        QFETCH(QStringList, cameras);
        QFETCH(QString, camera);
        QCOMPARE(savedNameCamera(fileName, cameras), camera);
    }

    void prefix_data()
    {
        QTest::addColumn<QString>("camera");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("blanks") << " Front  Door "
                                << "FrontDoor";
        QTest::newRow("two slashes, three colons") << "a/b/c/d:e:f:g:h"
                                                   << "abc/defg:h";
    }

    void prefix()
    {
        QFETCH(QString, camera);
        QFETCH(QString, prefix);
        QCOMPARE(savedNamePrefix(camera), prefix);
    }
};

QTEST_GUILESS_MAIN(TestSavedName)
#include "tst_savedname.moc"
