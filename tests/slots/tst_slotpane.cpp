#include "camserver.h"
#include "cameraslot.h"
#include "clickableimage.h"
#include "offscreenmain.h"
#include "sharedstate.h"
#include "slotpane.h"
#include "testpictures.h"

#include <QLineEdit>
#include <QProgressBar>
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
    QWidget m_lock; // the window whose drawing the handlers suspend
    std::unique_ptr<SlotPane> m_pane;

    CameraSlot *slot(int i) const { return m_pane->slot(i); }

    // A reply as received, handled as at the server's close.
    void complete(int i, const QByteArray &reply)
    {
        slot(i)->replyBuffer = reply;
        m_pane->wsCam_Close(qint16(i));
    }

    static QByteArray pictureReply(const QByteArray &body, const QByteArray &lastModified = {})
    {
        QList<QByteArray> lines{"Content-Type: image/jpeg"};
        if (!lastModified.isEmpty())
            lines.append("Last-Modified: " + lastModified);
        return CamServer::httpReply("HTTP/1.1 200 OK", lines, body);
    }

    void tick(int i, int times)
    {
        for (int n = 0; n < times; ++n)
            m_pane->timRefresh_Timer(qint16(i));
    }

private slots:
    void init()
    {
        m_state = SharedState();
        m_pane = std::make_unique<SlotPane>(m_state);
        m_pane->setLockTarget(&m_lock);
    }

    void cleanup() { m_pane.reset(); }

    void layout_data()
    {
        QTest::addColumn<int>("slotIndex"); // -1: the pane itself
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("frame") << -1 << "frmCams" << QRect(168, 0, 261, 721);
        QTest::newRow("pane") << -1 << "picWindowInner" << QRect(-2, -2, 237, 1604);
        QTest::newRow("scroll bar") << -1 << "VScroll1" << QRect(240, 16, 17, 697);
        QTest::newRow("slot 22") << 22 << "Frame" << QRect(4, 1456, 109, 129);
        QTest::newRow("picture") << 5 << "imgCam" << QRect(12, 16, 85, 64);
        QTest::newRow("stop") << 5 << "cmdStop" << QRect(68, 92, 29, 29);
        QTest::newRow("updated text") << 5 << "txtUpdated" << QRect(8, 272, 93, 19);
        QTest::newRow("start") << 5 << "cmdStart" << QRect(8, 292, 93, 17);
    }

    void layout()
    {
        QFETCH(int, slotIndex);
        QFETCH(QString, name);
        QWidget *root = slotIndex < 0 ? static_cast<QWidget *>(m_pane.get()) : slot(slotIndex);
        QWidget *widget = root->objectName() == name ? root : root->findChild<QWidget *>(name);
        QVERIFY(widget);
        QTEST(widget->geometry(), "pixels");
    }

    void startingLook()
    {
        QCOMPARE(m_pane->title(), QString("Webcams"));
        for (int i = 0; i < SlotPane::kSlotCount; ++i) {
            CameraSlot *s = slot(i);
            QVERIFY(s->isHidden() && s->imgRefresh->isHidden() && !s->timRefresh->isActive());
            QCOMPARE(QStringList({s->title(), s->txtRefresh->text(), s->cmdStart->text(), s->cmdRefresh->toolTip(),
                                  s->cmdStop->toolTip()}),
                     QStringList({"[WebCam]", "30", "start", "Refresh", "Stop"}));
            for (QWidget *unseen : std::initializer_list<QWidget *>{s->txtRefreshed, s->txtAddress, s->txtRefresh,
                                                                   s->txtName, s->txtUpdated, s->cmdStart})
                QVERIFY(unseen->y() >= s->height());
        }
        QPixmap indicator(21, 17);
        indicator.fill(Qt::cyan);
        m_pane->setRefreshPicture(indicator);
        QCOMPARE(slot(23)->imgRefresh->pixmap().size(), QSize(21, 17));
    }

    void scrolling()
    {
        QScrollBar *bar = m_pane->VScroll1();
        QCOMPARE(QList<int>({bar->maximum(), bar->singleStep(), bar->pageStep()}), QList<int>({933, 40, 133}));
        bar->setValue(133); // 2000 twips: the second row of slots at the top
        QCOMPARE(m_pane->picWindowInner()->pos(), QPoint(-2, -135));
        bar->setValue(0);
        QCOMPARE(m_pane->picWindowInner()->pos(), QPoint(-2, -2));
    }

    void startWithoutConnection_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("resetsReply");
        QTest::newRow("no slash") << "http://cam.test" << false;
        QTest::newRow("bad port") << "cam:0/p.jpg" << false;
        QTest::newRow("empty host") << "http:///p.jpg" << true;
    }

    void startWithoutConnection()
    {
        QFETCH(QString, address);
        QFETCH(bool, resetsReply);
        CameraSlot *s = slot(3);
        s->txtName->setText("Harbour");
        s->txtAddress->setText(address);
        s->replyBuffer = "partial";
        s->headerDone = true;
        s->elapsedSeconds = 12;
        m_pane->cmdStart_Click(3);
        QVERIFY(!s->imgRefresh->isHidden() && s->timRefresh->isActive() && !s->wsCam);
        QCOMPARE(s->elapsedSeconds, 0);
        QCOMPARE(s->title(), QString("Harbour"));
        QCOMPARE(s->replyBuffer.isEmpty(), resetsReply);
        QCOMPARE(s->headerDone, !resetsReply);
    }

    void refreshTextAndRequestPath()
    {
        CameraSlot *s = slot(4);
        s->txtAddress->setText("cam.test");
        for (const auto &[text, expected] : {std::pair{"not yet", 30}, {"  45 ", 45}, {"abc", 45}}) {
            s->txtRefresh->setText(text);
            m_pane->cmdStart_Click(4);
            QCOMPARE(s->refreshSeconds, expected);
        }
        s->requestPath = "/live images/cam 1.jpg";
        m_pane->wsCam_Connect(4);
        QCOMPARE(s->requestPath, QString("/live%20images/cam%201.jpg")); // stored back for later fetches
    }

    void schedule_data()
    {
        QTest::addColumn<QString>("refresh");
        QTest::addColumn<int>("refreshAfter"); // ticks before Refresh is pressed; -1: never
        QTest::addColumn<QList<int>>("fetchTicks");
        QTest::newRow("30 s") << "30" << -1 << QList<int>{30, 60};
        QTest::newRow("refresh at 10") << "30" << 10 << QList<int>{40, 70};
        QTest::newRow("zero period") << "0" << -1 << QList<int>{1, 2, 3};
        QTest::newRow("negative period") << "-3" << -1 << QList<int>{1, 2, 3};
    }

    void schedule()
    {
        QFETCH(QString, refresh);
        QFETCH(int, refreshAfter);
        QFETCH(QList<int>, fetchTicks);
        CameraSlot *s = slot(6);
        s->txtAddress->setText("cam.test"); // no path: each start fails quietly, no socket
        s->txtRefresh->setText(refresh);
        m_pane->cmdStart_Click(6);
        QList<int> fetches;
        for (int n = 1; n <= fetchTicks.last(); ++n) {
            if (n == refreshAfter + 1)
                m_pane->cmdRefresh_Click(6);
            s->imgRefresh->hide();
            tick(6, 1);
            if (s->elapsedSeconds == 0) {
                fetches.append(n);
                QVERIFY(!s->imgRefresh->isHidden() && s->timRefresh->isActive());
            }
        }
        QCOMPARE(fetches, fetchTicks);
    }

    void detailCountdown()
    {
        QSignalSpy ticks(m_pane.get(), &SlotPane::detailTick);
        slot(0)->txtAddress->setText("cam.test"); // slot 0 is the detail slot before any was shown
        m_pane->cmdStart_Click(0);
        tick(0, 31);
        tick(1, 3);
        QStringList texts;
        for (const QList<QVariant> &args : ticks) {
            QCOMPARE(args.at(0).toInt(), 0);
            texts.append(args.at(1).toString());
        }
        QCOMPARE(texts.size(), 31);
        QCOMPARE(QStringList({texts.first(), texts.at(28), texts.at(29), texts.last()}), QStringList({"29", "1", "0", "29"}));

        m_pane->cmdStop_Click(0);
        QCOMPARE(m_state.intDetailSlot, qint16(-1));
        ticks.clear();
        tick(0, 2);
        QCOMPARE(ticks.size(), 0);
    }

    void fullScreenIndicator()
    {
        QSignalSpy started(m_pane.get(), &SlotPane::detailFetchStarted);
        m_state.intDetailSlot = 2;
        m_pane->cmdStart_Click(2);
        m_state.blnFullScreen = true;
        m_pane->cmdStart_Click(3);
        m_pane->cmdStart_Click(2);
        QCOMPARE(started.size(), 1);
        QCOMPARE(started.at(0).at(0).toInt(), 2);
    }

    void stopAll()
    {
        QSignalSpy stopped(m_pane.get(), &SlotPane::detailSlotStopped);
        m_state.intDetailSlot = 9;
        for (int i : {1, 9, 17}) {
            slot(i)->show();
            ++m_state.intOpenCams;
            slot(i)->txtName->setText("cam");
            m_pane->cmdStart_Click(qint16(i));
            slot(i)->prgCam->setValue(40);
        }
        m_pane->cmdStop_Click(5); // a free slot: the count stays
        QCOMPARE(m_state.intOpenCams, qint16(3));
        QCOMPARE(m_state.intDetailSlot, qint16(9));
        m_pane->cmdStopAll_Click();
        QCOMPARE(QList<int>({m_state.intOpenCams, m_state.intDetailSlot, int(stopped.size())}), QList<int>({0, -1, 1}));
        for (int i = 0; i < SlotPane::kSlotCount; ++i) {
            CameraSlot *s = slot(i);
            QVERIFY(s->isHidden() && !s->timRefresh->isActive() && s->imgRefresh->isHidden() && s->imgCam->pixmap().isNull());
            QCOMPARE(s->title(), QString("[webcam]"));
        }
        QCOMPARE(slot(9)->txtName->text(), QString("cam")); // texts and progress stay
        QCOMPARE(slot(9)->prgCam->value(), 40);
        QVERIFY(m_lock.updatesEnabled());
    }

    void clicks()
    {
        QSignalSpy opened(m_pane.get(), &SlotPane::imgCam_Click);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
        CameraSlot *s = slot(2);
        s->show();
        s->imgRefresh->show();
        QTest::mouseClick(s->imgCam, Qt::LeftButton);
        QTest::mouseClick(s->imgRefresh, Qt::LeftButton);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened.at(1).at(0).toInt(), 2);
        QTest::mouseClick(s->cmdStop, Qt::LeftButton);
        QVERIFY(s->isHidden());
    }

    void completion_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shows"); // the "new" picture, the "kept" one, or "notFound"
        const QByteArray jpeg = TestPictures::jpeg(160, 120, Qt::red);
        QByteArray chunks;
        for (qsizetype at = 0; at < jpeg.size(); at += 1000)
            chunks += QByteArray::number(jpeg.mid(at, 1000).size(), 16) + "\r\n" + jpeg.mid(at, 1000) + "\r\n";
        const QByteArray chunked("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nTransfer-Encoding: chunked\r\n\r\n");
        QTest::newRow("jpeg") << pictureReply(jpeg) << "new";
        QTest::newRow("404 with image")
            << CamServer::httpReply("HTTP/1.1 404 Not Found", {"Content-Type: image/gif"}, TestPictures::gif(40, 30, Qt::red)) << "new";
        QTest::newRow("200 html") << CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html"}, "<html></html>") << "notFound";
        QTest::newRow("empty reply") << QByteArray() << "notFound";
        QTest::newRow("bare LF lines") << "HTTP/1.1 200 OK\nContent-Type: image/jpeg\n\n" + jpeg << "notFound";
        QTest::newRow("header only") << pictureReply({}) << "kept";
        QTest::newRow("no picture in body") << pictureReply("garbage") << "kept";
        QTest::newRow("chunked") << chunked + chunks + "0\r\n\r\n" << "new";
        QTest::newRow("chunks incomplete") << chunked + chunks << "kept";
        QTest::newRow("bad chunk") << chunked + "zz\r\n" + jpeg << "kept";
    }

    void completion()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shows);
        QSignalSpy handled(m_pane.get(), &SlotPane::replyHandled);
        CameraSlot *s = slot(7);
        const QByteArray before = TestPictures::png(8, 8, Qt::blue);
        complete(7, pictureReply(before));
        s->imgRefresh->show();
        complete(7, reply);
        QCOMPARE(handled.size(), 2);
        QVERIFY(s->imgRefresh->isHidden() && m_lock.updatesEnabled());
        if (shows == "notFound") {
            QCOMPARE(s->picture().kind(), SlotPicture::Kind::NotFound);
        } else if (shows == "kept") {
            QCOMPARE(s->picture().bytes(), before);
        } else {
            QCOMPARE(s->picture().kind(), SlotPicture::Kind::Camera);
            QCOMPARE(s->picture().bytes(), s->replyBuffer); // the loaded body, de-chunked
            QCOMPARE(s->imgCam->pixmap().size(), QSize(85, 64));
        }
    }

    void changeDetection()
    {
        QSignalSpy changed(m_pane.get(), &SlotPane::changedPictureLoaded);
        CameraSlot *s = slot(8);
        const QByteArray jpeg = TestPictures::jpeg(32, 24);
        const QByteArray a("Mon, 01 Jan 2024 10:00:00 GMT");
        const QByteArray b("Mon, 01 Jan 2024 10:00:05 GMT");
        const struct { QByteArray reply; bool changed; bool stamped; QString updated; } steps[] = {
            {pictureReply(jpeg, a), false, true, " " + a},
            {pictureReply(jpeg, a), false, false, " " + a},
            {pictureReply(jpeg, b), true, true, " " + b},
            {pictureReply(jpeg), false, false, " " + b},
            {CamServer::httpReply("HTTP/1.1 200 OK", {"Last-Modified: x"}, "hi"), false, false, " " + b},
            {pictureReply(jpeg, "x").replace("Last-Modified: x", "last-modified: x LAST-MODIFIED: y"), true, true, " x  y"},
        };
        int changes = 0;
        for (const auto &step : steps) {
            s->txtRefreshed->setText("marker");
            complete(8, step.reply);
            changes += step.changed ? 1 : 0;
            QCOMPARE(QList<bool>({s->pictureChanged, s->txtRefreshed->text() != "marker", changed.size() == changes}),
                     QList<bool>({step.changed, step.stamped, true}));
            QCOMPARE(s->txtUpdated->text(), step.updated);
        }
        QCOMPARE(s->lastModified, QString("last-modified: x LAST-MODIFIED: y")); // as the server wrote it
    }

    void signalOrder_data()
    {
        QTest::addColumn<int>("slotIndex");
        QTest::addColumn<bool>("picture");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("detail slot, picture")
            << 0 << true << QStringList{"detailPictureLoaded", "changedPictureLoaded", "detailReplyHandled", "replyHandled"};
        QTest::newRow("detail slot, no picture") << 0 << false << QStringList{"detailReplyHandled", "replyHandled"};
        QTest::newRow("other slot, picture") << 1 << true << QStringList{"changedPictureLoaded", "replyHandled"};
    }

    void signalOrder()
    {
        QFETCH(int, slotIndex);
        QFETCH(bool, picture);
        CameraSlot *s = slot(slotIndex);
        const QByteArray fresh = TestPictures::jpeg(48, 32, Qt::green);
        s->lastModified = "Last-Modified: earlier";
        QStringList seen;
        const auto record = [&seen](const char *name) { return [&seen, name] { seen.append(name); }; };
        connect(m_pane.get(), &SlotPane::detailPictureLoaded, this, record("detailPictureLoaded"));
        connect(m_pane.get(), &SlotPane::detailReplyHandled, this, record("detailReplyHandled"));
        connect(m_pane.get(), &SlotPane::replyHandled, this, record("replyHandled"));
        connect(m_pane.get(), &SlotPane::changedPictureLoaded, this, [&] {
            seen.append("changedPictureLoaded");
            // Auto-save sees the new picture, with drawing still suspended.
            QCOMPARE(s->picture().bytes(), fresh);
            QVERIFY(!m_lock.updatesEnabled());
        });
        complete(slotIndex, picture ? pictureReply(fresh, "later") : QByteArray("HTTP/1.1 200 OK\r\n\r\nhi"));
        disconnect(m_pane.get(), nullptr, this, nullptr);
        QTEST(seen, "expected");
    }
};

VANTORA_WIDGET_TEST_MAIN(TestSlotPane)
#include "tst_slotpane.moc"
