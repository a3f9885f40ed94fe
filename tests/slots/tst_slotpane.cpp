#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/pictureworkers.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/slotfetch.h"
#include "slots/slotpane.h"
#include "support/offscreenmain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QSemaphore>

#include <memory>

namespace {
enum class Shown { New, Kept, NotFound };
const QByteArray kDateA("Mon, 01 Jan 2024 10:00:00 GMT");
const QByteArray kDateB("Mon, 01 Jan 2024 10:00:05 GMT");

// Keeps every picture worker busy until it goes out of scope: decodes wait in the pool's queue.
// The holding tasks share the semaphore, since some may start only after the release.
class HeldWorkers
{
public:
    HeldWorkers()
    {
        for (int n = 0; n < pictureWorkers()->maxThreadCount(); ++n)
            pictureWorkers()->start([release = m_release] { release->acquire(); });
    }
    ~HeldWorkers() { m_release->release(pictureWorkers()->maxThreadCount()); }

private:
    std::shared_ptr<QSemaphore> m_release = std::make_shared<QSemaphore>();
};

// Lets every decode end and its result reach the window thread.
void finishDecodes()
{
    waitForPictureWork();
    QCoreApplication::sendPostedEvents();
}
} // namespace

// The slot pane's handlers driven directly: layout, controls, fetch start, refresh schedule,
// stop, and the handling of a completed reply. No network here.
class TestSlotPane : public QObject
{
    Q_OBJECT

    SharedState m_state;
    std::unique_ptr<SlotPane> m_pane;

    CameraSlot *slot(int i) const { return m_pane->slot(i); }

    template<typename W = QWidget>
    W *control(int i, const QByteArray &name) const
    {
        return slot(i)->findChild<W *>(QString::fromLatin1(name));
    }

    // A reply as received in one piece, then the server's close. The address has no host, so
    // the start connects nowhere.
    void receive(int i, const QByteArray &reply)
    {
        QVERIFY(slot(i)->fetch()->start(QStringLiteral("/p.jpg")));
        slot(i)->fetch()->receiveBytes(reply);
        m_pane->wsCam_Close(qint16(i));
    }

    // The same, waiting until the reply is handled (a picture is decoded on the workers first).
    void complete(int i, const QByteArray &reply)
    {
        QSignalSpy handled(m_pane.get(), &SlotPane::replyHandled);
        receive(i, reply);
        QVERIFY(!handled.isEmpty() || handled.wait());
    }

    static QByteArray pictureReply(const QByteArray &body,
                                   const QByteArray &headerLine = "Cache-Control: none")
    {
        return CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: image/jpeg", headerLine}, body);
    }

private slots:
    void init()
    {
        m_state = SharedState();
        m_pane = std::make_unique<SlotPane>(m_state);
    }

