#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/pictureworkers.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/fetchoutcome.h"
#include "slots/slotfetch.h"
#include "slots/slotpane.h"
#include "support/heldworkers.h"
#include "support/noisyscene.h"
#include "support/offscreenmain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include <memory>

namespace {
const QByteArray kDateA("Mon, 01 Jan 2024 10:00:00 GMT");
const QByteArray kDateB("Mon, 01 Jan 2024 10:00:05 GMT");
} // namespace

// The slot pane's handlers driven directly; no network here.
class TestSlotPane : public QObject
{
    Q_OBJECT

    SharedState m_state;
    std::unique_ptr<SlotPane> m_pane;
    QList<QByteArray> m_handled; // the picture bytes each handled reply left in its slot

    CameraSlot *slot(int i) const { return m_pane->slot(i); }
    QWidget *control(int i, const char *name) const
    {
        return slot(i)->findChild<QWidget *>(QString::fromLatin1(name));
    }

    // A whole reply, then the server's close; the address has no host, so nothing connects.
    void receive(int i, const QByteArray &reply)
    {
        QVERIFY(slot(i)->fetch()->start(QStringLiteral("/p.jpg")));
        slot(i)->fetch()->receiveBytes(reply);
        m_pane->wsCam_Close(qint16(i));
    }
    void complete(int i, const QByteArray &reply)
    {
        const qsizetype before = m_handled.size();
        receive(i, reply);
        QTRY_VERIFY(m_handled.size() > before);
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
        m_handled.clear();
        connect(m_pane.get(), &SlotPane::replyHandled, m_pane.get(),
                [this](int i) { m_handled.append(slot(i)->picture().bytes()); });
    }

