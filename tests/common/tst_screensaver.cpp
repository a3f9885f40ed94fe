#include "common/screensaver.h"
#include "support/privatesessionbus.h"

#include <QtTest>

// The screen saver inhibition against a stand-in service on a bus of the test's own.
class TestScreenSaver : public QObject
{
    Q_OBJECT

    PrivateSessionBus m_bus; // before anything asks for the session bus

private slots:
    void inhibitionTakenOnceAndReleasedByItsCookie()
    {
        QVERIFY(!m_bus.address().isEmpty());
        ScreenSaverStandIn standIn(m_bus.address());
        QVERIFY(standIn.start());
        SetScreenSaverActive(false);
        SetScreenSaverActive(false); // still the one inhibition
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit"}));
        SetScreenSaverActive(true);
        SetScreenSaverActive(true); // nothing held any more
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit", "UnInhibit 41"}));

        // Released before the answer came: the cookie is given back as soon as it arrives.
        SetScreenSaverActive(false);
        SetScreenSaverActive(true);
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit", "UnInhibit 41", "Inhibit", "UnInhibit 42"}));
    }

    // The wall and the full-screen view over it: neither gives back what the other still holds.
    // A marker call on the same connection shows when the release was sent.
    void holdersReleaseOnlyTheirOwn()
    {
        ScreenSaverStandIn standIn(m_bus.address());
        QVERIFY(standIn.start());
        SetScreenSaverActive(false, ScreenSaverHolder::CameraWall);
        QTRY_VERIFY(screenSaverInhibitionHeld());
        SetScreenSaverActive(false, ScreenSaverHolder::FullScreenView);
        SetScreenSaverActive(true, ScreenSaverHolder::FullScreenView);
        QVERIFY(screenSaverInhibitionHeld());
        QDBusConnection::sessionBus().send(
            QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                           "org.freedesktop.ScreenSaver", "SimulateUserActivity"));
        SetScreenSaverActive(true, ScreenSaverHolder::CameraWall);
        QVERIFY(!screenSaverInhibitionHeld());
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit", "SimulateUserActivity", "UnInhibit 41"}));
    }

    void withoutServiceNothingHappens()
    {
        // The stand-in is gone: the bus answers "no such service", quietly.
        QVERIFY(SetScreenSaverActive(false));
        QVERIFY(SetScreenSaverActive(true));
    }
};

QTEST_GUILESS_MAIN(TestScreenSaver)
#include "tst_screensaver.moc"