    // What a screen reader announces for each control a slot shows: never nothing.
    // Hidden fields and cmdStart stay out of the Tab chain: typing blind never edits an address.
    void hiddenControlsTakeNoFocus_data()
    {
        QTest::addColumn<QByteArray>("name");
        for (const char *name :
             {"txtName", "txtAddress", "txtRefresh", "txtUpdated", "txtRefreshed", "cmdStart"})
            QTest::newRow(name) << QByteArray(name);
    }
    void hiddenControlsTakeNoFocus()
    {
        QFETCH(QByteArray, name);
        QCOMPARE(control(5, name)->focusPolicy(), Qt::NoFocus);
    }
    void everyShownControlIsNamed()
    {
        for (QWidget *control : slot(11)->findChildren<QWidget *>()) {
            if (!control->isHidden())
                QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                         qPrintable(control->objectName()));
        }
    }

    void startWithoutConnection()
    {
        // An empty host splits fine but leaves nothing to connect to: the start ends quietly
        // with the previous reply gone, and the timer tries again.
        CameraSlot *s = slot(3);
        s->setCamera("Harbour", "http:///live images/cam 1.jpg",
                     "abc"); // unreadable: the period in force stays
        s->refreshSeconds = s->elapsedSeconds = 12;
        s->fetch()->receiveBytes("partial");
        control<QAbstractButton>(3, "cmdRefresh")->click(); // starts again, the count from 0
        QCOMPARE(s->refreshSeconds, 12);
        QCOMPARE(s->elapsedSeconds, 0);
        QVERIFY(s->isIndicatorShown());
        QVERIFY(s->isRefreshTimerActive());
        QVERIFY(!s->fetch()->hasConnection());
        QCOMPARE(s->fetch()->replyBuffer(), QByteArray());

        m_pane->wsCam_Connect(3);
        QCOMPARE(s->fetch()->requestPath(), QStringLiteral("/live%20images/cam%201.jpg")); // kept for later
    }

    void detailSlot()
    {
        // Slot 0 is the detail slot before any was shown.
        QSignalSpy started(m_pane.get(), &SlotPane::detailFetchStarted);
        m_state.blnFullScreen = true; // the full-screen view hears of starts of the detail slot only
        m_pane->cmdStart_Click(1);
        m_pane->cmdStart_Click(0);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 0);
    }

    void stopAll()
    {
        QSignalSpy stopped(m_pane.get(), &SlotPane::detailSlotStopped);
        m_state.intDetailSlot = 9;
        for (int i : {9, 23}) { // two slots hold a camera; the 22 free ones leave the count alone
            m_pane->loadCam(qint16(i), "Cam", "/p.jpg", "30");
            ++m_state.intOpenCams;
            complete(i, pictureReply(TestPictures::png(8, 8, Qt::blue)));
        }
        // Slot 23 is stopped while its reply arrives: the half reply goes at once.
        slot(23)->fetch()->start(QStringLiteral("/p.jpg"));
        slot(23)->fetch()->receiveBytes(QByteArray(1 << 20, 'x'));
        control<QAbstractButton>(9, "cmdStop")->click(); // the detail slot
        m_pane->cmdStopAll_Click();
        QCOMPARE(m_state.intOpenCams, 0);
        QCOMPARE(m_state.intDetailSlot, -1);
        QCOMPARE(stopped.size(), 1);
        const CameraSlot *s = slot(23);
        QVERIFY(s->isHidden());
        QVERIFY(!s->isRefreshTimerActive());
        QVERIFY(control<QLabel>(23, "imgCam")->pixmap().isNull());
        QCOMPARE(s->fetch()->replyBuffer().capacity(), 0);
    }

    void completion_data()
    {
        // After a picture dated A, a reply dated B (when it has a header).
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("body"); // the picture shown when it is New
        QTest::addColumn<Shown>("shown");
        const QByteArray jpeg = TestPictures::jpeg(160, 120, Qt::red);
        const QByteArray gif = TestPictures::gif(40, 30, Qt::red);
        const QByteArray dated = "Last-Modified: " + kDateB;
        const QByteArray chunked =
            "HTTP/1.1 200 OK\r\nContent-Type: IMAGE/JPEG\r\nTransfer-Encoding: chunked\r\n" + dated +
            "\r\n\r\n" + QByteArray::number(jpeg.size() - 1, 16) + "\r\n" + jpeg.chopped(1) + "\r\n1\r\n" +
            jpeg.right(1) + "\r\n";
        QTest::newRow("404 with image")
            << CamServer::httpReply("HTTP/1.1 404 Not Found", {"Content-Type: image/gif", dated}, gif) << gif
            << Shown::New;
        QTest::newRow("200 html") << CamServer::httpReply("HTTP/1.1 200 OK",
                                                          {"Content-Type: text/html", dated}, "<html></html>")
                                  << QByteArray() << Shown::NotFound;
        QTest::newRow("header only") << pictureReply({}, dated) << QByteArray() << Shown::Kept;
        QTest::newRow("chunked, capital type") << chunked + "0\r\n\r\n" << jpeg << Shown::New;
        QTest::newRow("bad chunks") << chunked + "zz\r\n\r\n" << QByteArray() << Shown::Kept;
        const QByteArray bmp = TestPictures::bmp(64, 48, Qt::green);
        QTest::newRow("cut short of its length")
            << pictureReply(bmp.first(bmp.size() / 2),
                            dated + "\r\nContent-Length: " + QByteArray::number(bmp.size()))
            << QByteArray() << Shown::Kept;
    }

    void completion()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, body);
        QFETCH(Shown, shown);
        CameraSlot *s = slot(7); // not the detail slot
        const QByteArray before = TestPictures::png(8, 8, Qt::blue);
        complete(7, pictureReply(before, "Last-Modified: " + kDateA));
        QSignalSpy detail(m_pane.get(), &SlotPane::detailReplyHandled);
        QSignalSpy changed(m_pane.get(), &SlotPane::changedPictureLoaded);
        s->setIndicatorShown(true);
        complete(7, reply);
        QCOMPARE(detail.size(), 0);
        QVERIFY(!s->isIndicatorShown());
        QCOMPARE(s->picture().kind() == SlotPicture::Kind::NotFound, shown == Shown::NotFound);
        QCOMPARE(s->picture().bytes(), shown == Shown::Kept ? before : body);
        // Only a picture that replaced the one shown is saved as changed.
        QCOMPARE(changed.size(), shown == Shown::New ? 1 : 0);
    }

    void changeDetectionAndSignals()
    {
        // Slot 0 is the detail slot. Auto-save ("changed") sees the new picture, drawing still suspended.
        CameraSlot *s = slot(0);
        QStringList seen;
        const auto record = [&seen](const char *name) { return [&seen, name] { seen.append(name); }; };
        connect(m_pane.get(), &SlotPane::detailPictureLoaded, m_pane.get(), record("detailPicture"));
        connect(m_pane.get(), &SlotPane::detailReplyHandled, m_pane.get(), record("detailReply"));
        connect(m_pane.get(), &SlotPane::replyHandled, m_pane.get(), record("reply"));
        bool drawing = true;
        connect(m_pane.get(), &SlotPane::changedPictureLoaded, m_pane.get(), [&] {
            seen.append("changed");
            drawing = control(0, "imgCam")->updatesEnabled();
        });
        const QByteArray jpeg = TestPictures::jpeg(32, 24);
        const QStringList loaded{"detailPicture", "detailReply", "reply"};
        const QStringList changed{"detailPicture", "changed", "detailReply", "reply"};
        const struct
        {
            QByteArray reply;
            bool stamped;
            QByteArray updated;
            QStringList signalNames;
        } steps[] = {
            {pictureReply(jpeg, "Last-Modified: " + kDateA), true, " " + kDateA, loaded},
            {pictureReply(jpeg, "Last-Modified: " + kDateA), false, " " + kDateA, loaded},
            // A new date on a cut picture is not taken: the whole one that follows is the change.
            {pictureReply(TestPictures::jpeg(40, 24).first(100), "Last-Modified: " + kDateB), false,
             " " + kDateA, loaded},
            {pictureReply(TestPictures::jpeg(40, 24), "Last-Modified: " + kDateB), true, " " + kDateB,
             changed},
            {pictureReply(jpeg), false, " " + kDateB, loaded},
            {CamServer::httpReply("HTTP/1.1 200 OK", {"Last-Modified: x"}, "hi"),
             false,
             " " + kDateB,
             {"detailReply", "reply"}},
            {pictureReply(jpeg, "last-modified: x LAST-MODIFIED: y"), true, " x  y", changed},
        };
        for (const auto &step : steps) {
            seen.clear();
            s->setRefreshedText("marker");
            complete(0, step.reply);
            QCOMPARE(seen, step.signalNames);
            QCOMPARE(s->refreshedText() != "marker", step.stamped);
            QCOMPARE(s->updatedText(), QString::fromLatin1(step.updated));
        }
        QVERIFY(!drawing);
        QCOMPARE(s->lastModified,
                 QStringLiteral("last-modified: x LAST-MODIFIED: y")); // as the server wrote it
    }

    void olderDecodeNeverShown_data()
    {
        QTest::addColumn<QByteArray>("newer"); // the reply that comes while the older one decodes
        QTest::addColumn<QByteArray>("shown"); // what slot 8 shows then
        const QByteArray picture = TestPictures::jpeg(40, 30);
        QTest::newRow("picture") << pictureReply(picture) << picture;
        QTest::newRow("page") << CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html"}, "<p>")
                              << QByteArray();
    }

    void olderDecodeNeverShown()
    {
        QFETCH(QByteArray, newer);
        QFETCH(QByteArray, shown);
        QList<QByteArray> handled; // the picture bytes each handled reply left in the slot
        connect(m_pane.get(), &SlotPane::replyHandled, m_pane.get(),
                [&](int Index) { handled.append(slot(Index)->picture().bytes()); });
        {
            HeldWorkers held;
            receive(8, pictureReply(TestPictures::jpeg(64, 48, Qt::red)));
            QCOMPARE(handled.size(), 0); // nothing of the handling before the picture is back
            receive(8, newer);
        }
        finishDecodes();
        QTRY_COMPARE(handled.size(), 1);
        finishDecodes();
        QCOMPARE(handled, QList<QByteArray>({shown}));
    }

    void decodesOutlastingThePeriod()
    {
        // Each reply comes while the one before decodes: the first is overtaken by the second,
        // the second is still shown though the third overtakes it, then the third.
        QList<QByteArray> handled;
        connect(m_pane.get(), &SlotPane::replyHandled, m_pane.get(),
                [&](int Index) { handled.append(slot(Index)->picture().bytes()); });
        const QByteArray second = TestPictures::jpeg(40, 30, Qt::green);
        const QByteArray third = TestPictures::jpeg(40, 30, Qt::blue);
        {
            HeldWorkers held;
            receive(8, pictureReply(TestPictures::jpeg(40, 30, Qt::red)));
            receive(8, pictureReply(second));
        }
        waitForPictureWork(); // the first is decoded; its result has not come back
        {
            HeldWorkers held;
            QCoreApplication::sendPostedEvents(); // the second waits for a worker
            receive(8, pictureReply(third));
        }
        finishDecodes();
        QTRY_COMPARE(handled.size(), 2);
        QCOMPARE(handled, QList<QByteArray>({second, third}));
    }

    void stoppedWhileDecoding()
    {
        QSignalSpy handled(m_pane.get(), &SlotPane::replyHandled);
        {
            HeldWorkers held;
            for (int i : {1, 2, 3}) {
                m_pane->loadCam(qint16(i), "Cam", "/p.jpg", "30");
                receive(i, pictureReply(TestPictures::jpeg(64, 48)));
            }
            m_pane->cmdStop_Click(1);
            m_pane->cmdStopAll_Click();
        }
        finishDecodes();
        QCOMPARE(handled.size(), 0);
        for (int i : {1, 2, 3})
            QVERIFY(slot(i)->picture().isBlank());
        {
            HeldWorkers held; // the program closes while a decode runs
            receive(4, pictureReply(TestPictures::jpeg(64, 48)));
            m_pane.reset();
        }
        finishDecodes();
    }

    void laterFetchKeepsItsIndicator()
    {
        // A picture that comes back after the next fetch started leaves that fetch's indicator.
        QSignalSpy handled(m_pane.get(), &SlotPane::replyHandled);
        {
            HeldWorkers held;
            receive(6, pictureReply(TestPictures::jpeg(40, 30)));
            m_pane->cmdStart_Click(6);
        }
        QVERIFY(handled.wait());
        QVERIFY(slot(6)->isIndicatorShown());
    }

    void reusedForAnotherCamera()
    {
        QSignalSpy handled(m_pane.get(), &SlotPane::replyHandled);
        const QByteArray next = TestPictures::jpeg(40, 30);
        {
            HeldWorkers held;
            m_pane->loadCam(5, "Old", "/old.jpg", "30");
            receive(5, pictureReply(TestPictures::jpeg(64, 48, Qt::red)));
            m_pane->cmdStop_Click(5);
            m_pane->loadCam(5, "New", "/new.jpg", "30");
            receive(5, pictureReply(next));
        }
        QVERIFY(handled.wait());
        finishDecodes();
        QCOMPARE(handled.size(), 1);
        QCOMPARE(slot(5)->picture().bytes(), next);
    }

    void refreshesKeepTheirOwnPhase()
    {
        // 24 slots opened 40 ms apart with a 1 s refresh (nothing to connect to): each keeps
        // fetching at its own moment of the second instead of in a few bunches.
        constexpr int kGapMs = 40;
        QElapsedTimer clock;
        QList<QList<qint64>> ticks(SlotPane::kSlotCount);
        for (int i = 0; i < SlotPane::kSlotCount; ++i)
            connect(slot(i), &CameraSlot::timerTicked, m_pane.get(),
                    [&, i] { ticks[i].append(clock.elapsed()); });
        QTimer opener;
        opener.setTimerType(Qt::PreciseTimer);
        int opened = 0;
        connect(&opener, &QTimer::timeout, m_pane.get(), [&] {
            m_pane->loadCam(qint16(opened), "Cam", "/p.jpg", "1");
            if (++opened == SlotPane::kSlotCount)
                opener.stop();
        });
        clock.start();
        opener.start(kGapMs);
        // A coarse timer restarted at each tick drifts to the same few moments within a few seconds.
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(ticks.cbegin(), ticks.cend(), [](const QList<qint64> &t) { return t.size() >= 4; }),
            10000);
        QList<qint64> moments; // each slot's fourth tick, in ms
        for (const QList<qint64> &t : ticks)
            moments.append(t.at(3));
        std::sort(moments.begin(), moments.end());
        int distinct = 1;
        for (qsizetype n = 1; n < moments.size(); ++n)
            distinct += moments[n] - moments[n - 1] > kGapMs / 4 ? 1 : 0;
        QVERIFY2(distinct >= SlotPane::kSlotCount * 2 / 3, qPrintable(QString::number(distinct)));
    }
};

VANTORA_WIDGET_TEST_MAIN(TestSlotPane)
#include "tst_slotpane.moc"
