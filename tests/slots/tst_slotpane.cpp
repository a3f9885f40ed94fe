#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/clickableimage.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/offscreenmain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include <memory>

// The slot pane's handlers called directly: layout, fetch start, refresh schedule, stop, and
// the handling of a completed reply. No network here.
class TestSlotPane : public QObject
{
    Q_OBJECT

    SharedState m_state;
    std::unique_ptr<SlotPane> m_pane;

    CameraSlot *slot(int i) const { return m_pane->slot(i); }

    // A reply as received, handled as at the server's close.
    void complete(int i, const QByteArray &reply)
    {
        slot(i)->replyBuffer = reply;
        m_pane->wsCam_Close(qint16(i));
    }

    static QByteArray pictureReply(const QByteArray &body,
                                   const QByteArray &headerLine = "Cache-Control: no-cache")
    {
        return CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: image/jpeg", headerLine}, body);
    }

private slots:
    void init()
    {
        m_state = SharedState();
        m_pane = std::make_unique<SlotPane>(m_state);
    }

    void lookAndLayout()
    {
        const CameraSlot *s = slot(23);
        QCOMPARE(QStringList({m_pane->title(), s->title(), s->txtRefresh->text(), s->cmdStart->text(),
                              s->cmdRefresh->toolTip(), s->cmdStop->toolTip()}),
                 QStringList({"Webcams", "[WebCam]", "30", "start", "Refresh", "Stop"}));
        // The last slot in the grid, its picture, and its start button out of sight below the frame.
        QCOMPARE(QList<QRect>({s->geometry(), s->imgCam->geometry(), s->cmdStart->geometry()}),
                 QList<QRect>({QRect(120, 1456, 109, 129), QRect(12, 16, 85, 64), QRect(8, 292, 93, 17)}));
        m_pane->VScroll1()->setValue(133); // 2000 twips: the second row of slots at the top
        QCOMPARE(m_pane->picWindowInner()->pos(), QPoint(-2, -135));
    }

    void startWithoutConnection()
    {
        // An empty host splits fine but leaves nothing to connect to: the start ends quietly with
        // the previous reply gone, and the timer tries again.
        CameraSlot *s = slot(3);
        s->txtName->setText("Harbour");
        s->txtAddress->setText("http:///p.jpg");
        s->txtRefresh->setText("abc"); // unreadable: the period in force stays
        s->refreshSeconds = s->elapsedSeconds = 12;
        s->replyBuffer = "partial";
        s->cmdRefresh->click(); // starts again, the count from 0
        QCOMPARE(
            QStringList({s->title(), QString::number(s->refreshSeconds), QString::number(s->elapsedSeconds),
                         s->imgRefresh->isHidden() ? "hidden" : "shown",
                         s->timRefresh->isActive() ? "on" : "off", s->wsCam ? "socket" : "none",
                         s->replyBuffer})
                .join('|'),
            QString("Harbour|12|0|shown|on|none|")); // title, period, count, indicator, timer, socket, reply

        for (const char *refresh : {"0", "-3"}) { // no positive period: every tick starts again
            s->txtRefresh->setText(refresh);
            m_pane->cmdStart_Click(3);
            s->imgRefresh->hide();
            m_pane->timRefresh_Timer(3);
            QVERIFY(s->elapsedSeconds == 0 && !s->imgRefresh->isHidden() && s->timRefresh->isActive());
        }

        s->requestPath = "/live images/cam 1.jpg";
        m_pane->wsCam_Connect(3);
        QCOMPARE(s->requestPath, QString("/live%20images/cam%201.jpg")); // stored back for later fetches
    }

    void detailSlot()
    {
        QSignalSpy ticks(m_pane.get(), &SlotPane::detailTick);
        QSignalSpy started(m_pane.get(), &SlotPane::detailFetchStarted);
        m_pane->cmdStart_Click(0); // slot 0 is the detail slot before any was shown
        for (int n = 0; n < 31; ++n) // the 30th tick starts the next fetch
            m_pane->timRefresh_Timer(0);
        m_pane->timRefresh_Timer(1);
        QCOMPARE(QVariantList({ticks.size(), ticks.at(0).at(1), ticks.at(29).at(1), ticks.at(30).at(0),
                               ticks.at(30).at(1)}),
                 QVariantList({31, "29", "0", 0, "29"}));
        QVERIFY(slot(0)->timRefresh->isActive() && !slot(0)->imgRefresh->isHidden());

        m_state.blnFullScreen = true; // the full-screen view hears of starts of the detail slot only
        m_pane->cmdStart_Click(1);
        m_pane->cmdStart_Click(0);
        QCOMPARE(QList<int>({int(started.size()), started.value(0).value(0).toInt()}), QList<int>({1, 0}));
    }

