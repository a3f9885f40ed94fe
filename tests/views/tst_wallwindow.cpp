#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "common/screensaver.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/slotfetch.h"
#include "slots/slotpane.h"
#include "support/heldworkers.h"
#include "support/offscreenmain.h"
#include "support/privatesessionbus.h"
#include "views/walltile.h"
#include "views/wallwindow.h"

#include <QPointer>
#include <QRegion>
#include <QTimer>

#include <memory>

namespace {

// A picture fitted into a box at its own aspect ratio, never enlarged.
QSize fitted(const QSize &picture, const QSize &box)
{
    return picture.width() <= box.width() && picture.height() <= box.height()
        ? picture
        : picture.scaled(box, Qt::KeepAspectRatio);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

// The camera wall over a slot pane whose replies are fed in directly; no network here.
class TestWallWindow : public QObject
{
    Q_OBJECT

    PrivateSessionBus m_bus; // before anything asks for the session bus
    SharedState m_state;
    std::unique_ptr<SlotPane> m_pane;
    QPointer<WallWindow> m_wall;
    int m_handled = 0;

    CameraSlot *slot(int i) const { return m_pane->slot(i); }
    WallTile *tile(int i) const { return m_wall->tile(i); }
    QSize tileBox(int i) const { return tile(i)->pictureBox().size() * tile(i)->devicePixelRatio(); }

    void openWall()
    {
        m_wall = new WallWindow(m_pane.get());
        connect(m_pane.get(), &SlotPane::slotChanged, m_wall.data(), &WallWindow::slotChanged);
        m_wall->resize(800, 600);
        m_wall->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_wall));
    }
    void open(int i, const QString &name)
    {
        m_pane->loadCam(qint16(i), name, QStringLiteral("/p.jpg"), QStringLiteral("300"));
        ++m_state.intOpenCams;
    }
    // A whole picture reply, then the server's close; the address has no host, so nothing connects.
    void receive(int i, const QByteArray &picture)
    {
        QVERIFY(slot(i)->fetch()->start(QStringLiteral("/p.jpg")));
        slot(i)->fetch()->receiveBytes(
            CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: image/jpeg"}, picture));
        m_pane->wsCam_Close(qint16(i));
    }
    void complete(int i, const QByteArray &picture)
    {
        const int before = m_handled;
        receive(i, picture);
        QTRY_VERIFY(m_handled > before);
    }
    // The slots of the tiles shown, in reading order.
    QList<int> shownTiles() const
    {
        QList<WallTile *> shown;
        for (int i = 0; i < SlotPane::kSlotCount; ++i) {
            if (tile(i)->isVisibleTo(m_wall))
                shown.append(tile(i));
        }
        std::sort(shown.begin(), shown.end(), [](const WallTile *a, const WallTile *b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        QList<int> indexes;
        for (const WallTile *t : shown)
            indexes.append(t->slotIndex());
        return indexes;
    }

private slots:
    void init()
    {
        m_state = SharedState();
        m_pane = std::make_unique<SlotPane>(m_state);
        m_handled = 0;
        connect(m_pane.get(), &SlotPane::replyHandled, m_pane.get(), [this] { ++m_handled; });
    }
    void cleanup()
    {
        delete m_wall.data();
        finishDecodes();
        m_pane.reset();
    }

    // Opens, stops and a resize: a tile for each open camera in slot order, the grid re-chosen,
    // nothing overlapping or outside the window, and each slot told its tile's size.
    void tilesFollowOpensStopsAndResizes()
    {
        for (int i : {0, 1, 2})
            open(i, QStringLiteral("Cam %1").arg(i));
        openWall();
        const struct
        {
            const char *step;
            std::function<void()> change;
            QList<int> tiles;
            WallGrid grid;
        } steps[] = {
            {"three open", [] {}, {0, 1, 2}, {2, 2}},
            {"three more",
             [this] {
                 for (int i : {3, 4, 5})
                     open(i, QStringLiteral("Cam %1").arg(i));
             },
             {0, 1, 2, 3, 4, 5},
             {3, 2}},
            {"one stopped", [this] { m_pane->cmdStop_Click(1); }, {0, 2, 3, 4, 5}, {3, 2}},
            {"portrait window", [this] { m_wall->resize(600, 800); }, {0, 2, 3, 4, 5}, {2, 3}},
            {"all but one stopped",
             [this] {
                 for (int i : {2, 3, 4, 5})
                     m_pane->cmdStop_Click(qint16(i));
             },
             {0},
             {1, 1}},
        };
        for (const auto &step : steps) {
            step.change();
            QCOMPARE(shownTiles(), step.tiles);
            QCOMPARE(m_wall->grid(), step.grid);
            QRegion covered;
            for (int i : step.tiles) {
                QVERIFY2(m_wall->rect().contains(tile(i)->geometry()), step.step);
                QVERIFY2(!covered.intersects(tile(i)->geometry()), step.step);
                covered += tile(i)->geometry();
                QCOMPARE(tile(i)->name(), QStringLiteral("Cam %1").arg(i));
                QCOMPARE(m_pane->decodeSizes(qint16(i)).viewBox, tileBox(i));
            }
            QCOMPARE(m_pane->decodeSizes(1).viewBox, step.tiles.contains(1) ? tileBox(1) : QSize());
        }
        QCOMPARE(tile(0)->geometry(), m_wall->rect()); // one camera fills the wall
    }

    // A camera that sends no picture now and then keeps the shape its pictures have: the grid
    // stays as it is, and so do the other tiles' sizes.
    void gridKeptWhenAReplyIsNoPicture()
    {
        for (int i : {0, 1})
            open(i, QStringLiteral("Cam %1").arg(i));
        openWall();
        m_wall->resize(600, 700);
        for (int i : {0, 1})
            complete(i, TestPictures::jpeg(120, 160)); // portrait cameras: side by side
        QCOMPARE(m_wall->grid(), WallGrid({2, 1}));
        const QSize box = tileBox(0);
        const int before = m_handled;
        QVERIFY(slot(1)->fetch()->start(QStringLiteral("/p.jpg")));
        slot(1)->fetch()->receiveBytes(
            CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: text/html"}, "<p>"));
        m_pane->wsCam_Close(1);
        QTRY_VERIFY(m_handled > before);
        QCOMPARE(m_pane->picture(1).kind(), SlotPicture::Kind::NotFound);
        QCOMPARE(m_wall->grid(), WallGrid({2, 1}));
        QCOMPARE(tileBox(0), box);
    }

    // Each reply decoded once, to the tile's size; the slot's picture made from it; the wall
    // closed, replies are decoded for the slot alone again.
    void decodeSizeFollowsTheWall()
    {
        const QSize natural(640, 480);
        const QByteArray jpeg = TestPictures::jpeg(natural.width(), natural.height());
        open(0, QStringLiteral("Alpha"));
        complete(0, jpeg);
        QCOMPARE(m_pane->decodeSizes(0).viewBox, QSize());
        QVERIFY(m_pane->picture(0).viewImage().isNull());

        openWall(); // the picture from before is decoded again for its tile, once the layout rests
        const QSize box = tileBox(0);
        QCOMPARE(m_pane->decodeSizes(0).viewBox, box);
        QTRY_COMPARE(tile(0)->decodedFor(), box);
        QCOMPARE(tile(0)->image().size(), fitted(natural, box));

        // Other bytes of the picture: decoded, once, for the tile.
        complete(0, TestPictures::variant(jpeg, 1));
        const SlotPicture &picture = m_pane->picture(0);
        QCOMPARE(picture.viewImage().size(), fitted(natural, box));
        QCOMPARE(picture.slotImage().size(), slot(0)->pictureSize());
        QCOMPARE(tile(0)->image().cacheKey(), picture.viewImage().cacheKey()); // shown as decoded
        const quint64 decodes = SlotPicture::decodeCount();
        complete(0, TestPictures::variant(jpeg, 1)); // the same bytes: nothing decoded, nothing new
        QCOMPARE(SlotPicture::decodeCount(), decodes);
        QCOMPARE(tile(0)->image().cacheKey(), m_pane->picture(0).viewImage().cacheKey());

        QTest::keyClick(m_wall, Qt::Key_Escape);
        QTRY_VERIFY(m_wall.isNull());
        QCOMPARE(m_pane->decodeSizes(0).viewBox, QSize());
        complete(0, TestPictures::variant(jpeg, 2));
        QVERIFY(m_pane->picture(0).viewImage().isNull());
        QCOMPARE(m_pane->picture(0).slotImage().size(), slot(0)->pictureSize());
    }

    void stoppedCameraNeverPainted_data()
    {
        QTest::addColumn<bool>("wallFirst"); // the wall opens before the reply, or after it
        QTest::newRow("reply decoding when stopped") << true;
        QTest::newRow("decode for the tile running when stopped") << false;
    }
    void stoppedCameraNeverPainted()
    {
        QFETCH(bool, wallFirst);
        open(0, QStringLiteral("Alpha"));
        if (wallFirst)
            openWall();
        else
            complete(0, TestPictures::jpeg(640, 480));
        {
            HeldWorkers held;
            if (wallFirst) {
                receive(0, TestPictures::jpeg(640, 480));
            } else {
                openWall();
                QSignalSpy settled(m_wall->findChild<QTimer *>(QStringLiteral("timSettle")),
                                   &QTimer::timeout);
                QTRY_COMPARE(settled.size(), 1);
            }
            m_pane->cmdStop_Click(0);
            QVERIFY(tile(0)->isHidden());
            open(0, QStringLiteral("Beta")); // the slot reused before the decode comes back
        }
        finishDecodes();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(tile(0)->name(), QStringLiteral("Beta"));
        QVERIFY(tile(0)->isVisibleTo(m_wall));
        QVERIFY(tile(0)->image().isNull());
    }

    // A reply repaints its own tile and no other.
    void onlyTheChangedTileRepaints()
    {
        for (int i : {0, 1, 2})
            open(i, QStringLiteral("Cam %1").arg(i));
        openWall();
        PaintCounter paints[3];
        for (int i : {0, 1, 2}) {
            tile(i)->installEventFilter(&paints[i]);
            complete(i, TestPictures::jpeg(320, 240)); // the cameras' shape is known from here on
        }
        QTRY_VERIFY(paints[2].count > 0); // all painted as they are now
        for (PaintCounter &p : paints)
            p.count = 0;
        complete(1, TestPictures::jpeg(320, 240, Qt::red));
        QTRY_VERIFY(paints[1].count > 0);
        QCOMPARE(paints[0].count, 0);
        QCOMPARE(paints[2].count, 0);
    }

    // The tile says what the slot says of its last fetch and dims as it does, and shows the
    // progress of a fetch while it runs.
    void outcomeAndProgressAsTheSlotTellsThem()
    {
        open(3, QStringLiteral("Harbour"));
        openWall();
        slot(3)->setFetchOutcome(QStringLiteral("no answer for 30 s"), true);
        QCOMPARE(tile(3)->toolTip(), slot(3)->fetchNote());
        QVERIFY(tile(3)->isDimmed());
        slot(3)->setFetchOutcome(QStringLiteral("picture received"), false);
        QCOMPARE(tile(3)->toolTip(), slot(3)->fetchNote());
        QVERIFY(!tile(3)->isDimmed());
        m_pane->cmdStart_Click(3);
        slot(3)->setProgress(40);
        QVERIFY(tile(3)->isFetching());
        QCOMPARE(tile(3)->progress(), 40);
        complete(3, TestPictures::jpeg(32, 24));
        QVERIFY(!tile(3)->isFetching());
    }

    // F11 leaves full screen and comes back; Escape closes the wall and gives the screen saver
    // back, which the wall kept away from its opening.
    void keysAndTheScreenSaver()
    {
        ScreenSaverStandIn standIn(m_bus.address());
        QVERIFY(standIn.start());
        open(0, QStringLiteral("Alpha"));
        m_wall = new WallWindow(m_pane.get());
        m_wall->showOn(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(m_wall));
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit"}));
        QVERIFY(m_wall->isFullScreen());
        QTest::keyClick(m_wall, Qt::Key_F11);
        QVERIFY(!m_wall->isFullScreen());
        QTest::keyClick(m_wall, Qt::Key_F11);
        QVERIFY(m_wall->isFullScreen());
        QTest::keyClick(m_wall, Qt::Key_Escape);
        QTRY_VERIFY(m_wall.isNull());
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit", "UnInhibit 41"}));
    }
};

VANTORA_WIDGET_TEST_MAIN(TestWallWindow)
#include "tst_wallwindow.moc"
