#include "camlist/camlistfile.h"
#include "camlist/listcommands.h"
#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "clock/internetclock.h"
#include "common/appidentity.h"
#include "common/pictureworkers.h"
#include "common/programfolder.h"
#include "common/screensaver.h"
#include "pictureinfo/picturemetadata.h"
#include "pictureinfo/savedname.h"
#include "retention/retentionmenu.h"
#include "retention/retentionrule.h"
#include "shell/mainwindow.h"
#include "shell/showhelpsetting.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/filesizelimit.h"
#include "support/heldworkers.h"
#include "support/isolatedsettings.h"
#include "support/offscreenmain.h"
#include "support/privatesessionbus.h"
#include "testwindows.h"
#include "views/detailview.h"
#include "views/freespace.h"
#include "views/picturejobqueue.h"
#include "views/picturesaver.h"
#include "views/stretchimage.h"
#include "views/viewergeometry.h"
#include "views/walltile.h"
#include "views/wallwindow.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

// Every name, description, value and help text of the accessible tree below iface.
void collectAccessibleTexts(QAccessibleInterface *iface, QStringList &texts)
{
    for (QAccessible::Text t :
         {QAccessible::Name, QAccessible::Description, QAccessible::Value, QAccessible::Help})
        texts << iface->text(t);
    if (QAccessibleTextInterface *text = iface->textInterface())
        texts << text->text(0, text->characterCount());
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface *child = iface->child(i))
            collectAccessibleTexts(child, texts);
    }
}

const QByteArray kSecretUser("doorman");
const QByteArray kSecretPassword("hunter2");

} // namespace

// The "Viewer" column as the main window wires it to the slots, against loopback cameras.
class TestViewer : public QObject
{
    Q_OBJECT

    PrivateSessionBus m_bus; // before anything asks for the session bus
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
    CamServer m_server;
    QHash<QByteArray, QSize> m_sizes; // per camera path
    QHash<QByteArray, QByteArray> m_served; // last picture sent per camera path
    QHash<QByteArray, int> m_stamps; // Last-Modified seconds, moved on per request unless frozen
    bool m_frozen = false;
    std::unique_ptr<MainWindow> m_window;
    QHash<int, int> m_handled; // replies handled per slot