    void stopAll()
    {
        QSignalSpy stopped(m_pane.get(), &SlotPane::detailSlotStopped);
        m_state.intDetailSlot = 9;
        for (int i : {9, 23}) { // two slots hold a camera; the 22 free ones leave the count alone
            slot(i)->show();
            ++m_state.intOpenCams;
            complete(i, pictureReply(TestPictures::png(8, 8, Qt::blue)));
            m_pane->cmdStart_Click(qint16(i));
        }
        slot(9)->cmdStop->click(); // the detail slot
        m_pane->cmdStopAll_Click();
        QCOMPARE(QList<int>({m_state.intOpenCams, m_state.intDetailSlot, int(stopped.size())}),
                 QList<int>({0, -1, 1}));
        const CameraSlot *s = slot(23);
        QCOMPARE(
            QList<bool>({s->isHidden(), s->timRefresh->isActive(), s->imgRefresh->isHidden(),
                         s->picture().isBlank(), s->imgCam->pixmap().isNull(), s->imgCam->updatesEnabled()}),
            QList<bool>({true, false, true, true, true, true}));
        QCOMPARE(s->title(), QString("[webcam]"));
    }

    void clicks()
    {
        QSignalSpy opened(m_pane.get(), &SlotPane::imgCam_Click);
        CameraSlot *s = slot(2);
        s->show();
        s->imgRefresh->show();
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        QTest::mouseClick(s->imgCam, Qt::LeftButton);
        QTest::mouseClick(s->imgRefresh, Qt::LeftButton);
        QCOMPARE(QList<int>({int(opened.size()), opened.at(1).at(0).toInt()}), QList<int>({2, 2}));
    }

    void completion_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shows"); // the "new" picture, the "kept" one, or "notFound"
        const QByteArray jpeg = TestPictures::jpeg(160, 120, Qt::red);
        const QByteArray chunked =
            "HTTP/1.1 200 OK\r\nContent-Type: IMAGE/JPEG\r\nTransfer-Encoding: chunked\r\n\r\n" +
            QByteArray::number(jpeg.size() - 1, 16) + "\r\n" + jpeg.chopped(1) + "\r\n1\r\n" + jpeg.right(1) +
            "\r\n";
        QTest::newRow("404 with image")
            << CamServer::httpReply("HTTP/1.1 404 Not Found", {"Content-Type: image/gif"},
                                    TestPictures::gif(40, 30, Qt::red))
            << "new";
        QTest::newRow("200 html") << CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html"},
                                                          "<html></html>")
                                  << "notFound";
        QTest::newRow("empty reply") << QByteArray() << "notFound";
        QTest::newRow("header only") << pictureReply({}) << "kept";
        QTest::newRow("chunked, capital type") << chunked + "0\r\n\r\n"
                                               << "new";
        QTest::newRow("bad chunks") << chunked + "zz\r\n\r\n"
                                    << "kept";
    }

    void completion()
    {
        QFETCH(QByteArray, reply);
        QSignalSpy detail(m_pane.get(), &SlotPane::detailReplyHandled); // slot 7 is not the detail slot
        CameraSlot *s = slot(7);
        const QByteArray before = TestPictures::png(8, 8, Qt::blue);
        complete(7, pictureReply(before));
        s->imgRefresh->show();
        complete(7, reply);
        QCOMPARE(detail.size(), 0);
        QVERIFY(s->imgRefresh->isHidden() && s->imgCam->updatesEnabled() && !s->imgCam->pixmap().isNull());
        const QByteArray &shown = s->picture().bytes(); // "new": the body as loaded, de-chunked
        QTEST(QString(s->picture().kind() == SlotPicture::Kind::NotFound ? "notFound"
                          : shown == before                              ? "kept"
                          : shown == s->replyBuffer                      ? "new"
                                                                         : "other"),
              "shows");
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
        connect(m_pane.get(), &SlotPane::changedPictureLoaded, m_pane.get(), [&] {
            seen.append("changed");
            QVERIFY(s->picture().bytes() == s->replyBuffer && !s->imgCam->updatesEnabled());
        });
        const QByteArray a("Mon, 01 Jan 2024 10:00:00 GMT"), b("Mon, 01 Jan 2024 10:00:05 GMT");
        const QByteArray jpeg = TestPictures::jpeg(32, 24);
        const QString loaded("detailPicture detailReply reply");
        const QString changed("detailPicture changed detailReply reply");
        const struct
        {
            QByteArray reply;
            bool stamped;
            QString updated;
            QString signalNames;
        } steps[] = {
            {pictureReply(jpeg, "Last-Modified: " + a), true, " " + a, loaded},
            {pictureReply(jpeg, "Last-Modified: " + a), false, " " + a, loaded},
            {pictureReply(TestPictures::jpeg(40, 24), "Last-Modified: " + b), true, " " + b, changed},
            {pictureReply(jpeg), false, " " + b, loaded},
            {CamServer::httpReply("HTTP/1.1 200 OK", {"Last-Modified: x"}, "hi"), false, " " + b,
             "detailReply reply"},
            {pictureReply(jpeg, "last-modified: x LAST-MODIFIED: y"), true, " x  y", changed},
        };
        for (const auto &step : steps) {
            seen.clear();
            s->txtRefreshed->setText("marker");
            complete(0, step.reply);
            QCOMPARE(seen.join(' '), step.signalNames);
            QCOMPARE(s->txtRefreshed->text() != "marker", step.stamped);
            QCOMPARE(s->txtUpdated->text(), step.updated);
        }
        QCOMPARE(s->lastModified, QString("last-modified: x LAST-MODIFIED: y")); // as the server wrote it
    }
};

VANTORA_WIDGET_TEST_MAIN(TestSlotPane)
#include "tst_slotpane.moc"