    // Typing blind never edits an address; a screen reader never announces nothing.
    void focusAndNames()
    {
        for (const char *name :
             {"txtName", "txtAddress", "txtRefresh", "txtUpdated", "txtRefreshed", "cmdStart"})
            QVERIFY2(control(5, name)->focusPolicy() == Qt::NoFocus, name);
        for (QWidget *c : slot(11)->findChildren<QWidget *>()) {
            if (!c->isHidden())
                QVERIFY2(!QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name).isEmpty(),
                         qPrintable(c->objectName()));
        }
    }

    // The indicator covers the middle of the picture: pointing there, or asking a screen reader
    // about it, tells why the slot shows what it shows.
    void indicatorTellsWhatThePictureTells_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("failed") << "failed";
        QTest::newRow("failed, then a picture") << "picture";
        QTest::newRow("failed, then stopped") << "stopped";
    }
    void indicatorTellsWhatThePictureTells()
    {
        QFETCH(QString, step);
        m_pane->loadCam(4, "Cam", "/p.jpg", "30");
        m_pane->wsCam_Error(4, FetchOutcome{FetchOutcome::Kind::HostNotFound, {}});
        if (step == u"picture")
            complete(4, pictureReply(TestPictures::png(8, 8, Qt::blue)));
        else if (step == u"stopped")
            m_pane->cmdStop_Click(4);
        QWidget *picture = control(4, "imgCam");
        QWidget *indicator = control(4, "imgRefresh");
        QCOMPARE(picture->toolTip().isEmpty(), step == u"stopped");
        QCOMPARE(indicator->toolTip(), picture->toolTip());
        QCOMPARE(indicator->accessibleDescription(), picture->accessibleDescription());
    }

    // Each shown slot's picture is in the Tab chain, skipping free slots, and is scrolled into
    // sight; Enter or Space on it opens the detail view as a click does.
    void keyboardReachesThePictures()
    {
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowActive(m_pane.get()));
        for (int i : {2, 20})
            m_pane->loadCam(qint16(i), "Cam", "/p.jpg", "30");
        control(2, "imgCam")->setFocus(Qt::TabFocusReason);
        QStringList chain;
        for (int n = 0; n < 3; ++n) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focused = QApplication::focusWidget();
            chain << QString::number(qobject_cast<CameraSlot *>(focused->parentWidget())->index()) + ' ' +
                    focused->objectName();
        }
        QCOMPARE(chain, QStringList({"2 cmdRefresh", "2 cmdStop", "20 imgCam"}));
        auto *window = m_pane->findChild<QWidget *>("picWindowOuter");
        const QRect shown(slot(20)->mapTo(window, QPoint(0, 0)), slot(20)->size());
        QVERIFY(window->rect().contains(shown));

        QSignalSpy opened(m_pane.get(), &SlotPane::imgCam_Click);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A})
            QTest::keyClick(control(20, "imgCam"), key);
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened.at(2).at(0).toInt(), 20);
    }

    // The wheel anywhere over the slots turns the pane's scroll bar.
    void wheelOverTheSlots_data()
    {
        QTest::addColumn<QString>("over"); // a control of slot 0, or the pane's inner window
        QTest::newRow("picture") << "imgCam";
        QTest::newRow("progress bar") << "prgCam";
        QTest::newRow("refresh button") << "cmdRefresh";
        QTest::newRow("between the slots") << "picWindowInner";
    }
    void wheelOverTheSlots()
    {
        QFETCH(QString, over);
        m_pane->loadCam(0, "Cam", "/p.jpg", "30");
        QWidget *target = control(0, qPrintable(over));
        if (target == nullptr)
            target = m_pane->findChild<QWidget *>(over);
        auto *bar = m_pane->findChild<QScrollBar *>("VScroll1");
        auto *inner = m_pane->findChild<QWidget *>("picWindowInner");
        const int innerTop = inner->y();
        QWheelEvent down(QPointF(2, 2), target->mapToGlobal(QPointF(2, 2)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &down);
        const int expected = std::min(bar->maximum(), QApplication::wheelScrollLines() * bar->singleStep());
        QCOMPARE(bar->value(), expected);
        QCOMPARE(inner->y(), innerTop - expected);
    }

    void startWithoutConnection()
    {
        CameraSlot *s = slot(3);
        s->setCamera("Harbour", "http:///cam.jpg", "abc"); // unreadable period: kept
        s->refreshSeconds = s->elapsedSeconds = 12;
        s->fetch()->receiveBytes("partial");
        qobject_cast<QAbstractButton *>(control(3, "cmdRefresh"))->click();
        QCOMPARE(s->refreshSeconds, 12);
        QCOMPARE(s->elapsedSeconds, 0);
        QVERIFY(s->isRefreshTimerActive() && !s->fetch()->hasConnection());
        QCOMPARE(s->fetch()->replyBuffer(), QByteArray());
    }

    void detailSlot()
    {
        QSignalSpy started(m_pane.get(), &SlotPane::detailFetchStarted);
        m_state.blnFullScreen = true; // hears of starts of the detail slot (0 at first) only
        m_pane->cmdStart_Click(1);
        m_pane->cmdStart_Click(0);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 0);
    }

    void stopAll()
    {
        QSignalSpy stopped(m_pane.get(), &SlotPane::detailSlotStopped);
        m_state.intDetailSlot = 9;
        for (int i : {9, 23}) { // the 22 free slots leave the count alone
            m_pane->loadCam(qint16(i), "Cam", "/p.jpg", "30");
            ++m_state.intOpenCams;
            complete(i, pictureReply(TestPictures::png(8, 8, Qt::blue)));
        }
        slot(23)->fetch()->start(QStringLiteral("/p.jpg")); // stopped mid-reply: the half reply goes
        slot(23)->fetch()->receiveBytes(QByteArray(1 << 20, 'x'));
        qobject_cast<QAbstractButton *>(control(9, "cmdStop"))->click();
        m_pane->cmdStopAll_Click();
        QCOMPARE(m_state.intOpenCams, 0);
        QCOMPARE(m_state.intDetailSlot, -1);
        QCOMPARE(stopped.size(), 1);
        QVERIFY(slot(23)->isHidden() && !slot(23)->isRefreshTimerActive());
        QVERIFY(qobject_cast<QLabel *>(control(23, "imgCam"))->pixmap().isNull());
        QCOMPARE(slot(23)->fetch()->replyBuffer().capacity(), 0);
    }

    void completion_data()
    {
        QTest::addColumn<QByteArray>("reply"); // after a picture dated A, dated B
        QTest::addColumn<QByteArray>("shown"); // empty: the picture before stays
        const QByteArray jpeg = TestPictures::jpeg(160, 120, Qt::red);
        const QByteArray gif = TestPictures::gif(40, 30, Qt::red);
        const QByteArray dated = "Last-Modified: " + kDateB;
        QTest::newRow("404 with image")
            << CamServer::httpReply("HTTP/1.1 404 Not Found", {"Content-Type: image/gif", dated}, gif) << gif;
        QTest::newRow("chunked, capital type")
            << "HTTP/1.1 200 OK\r\nContent-Type: IMAGE/JPEG\r\nTransfer-Encoding: chunked\r\n" + dated +
                "\r\n\r\n" + QByteArray::number(jpeg.size(), 16) + "\r\n" + jpeg + "\r\n0\r\n\r\n"
            << jpeg;
        QTest::newRow("cut short of its length")
            << pictureReply(jpeg.first(jpeg.size() / 2),
                            dated + "\r\nContent-Length: " + QByteArray::number(jpeg.size()))
            << QByteArray();
    }
    void completion()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, shown);
        CameraSlot *s = slot(7); // not the detail slot
        const QByteArray before = TestPictures::png(8, 8, Qt::blue);
        complete(7, pictureReply(before, "Last-Modified: " + kDateA));
        QSignalSpy detail(m_pane.get(), &SlotPane::detailReplyHandled);
        QSignalSpy changed(m_pane.get(), &SlotPane::changedPictureLoaded);
        s->setIndicatorShown(true);
        complete(7, reply);
        QCOMPARE(detail.size(), 0);
        QVERIFY(!s->isIndicatorShown());
        QCOMPARE(s->picture().bytes(), shown.isEmpty() ? before : shown);
        QCOMPARE(changed.size(), shown.isEmpty() ? 0 : 1);
    }

    void changeDetectionAndSignals()
    {
        CameraSlot *s = slot(0); // the detail slot
        QStringList seen;
        const auto record = [&seen](const char *name) { return [&seen, name] { seen.append(name); }; };
        connect(m_pane.get(), &SlotPane::detailPictureLoaded, m_pane.get(), record("detailPicture"));
        connect(m_pane.get(), &SlotPane::detailReplyHandled, m_pane.get(), record("detailReply"));
        connect(m_pane.get(), &SlotPane::replyHandled, m_pane.get(), record("reply"));
        bool drawing = true; // auto-save sees the new picture with drawing still suspended
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
        QCOMPARE(s->lastModified, QStringLiteral("last-modified: x LAST-MODIFIED: y"));
    }

    // A reply with the bytes the slot shows is not decoded again; everything else about its
    // handling is as for a decoded one. One byte different, at the same length, is decoded.
    void sameBytesNotDecodedAgain_data()
    {
        QTest::addColumn<bool>("oneByteDifferent");
        QTest::addColumn<bool>("newDate");
        QTest::addColumn<int>("decodes");
        QTest::addColumn<QStringList>("signalNames");
        const QStringList loaded{"detailPicture", "detailReply", "reply"};
        const QStringList changed{"detailPicture", "changed", "detailReply", "reply"};
        QTest::newRow("the same bytes") << false << false << 0 << loaded;
        QTest::newRow("the same bytes, a new date") << false << true << 0 << changed;
        QTest::newRow("the same length, one byte different") << true << false << 1 << loaded;
    }
    void sameBytesNotDecodedAgain()
    {
        QFETCH(bool, oneByteDifferent);
        QFETCH(bool, newDate);
        CameraSlot *s = slot(0); // the detail slot
        const QByteArray jpeg = TestPictures::jpeg(64, 48);
        QCOMPARE(jpeg.mid(6, 5), QByteArray("JFIF\0", 5));
        QByteArray again(jpeg.constData(), jpeg.size()); // received anew, not shared
        if (oneByteDifferent)
            again[15] = char(again[15] ^ 1); // the header's pixel density: the same picture
        complete(0, pictureReply(jpeg, "Last-Modified: " + kDateA));
        const quint64 serial = s->picture().serial();
        QStringList seen;
        for (auto signal : {&SlotPane::detailPictureLoaded, &SlotPane::changedPictureLoaded,
                            &SlotPane::detailReplyHandled, &SlotPane::replyHandled}) {
            const char *name = signal == &SlotPane::detailPictureLoaded ? "detailPicture"
                : signal == &SlotPane::changedPictureLoaded             ? "changed"
                : signal == &SlotPane::detailReplyHandled               ? "detailReply"
                                                                        : "reply";
            connect(m_pane.get(), signal, m_pane.get(), [&seen, name] { seen.append(name); });
        }
        s->setRefreshedText("marker");
        s->setIndicatorShown(true);
        const quint64 decodesBefore = SlotPicture::decodeCount();
        complete(0, pictureReply(again, "Last-Modified: " + (newDate ? kDateB : kDateA)));
        QTEST(int(SlotPicture::decodeCount() - decodesBefore), "decodes");
        QTEST(seen, "signalNames");
        QCOMPARE(s->picture().serial() == serial, !oneByteDifferent);
        QCOMPARE(s->picture().bytes(), again);
        QVERIFY(!s->isIndicatorShown());
        QCOMPARE(s->updatedText(), QString::fromLatin1(" " + (newDate ? kDateB : kDateA)));
        QCOMPARE(s->refreshedText() == "marker", !newDate);
        QCOMPARE(s->fetchNote().endsWith(u"new picture (server date)"), newDate);
        QCOMPARE(s->failuresInRow(), 0);
    }

    // A picture kept for the same bytes does not hold on to a view image no view shows any more.
    void keptPictureDropsAnUnshownViewImage()
    {
        const QByteArray jpeg = TestPictures::jpeg(400, 300);
        m_pane->setViewBox(9, QSize(200, 150));
        complete(9, pictureReply(jpeg));
        QCOMPARE(slot(9)->picture().viewImage().size(), QSize(200, 150));
        const quint64 serial = slot(9)->picture().serial();
        const quint64 decodes = SlotPicture::decodeCount();
        complete(9, pictureReply(jpeg)); // the view still open: kept whole
        QCOMPARE(slot(9)->picture().viewImage().size(), QSize(200, 150));
        m_pane->setViewBox(9, QSize());
        complete(9, pictureReply(jpeg)); // the view closed
        QCOMPARE(SlotPicture::decodeCount(), decodes);
        QCOMPARE(slot(9)->picture().serial(), serial);
        QVERIFY(slot(9)->picture().viewImage().isNull());
    }

    // Replies with a date are judged by it in every state; without one by the state chosen, and
    // never as a camera's first picture. The tool tip says what decided.
    void changeByRule_data()
    {
        QTest::addColumn<int>("detection"); // ChangeDetection
        QTest::addColumn<QList<int>>("reasons"); // ChangeReason of each step in changeByRule
        using R = ChangeReason;
        const int none = int(R::None);
        const int date = int(R::ServerDate);
        QTest::newRow("off") << int(ChangeDetection::Off) << QList<int>{none, none, none, none, none, date};
        QTest::newRow("bytes") << int(ChangeDetection::Bytes)
                               << QList<int>{none, int(R::BytesChanged), none, none, none, date};
        QTest::newRow("picture") << int(ChangeDetection::Picture)
                                 << QList<int>{none, int(R::PictureChanged), none, none, none, date};
    }
    void changeByRule()
    {
        QFETCH(int, detection);
        QFETCH(QList<int>, reasons);
        m_pane->setChangeDetection(ChangeDetection(detection));
        const QByteArray one = TestPictures::jpeg(64, 48, Qt::red);
        const QByteArray two = TestPictures::jpeg(64, 48, Qt::blue);
        const QByteArray three = TestPictures::jpeg(64, 48, Qt::green);
        const QByteArray dateA = "Last-Modified: " + kDateA;
        const QByteArray dateB = "Last-Modified: " + kDateB;
        const QList<QByteArray> steps{
            pictureReply(one), // the first picture
            pictureReply(two), // other bytes, another picture, no date
            pictureReply(two), // the same bytes
            pictureReply(three, dateA), // the first date
            pictureReply(one, dateA), // the same date, other bytes
            pictureReply(one, dateB), // a new date, the same bytes
        };
        QSignalSpy changed(m_pane.get(), &SlotPane::changedPictureLoaded);
        m_pane->loadCam(6, "Cam", "/p.jpg", "30");
        CameraSlot *s = slot(6);
        for (qsizetype n = 0; n < steps.size(); ++n) {
            changed.clear();
            s->setRefreshedText("marker");
            complete(6, steps[n]);
            const auto reason = ChangeReason(reasons[n]);
            const bool isNew = reason != ChangeReason::None;
            QCOMPARE(changed.size(), int(isNew));
            QCOMPARE(s->pictureChanged, isNew);
            const QString note =
                isNew ? "new picture (" + changeReasonDetail(reason) + ')' : "picture received";
            QVERIFY2(s->fetchNote().endsWith(note), qPrintable(s->fetchNote()));
            QCOMPARE(s->refreshedText() != "marker", isNew || n == 3); // the first date stamps too
        }
    }

    // A camera's first picture in a slot is never new, whether the slot held it before or
    // another camera, or the camera was open in another slot.
    void reopenedCameraStartsFresh()
    {
        m_pane->setChangeDetection(ChangeDetection::Bytes);
        QSignalSpy changed(m_pane.get(), &SlotPane::changedPictureLoaded);
        m_pane->loadCam(2, "Harbour", "/p.jpg", "30");
        complete(2, pictureReply(TestPictures::jpeg(64, 48, Qt::red)));
        complete(2, pictureReply(TestPictures::jpeg(64, 48, Qt::blue)));
        QCOMPARE(changed.size(), 1);
        m_pane->cmdStop_Click(2);
        m_pane->loadCam(5, "Harbour", "/p.jpg", "30");
        complete(5, pictureReply(TestPictures::jpeg(64, 48, Qt::green)));
        m_pane->loadCam(2, "Garden", "/p.jpg", "30");
        complete(2, pictureReply(TestPictures::jpeg(64, 48, Qt::yellow)));
        QCOMPARE(changed.size(), 1);
        complete(2, pictureReply(TestPictures::jpeg(64, 48, Qt::red)));
        QCOMPARE(changed.size(), 2);
    }

    // By the picture: a still scene with sensor noise, encoded again frame by frame, is never a
    // new picture (by the bytes every frame is); a moving object is, frame after frame.
    void visibleChangeOfGeneratedCameras_data()
    {
        QTest::addColumn<int>("detection");
        QTest::addColumn<int>("objectDiameter"); // of the 640 x 480 scene; 0: a still scene
        QTest::addColumn<int>("changes"); // of the 5 frames after the first
        QTest::newRow("still, by the picture") << int(ChangeDetection::Picture) << 0 << 0;
        QTest::newRow("still, by the bytes") << int(ChangeDetection::Bytes) << 0 << 5;
        QTest::newRow("moving object, by the picture") << int(ChangeDetection::Picture) << 48 << 5;
    }
    void visibleChangeOfGeneratedCameras()
    {
        QFETCH(int, detection);
        QFETCH(int, objectDiameter);
        m_pane->setChangeDetection(ChangeDetection(detection));
        NoisyScene::Options options;
        options.objectDiameter = objectDiameter;
        const NoisyScene scene(options);
        QSignalSpy changed(m_pane.get(), &SlotPane::changedPictureLoaded);
        m_pane->loadCam(4, "Cam", "/p.jpg", "30");
        for (int n = 0; n < 6; ++n)
            complete(4, pictureReply(scene.frame(n)));
        QTEST(int(changed.size()), "changes");
    }

    void olderDecodeNeverShownAfterAPage()
    {
        {
            HeldWorkers held;
            receive(8, pictureReply(TestPictures::jpeg(64, 48, Qt::red)));
            QCOMPARE(m_handled.size(), 0);
            receive(8, CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html"}, "<p>"));
        }
        finishDecodes();
        QTRY_COMPARE(m_handled.size(), 1);
        finishDecodes();
        QCOMPARE(m_handled, QList<QByteArray>({QByteArray()}));
    }

    // Each reply comes while the one before decodes: the first is overtaken, the second is still
    // shown though the third overtakes it, then the third.
    void decodesOutlastingThePeriod()
    {
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
        QTRY_COMPARE(m_handled.size(), 2);
        QCOMPARE(m_handled, QList<QByteArray>({second, third}));
    }

    void stoppedOrReusedWhileDecoding()
    {
        const QByteArray next = TestPictures::jpeg(40, 30);
        {
            HeldWorkers held;
            for (int i : {1, 2, 3}) {
                m_pane->loadCam(qint16(i), "Cam", "/p.jpg", "30");
                receive(i, pictureReply(TestPictures::jpeg(64, 48)));
            }
            m_pane->cmdStop_Click(1);
            m_pane->cmdStopAll_Click();
            m_pane->loadCam(1, "New", "/new.jpg", "30");
            receive(1, pictureReply(next));
        }
        QTRY_COMPARE(m_handled.size(), 1);
        finishDecodes();
        QCOMPARE(m_handled, QList<QByteArray>({next}));
        QVERIFY(slot(2)->picture().isBlank() && slot(3)->picture().isBlank());
        {
            HeldWorkers held; // the program closes while a decode runs
            receive(4, pictureReply(TestPictures::jpeg(64, 48)));
            m_pane.reset();
        }
        finishDecodes();
    }

    void laterFetchKeepsItsIndicator()
    {
        {
            HeldWorkers held;
            receive(6, pictureReply(TestPictures::jpeg(40, 30)));
            m_pane->cmdStart_Click(6);
        }
        QTRY_COMPARE(m_handled.size(), 1);
        QVERIFY(slot(6)->isIndicatorShown());
    }

    // 24 slots opened 40 ms apart with a 1 s refresh each keep their own moment of the second; a
    // coarse timer restarted at each tick drifts into a few bunches.
    void refreshesKeepTheirOwnPhase()
    {
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
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(ticks.cbegin(), ticks.cend(), [](const QList<qint64> &t) { return t.size() >= 4; }),
            10000);
        QList<qint64> moments; // each slot's fourth tick
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