    SlotPane *pane() const { return m_window->frmCams; }
    DetailView *view() const { return m_window->detailView(); }
    template<typename T = QWidget>
    T *find(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    StretchImage *imgMain() const { return find<StretchImage>("imgMain"); }
    QString status() const { return find<QLineEdit>("txtStatus")->text(); }
    QString cam() const { return m_dir.filePath("cam"); }
    QStringList camFiles() const { return QDir(cam()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QByteArray fileBytes(const QString &name) const
    {
        QFile file(cam() + '/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void fetch(int i) // once, until its reply has been handled
    {
        const int before = m_handled.value(i);
        pane()->cmdRefresh_Click(qint16(i));
        QTRY_VERIFY(m_handled.value(i) > before);
    }
    void show(int i) { QTest::mouseClick(pane()->slot(i)->findChild<QWidget *>("imgCam"), Qt::LeftButton); }

    CamReply reply(const QByteArray &path)
    {
        const QSize size = m_sizes.value(path);
        m_served[path] = TestPictures::jpeg(size.width(), size.height());
        if (!m_frozen)
            ++m_stamps[path];
        CamReply r;
        r.bytes = CamServer::httpReply(
            "HTTP/1.1 200 OK",
            {"Content-Type: image/jpeg",
             "Last-Modified: Mon, 01 Jan 2024 10:00:" + QByteArray::number(m_stamps[path])},
            m_served[path]);
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!m_bus.address().isEmpty());
        QApplication::setQuitOnLastWindowClosed(false);
        ReadAppIdentity();
        SetProgramFolder(m_dir.path());
        WriteShowHelpSetting(QStringLiteral("0"));
        QVERIFY(m_server.listen());
        const QString host = QStringLiteral("http://127.0.0.1:%1").arg(m_server.port());
        for (const char *name : {"Alpha", "Beta", "Gamma"}) {
            const QByteArray path = '/' + QByteArray(name).toLower() + ".jpg";
            m_server.setHandler(path, [this, path](const QByteArray &) { return reply(path); });
            QVERIFY(AppendCamEntry({name, host.toLatin1() + path, "300"})); // no timed refresh during a test
        }
        // A camera that shows its picture only to its password.
        m_sizes["/secret.jpg"] = QSize(32, 24);
        m_server.setHandler("/secret.jpg", [this](const QByteArray &request) {
            if (request.contains("Authorization: Basic " + (kSecretUser + ':' + kSecretPassword).toBase64()))
                return reply("/secret.jpg");
            CamReply refused;
            refused.bytes = CamServer::httpReply("HTTP/1.1 401 Unauthorized",
                                                 {"WWW-Authenticate: Basic realm=\"cam\""}, "no");
            return refused;
        });
        const QByteArray secret = "http://" + kSecretUser + ':' + kSecretPassword +
            "@127.0.0.1:" + QByteArray::number(m_server.port()) + "/secret.jpg";
        QVERIFY(AppendCamEntry({"Secret", secret, "300"}));
    }

    void init()
    {
        m_sizes = {
            {"/alpha.jpg", QSize(320, 240)}, {"/beta.jpg", QSize(160, 100)}, {"/gamma.jpg", QSize(64, 48)}};
        m_frozen = false;
        m_window = std::make_unique<MainWindow>();
        // Slot 0's ticks query the clock: it asks a closed loopback port, never the Internet.
        m_window->findChild<InternetClock *>()->setServer(QStringLiteral("127.0.0.1"), 1);
        m_window->Form_Load();
        m_window->show();
        m_handled.clear();
        connect(pane(), &SlotPane::replyHandled, m_window.get(), [this](int i) { ++m_handled[i]; });
        m_window->listCommands()->OpenCam("Alpha"); // slot 0
        m_window->listCommands()->OpenCam("Beta"); // slot 1
        QTRY_VERIFY(m_handled.value(0) == 1 && m_handled.value(1) == 1);
    }

    // As the program does before it ends: no picture work left running while the workers go.
    void cleanupTestCase() { waitForPictureWork(); }

    void cleanup()
    {
        m_window.reset();
        TestWindows::deleteAll();
        QFile::remove(cam());
        QDir(cam()).removeRecursively();
    }

    void detailViewFollowsItsSlot()
    {
        show(0);
        QVERIFY(view()->isVisible() && find("frmDetails")->isVisible());
        const QString changed = find<QLabel>("lblLastChanged")->text();
        fetch(1); // another slot's reply leaves the view alone
        QCOMPARE(find<QLabel>("lblLastChanged")->text(), changed);
        m_sizes["/alpha.jpg"] = QSize(400, 300);
        fetch(0); // the shown slot's reply: new picture at the old size, new texts
        QTRY_COMPARE(imgMain()->image().size(), QSize(400, 300));
        QCOMPARE(imgMain()->size(), QSize(320, 240));
        QCOMPARE(find<QLabel>("lblLastChanged")->text(), pane()->updatedText(0));
        pane()->cmdStop_Click(0); // stopping the shown slot hides the view
        QVERIFY(view()->isHidden() && find("frmDetails")->isHidden());
    }

    void autoSaveOfChangedPictures()
    {
        find<QCheckBox>("chkSave")->setChecked(true);
        show(0);
        m_window->listCommands()->OpenCam("Gamma"); // a first picture is never new
        QTRY_COMPARE(m_handled.value(2), 1);
        m_frozen = true;
        fetch(1); // the same date again: unchanged
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QCOMPARE(camFiles(), QStringList());
        m_frozen = false;
        QSignalSpy statusChanges(find<QLineEdit>("txtStatus"), &QLineEdit::textChanged);
        fetch(0);
        fetch(1);
        QTRY_COMPARE(camFiles().size(), 2);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        const QString alpha = camFiles().filter("Alpha").value(0);
        QCOMPARE(statusChanges.size(), 1); // only the shown slot tells of its save
        QVERIFY(status().endsWith(" new picture saved as " + cam() + '/' + alpha));
        QCOMPARE(pane()->picture(0).bytes(), fileBytes(alpha)); // the slot shows it as saved
    }

    // The slot is stopped and given another camera before the save's result is back.
    void saveResultForReusedSlotDropped()
    {
        find<QCheckBox>("chkSave")->setChecked(true);
        show(0);
        connect(pane(), &SlotPane::replyHandled, this, [this](int Index) {
            disconnect(pane(), &SlotPane::replyHandled, this, nullptr);
            pane()->cmdStop_Click(qint16(Index));
            m_window->listCommands()->OpenCam("Gamma");
        });
        fetch(0);
        QTRY_COMPARE(camFiles().filter("Alpha").size(), 1); // written all the same
        QTRY_COMPARE(camFiles().filter("Gamma").size(), 1);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QVERIFY(pane()->picture(0).bytes() != fileBytes(camFiles().filter("Alpha").value(0)));
        QCOMPARE(status(), QString("status..."));
    }

    // Short of space: said once, Save Image still tried; with room again saving goes on by itself.
    void autoSavePausesWhileSpaceIsShort()
    {
        auto *saver = view()->findChild<PictureSaver *>();
        saver->setMinimumFreeSpace(std::numeric_limits<qint64>::max()); // more than any disk has
        find<QCheckBox>("chkSave")->setChecked(true);
        show(1);
        QSignalSpy statusChanges(saver, &PictureSaver::statusText); // the line itself skips repeats
        fetch(0);
        fetch(0);
        fetch(1);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QCOMPARE(camFiles(), QStringList());
        QCOMPARE(statusChanges.size(), 1); // three pictures went unsaved
        QVERIFY(status().endsWith(" free for " + cam()));
        find<QPushButton>("cmdSave")->click();
        QTRY_COMPARE(camFiles().size(), 1);
        QTRY_VERIFY(status().endsWith(" saved as " + cam() + '/' + camFiles().value(0)));
        saver->setMinimumFreeSpace(0); // room again
        statusChanges.clear();
        fetch(1);
        QTRY_COMPARE(statusChanges.size(), 2);
        QVERIFY(statusChanges.at(0).at(0).toString().endsWith(" AutoSave resumed"));
        QCOMPARE(camFiles().filter("Beta").size(), 2);
        QVERIFY(statusChanges.at(1).at(0).toString().contains(" new picture saved as " + cam() + "/Beta"));
    }

    // Both kinds of save put the camera, its address and the moment its reply was received into
    // the file, where they read back; the file keeps the name an older version gave it.
    void savedPicturesDescribeThemselves()
    {
        find<QCheckBox>("chkSave")->setChecked(true);
        show(0);
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        fetch(0);
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        const QDateTime received = pane()->picture(0).received();
        QTRY_COMPARE(camFiles().size(), 1);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        find<QPushButton>("cmdSave")->click();
        QTRY_COMPARE(camFiles().size(), 2);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QVERIFY(received.toSecsSinceEpoch() >= before && received.toSecsSinceEpoch() <= after);
        for (const QString &name : camFiles()) {
            const std::optional<PictureInfo> info = readPictureInfo(cam() + '/' + name);
            QVERIFY(info.has_value());
            QCOMPARE(info->cameraName, QString("Alpha"));
            QCOMPARE(info->address, QString("http://127.0.0.1:%1/alpha.jpg").arg(m_server.port()));
            QCOMPARE(info->received.toSecsSinceEpoch(), received.toSecsSinceEpoch());
            QCOMPARE(info->received.offsetFromUtc(), received.offsetFromUtc());
            QCOMPARE(savedNameCamera(name, {"Alpha", "Beta", "Gamma"}), QString("Alpha"));
        }
        // The picture as saved, shown by the slot, still knows when it came.
        QCOMPARE(pane()->picture(0).received(), received);
    }

    // A camera's password goes into no saved file, by either kind of save.
    void noPasswordInSavedPictures()
    {
        find<QCheckBox>("chkSave")->setChecked(true);
        m_window->listCommands()->OpenCam("Secret"); // slot 2; a first picture is never new
        QTRY_COMPARE(m_handled.value(2), 1);
        show(2);
        fetch(2);
        QTRY_COMPARE(camFiles().size(), 1);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        find<QPushButton>("cmdSave")->click();
        QTRY_COMPARE(camFiles().size(), 2);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        for (const QString &name : camFiles()) {
            const QByteArray bytes = fileBytes(name);
            QVERIFY(!bytes.contains(kSecretPassword));
            QVERIFY(!bytes.contains(kSecretUser));
            const std::optional<PictureInfo> info = readPictureInfo(bytes);
            QVERIFY(info.has_value());
            QCOMPARE(info->cameraName, QString("Secret"));
            QCOMPARE(info->address, QString("http://127.0.0.1:%1/secret.jpg").arg(m_server.port()));
        }
    }

    // With a limit on the saved pictures, free space below the floor first removes the oldest
    // saved picture (never a foreign file) and saving goes on; it pauses only when removing
    // could not make the room.
    void freeSpaceFloorPrunesBeforePausing()
    {
        const auto keepForever = qScopeGuard([] { WriteRetentionSetting({}); });
        QVERIFY(QDir().mkpath(cam()));
        const std::optional<qint64> free = freeBytes(cam());
        QVERIFY(free.has_value());
        constexpr qint64 kGiB = qint64(1) << 30;
        // An old picture of an earlier version, larger than the space asked for (a hole: it
        // takes no room), and the user's own file, older still.
        const QString old = cam() + "/Alpha12526125202PM.jpg";
        const QString foreign = cam() + "/holiday.jpg";
        for (const QString &path : {old, foreign}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(*free + 10 * kGiB));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(path == old ? -5 : -50),
                                     QFileDevice::FileModificationTime));
        }
        auto *keep = m_window->findChild<RetentionMenu *>("mnuCamKeep");
        QVERIFY(keep != nullptr);
        const QList<QAction *> items = keep->findChildren<QAction *>("mnuKeepItem");
        const auto days30 =
            std::find_if(items.begin(), items.end(), [](QAction *item) { return item->text() == "30 Days"; });
        QVERIFY(days30 != items.end());
        (*days30)->trigger();
        QCOMPARE(ReadRetentionSetting(), RetentionRule({RetentionRule::Kind::Days, 30}));
        QVERIFY((*days30)->isChecked());

        auto *saver = view()->findChild<PictureSaver *>();
        saver->setMinimumFreeSpace(*free + kGiB); // a GiB short, whatever else the disk does meanwhile
        find<QCheckBox>("chkSave")->setChecked(true);
        show(0);
        QSignalSpy statusChanges(find<QLineEdit>("txtStatus"), &QLineEdit::textChanged);
        const auto said = [&statusChanges](const QString &text) {
            return std::count_if(
                statusChanges.begin(), statusChanges.end(),
                [&text](const QList<QVariant> &change) { return change.at(0).toString().contains(text); });
        };
        fetch(0);
        QTRY_VERIFY(!QFile::exists(old));
        QTRY_COMPARE(said(" removed 1 old picture ("), 1);
        QTRY_COMPARE(camFiles().filter(QRegularExpression("^Alpha")).size(), 1); // saved all the same
        QVERIFY(QFile::exists(foreign));
        QCOMPARE(said(" AutoSave paused"), 0);

        // Nothing left that would make the room: only now does saving pause, and the pictures
        // saved meanwhile stay.
        fetch(0);
        QTRY_COMPARE(said(" AutoSave paused: less than "), 1);
        QCOMPARE(said(" free for " + cam()), 1);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QCOMPARE(camFiles().filter(QRegularExpression("^Alpha")).size(), 2);
        QVERIFY(QFile::exists(foreign));
        fetch(0); // paused: nothing saved, nothing removed, said once
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QCOMPARE(camFiles().filter(QRegularExpression("^Alpha")).size(), 2);
        QCOMPARE(said(" AutoSave paused"), 1);
    }

    // A write refused half-way (a file-size limit for a full disk) leaves no trace and says why.
    void refusedWriteLeavesNoTrace()
    {
        const auto listBytes = [] {
            QFile list(camListPath());
            return list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray();
        };
        const QByteArray listBefore = listBytes();
        QVERIFY(!listBefore.isEmpty());
        find<QCheckBox>("chkSave")->setChecked(true);
        show(0);
        constexpr int kLimit = 1024;
        const QString reason = " picture could not be saved as " + cam() + "/Alpha\\S*\\.jpg: \\S";
        QVERIFY(WithFileSizeLimit(kLimit, [&] {
            fetch(0);
            QTRY_VERIFY(status().contains(QRegularExpression(" new" + reason)));
            QSignalSpy statusChanges(find<QLineEdit>("txtStatus"), &QLineEdit::textChanged);
            find<QPushButton>("cmdSave")->click();
            QVERIFY(statusChanges.wait());
            QVERIFY(status().contains(QRegularExpression("\\d" + reason)));
        }));
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(QDir(cam()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(listBytes(), listBefore);
        QCOMPARE(pane()->picture(0).bytes(), m_served["/alpha.jpg"]);
        fetch(0);
        QTRY_COMPARE(camFiles().size(), 1);
        QTRY_VERIFY(status().endsWith(" new picture saved as " + cam() + '/' + camFiles().value(0)));
        QVERIFY(QFileInfo(cam() + '/' + camFiles().value(0)).size() > 2 * kLimit); // it was cut half-way
        QCOMPARE(listBytes(), listBefore);
    }

    // A screen reader walking the main window, with a password camera open and shown in the
    // viewer, meets the camera but never its password.
    void noPasswordInTheAccessibleTree()
    {
        m_window->listCommands()->OpenCam("Secret"); // slot 2
        QTRY_COMPARE(m_handled.value(2), 1);
        QCOMPARE(pane()->picture(2).bytes(), m_served["/secret.jpg"]); // the password was sent
        show(2);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QStringList texts;
        collectAccessibleTexts(QAccessible::queryAccessibleInterface(m_window.get()), texts);
        QVERIFY(texts.contains("Secret"));
        QCOMPARE(texts.filter(QString::fromLatin1(kSecretPassword)), QStringList());
        QCOMPARE(texts.filter(QString::fromLatin1(kSecretUser)), QStringList());
        QVERIFY(pane()->slot(2)->address().contains(QString::fromLatin1(kSecretPassword))); // still kept
    }

    // A particular wider than its label is shown whole where the frame has room, and its tool
    // tip holds it in any case; the label stays where it was.
    void longValuesShownWhole_data()
    {
        QTest::addColumn<QString>("value"); // Last Changed
        QTest::addColumn<int>("windowWidth"); // 0: as the window opens
        QTest::addColumn<bool>("whole");
        QTest::addColumn<bool>("smaller"); // in a smaller font than the other particulars
        QTest::newRow("a date") << " Sat, 06 Dec 2025 13:05:09 GMT" << 0 << true << false;
        QTest::newRow("a long date, narrowest window")
            << " Saturday, 06 December 2025 13:05:09 GMT" << 820 << true << true;
        QTest::newRow("far too long") << QString(400, 'W') << 0 << false << true;
    }
    void longValuesShownWhole()
    {
        QFETCH(QString, value);
        QFETCH(int, windowWidth);
        QFETCH(bool, whole);
        QFETCH(bool, smaller);
        if (windowWidth > 0)
            m_window->resize(windowWidth, m_window->height());
        pane()->slot(0)->setUpdatedText(value);
        show(0);
        auto *label = find<QLabel>("lblLastChanged");
        namespace G = ViewerGeometry;
        QCOMPARE(label->pos(),
                 toPixels(TwipRect{G::kValueLeft, G::kRowFirstTop + 2 * G::kRowStep, 1, 1}).topLeft());
        QCOMPARE(label->text() == value, whole);
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                 qPrintable(QString::number(label->contentsRect().width())));
        QVERIFY(label->geometry().right() <= find("frmDetails")->contentsRect().right());
        QCOMPARE(label->toolTip(), value);
        QCOMPARE(label->font().pointSizeF() < find<QLabel>("lblName")->font().pointSizeF(), smaller);
    }

    // A save that ends after the slot's next reply still reaches the status line: the detail
    // slot's always, a failure whatever the slot.
    void saveOutlastingTheNextReplyIsReported_data()
    {
        QTest::addColumn<int>("shown"); // the slot in the viewer; slot 0 saves
        QTest::addColumn<bool>("fails"); // the cam folder is a file
        QTest::addColumn<QString>("said"); // what the status line ends up saying; "" for nothing
        QTest::newRow("saved, shown slot") << 0 << false << " new picture saved as ";
        QTest::newRow("failed, shown slot") << 0 << true << " new picture could not be saved as ";
        QTest::newRow("failed, another slot") << 1 << true << " new picture could not be saved as ";
        QTest::newRow("saved, another slot") << 1 << false << "";
    }
    void saveOutlastingTheNextReplyIsReported()
    {
        QFETCH(int, shown);
        QFETCH(bool, fails);
        QFETCH(QString, said);
        if (fails) {
            QDir(cam()).removeRecursively();
            QFile file(cam());
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        find<QCheckBox>("chkSave")->setChecked(true);
        show(shown);
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        pane()->setInlineDecoding(true); // the replies do not wait for the held workers
        {
            HeldWorkers held;
            fetch(0); // a changed picture: its save waits
            m_frozen = true;
            fetch(0); // the next reply, unchanged, is handled meanwhile
        }
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        if (said.isEmpty())
            QCOMPARE(status(), QString("status..."));
        else
            QVERIFY2(status().contains(said + cam() + "/Alpha"), qPrintable(status()));
        QCOMPARE(camFiles().size(), fails ? 0 : 1);
    }

    // A reply with the bytes shown is decoded neither for the slot nor for the detail and
    // full-screen views; both still take the reply (indicator, texts) and follow the next picture.
    void sameBytesNotDecodedByTheViews()
    {
        show(0);
        find<QPushButton>("Command3")->click();
        QWidget *form6 = TestWindows::visibleWindow("Form6");
        QVERIFY(form6 != nullptr);
        auto *image1 = form6->findChild<StretchImage *>("Image1");
        QWidget *indicator = form6->findChild<QWidget *>("picrefresh");
        QTRY_COMPARE(image1->image().size(), QSize(320, 240));
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        const quint64 serial = pane()->picture(0).serial();
        const quint64 decodes = SlotPicture::decodeCount();
        fetch(0); // the same bytes, a new date
        QTRY_VERIFY(view()->pictureJobs()->isIdle());
        QCOMPARE(SlotPicture::decodeCount(), decodes);
        QCOMPARE(pane()->picture(0).serial(), serial);
        QVERIFY(indicator->isHidden());
        QCOMPARE(image1->image().size(), QSize(320, 240));
        QCOMPARE(imgMain()->image().size(), QSize(320, 240));
        QCOMPARE(find<QLabel>("lblLastChanged")->text(), pane()->updatedText(0));
        m_sizes["/alpha.jpg"] = QSize(400, 300);
        fetch(0);
        QTRY_COMPARE(image1->image().size(), QSize(400, 300));
        QCOMPARE(imgMain()->image().size(), QSize(400, 300));
        QCOMPARE(SlotPicture::decodeCount(), decodes + 2); // the slot's, then the views' one
    }

    // Escape closes the full-screen view as a click does; other keys leave it.
    void fullScreenViewClosesOnEscape_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << false;
    }
    void fullScreenViewClosesOnEscape()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        show(0);
        find<QPushButton>("Command3")->click();
        QWidget *form6 = TestWindows::visibleWindow("Form6");
        QVERIFY(form6 != nullptr);
        QTest::keyClick(form6, Qt::Key(key));
        QCOMPARE(TestWindows::visibleWindow("Form6") == nullptr, closes);
        QCOMPARE(m_window->state().blnFullScreen, !closes);
    }

    void fullScreenViewKeepsTheScreenSaverAway()
    {
        ScreenSaverStandIn standIn(m_bus.address());
        QVERIFY(standIn.start());
        show(0);
        find<QPushButton>("Command3")->click();
        QWidget *form6 = TestWindows::visibleWindow("Form6");
        QVERIFY(form6 != nullptr && form6->isFullScreen() && m_window->state().blnFullScreen);
        auto *image1 = form6->findChild<StretchImage *>("Image1");
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit"}));
        m_sizes["/alpha.jpg"] = QSize(200, 150);
        fetch(0);
        QTRY_COMPARE(image1->image().size(), QSize(200, 150));
        QTest::mouseClick(image1, Qt::LeftButton);
        QTRY_VERIFY(TestWindows::visibleWindow("Form6") == nullptr);
        QVERIFY(!m_window->state().blnFullScreen);
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit", "UnInhibit 41"}));
    }

    // The wall from the Cams menu; a tile opens its camera full screen, whose click comes back to
    // the wall; the wall and the full-screen view each keep the screen saver away for themselves.
    void cameraWallAndItsFullScreenView()
    {
        ScreenSaverStandIn standIn(m_bus.address());
        QVERIFY(standIn.start());
        auto *wallItem = find<QAction>("mnuCamWall");
        QCOMPARE(wallItem->shortcut(), QKeySequence(Qt::Key_F11));
        wallItem->trigger();
        wallItem->trigger(); // the open wall comes to the front; no second one
        QWidget *wall = TestWindows::visibleWindow("frmWall");
        QVERIFY(wall != nullptr && wall->isFullScreen());
        QCOMPARE(m_window->findChildren<WallWindow *>().size(), 1);
        QTRY_VERIFY(screenSaverInhibitionHeld());
        QTest::mouseClick(m_window->cameraWall()->tile(1), Qt::LeftButton);
        QCOMPARE(m_window->state().intDetailSlot, 1);
        QWidget *form6 = TestWindows::visibleWindow("Form6");
        QVERIFY(form6 != nullptr && m_window->state().blnFullScreen);
        QTest::mouseClick(form6->findChild<StretchImage *>("Image1"), Qt::LeftButton);
        QTRY_VERIFY(TestWindows::visibleWindow("Form6") == nullptr);
        QVERIFY(wall->isVisible());
        QVERIFY(screenSaverInhibitionHeld()); // still the wall's
        QTest::keyClick(wall, Qt::Key_Escape);
        QTRY_VERIFY(TestWindows::visibleWindow("frmWall") == nullptr);
        QTRY_COMPARE(standIn.calls(), QStringList({"Inhibit", "UnInhibit 41"}));
    }

    // History beside Save Image: the detail camera's saved pictures, kept current while it is
    // open; asked for again, the open window comes to the front.
    void historyOfTheDetailCamera()
    {
        show(1);
        find<QPushButton>("cmdSave")->click(); // a picture of Beta: none of Alpha's history
        show(0);
        find<QPushButton>("cmdSave")->click();
        QTRY_COMPARE(camFiles().size(), 2);
        auto *history = find<QPushButton>("cmdHistory");
        QCOMPARE(history->geometry(), toPixels(ViewerGeometry::cmdHistory));
        QCOMPARE(history->accessibleName(), QString("History"));
        history->click();
        QWidget *window = TestWindows::visibleWindow("frmHistory");
        QVERIFY(window != nullptr);
        QCOMPARE(window->windowTitle(), QString("History - Alpha"));
        auto *count = window->findChild<QLabel *>("lblCount");
        QTRY_COMPARE(count->text(), QString("1 of 1"));
        fetch(0);
        find<QPushButton>("cmdSave")->click();
        QTRY_COMPARE(count->text(), QString("2 of 2"));
        history->click();
        QCOMPARE(TestWindows::visibleWindow("frmHistory"), window);
        QCOMPARE(m_window->findChildren<QWidget *>("frmHistory").size(), 1);
        window->findChild<QPushButton *>("cmdLive")->click();
        QTRY_VERIFY(TestWindows::visibleWindow("frmHistory") == nullptr);
    }
};

VANTORA_WIDGET_TEST_MAIN(TestViewer)
#include "tst_viewer.moc"
