#include "common/localtext.h"
#include "common/moduleloader.h"
#include "common/pictureworkers.h"
#include "history/historyindexer.h"
#include "history/historypictureview.h"
#include "history/historywindow.h"
#include "history/timelapseloader.h"
#include "history/timelapsename.h"
#include "pictureinfo/picturemetadata.h"
#include "support/offscreenmain.h"
#include "timelapse/timelapsefactory.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDateTimeEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime kMorning(QDate(2026, 6, 1), QTime(8, 0), QTimeZone(3600));

QByteArray jpegOf(const QSize &size, int gray)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(gray, gray, gray));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A picture as the program saves it: its camera and time in its metadata.
bool savePicture(const QString &folder, const QString &name, const QString &camera, int seconds, int gray,
                 const QSize &size = QSize(320, 240))
{
    const PictureInfo info{camera, QStringLiteral("http://127.0.0.1/cam.jpg"), kMorning.addSecs(seconds)};
    return writeFile(folder + QLatin1Char('/') + name, withPictureInfo(jpegOf(size, gray), info));
}

// A picture saved before pictures carried metadata: only its name and file time tell.
bool saveOldPicture(const QString &folder, const QString &name, int seconds, const QByteArray &bytes)
{
    QFile file(folder + QLatin1Char('/') + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.setFileTime(kMorning.addSecs(seconds), QFileDevice::FileModificationTime);
}

template<typename T>
T *child(const QWidget &window, const char *name)
{
    return window.findChild<T *>(QString::fromLatin1(name));
}

QString countText(const QWidget &window)
{
    return child<QLabel>(window, "lblCount")->text();
}

QString whenText(const QWidget &window)
{
    return child<QLabel>(window, "lblWhen")->text();
}

// Whether a library whose file name holds `name` is loaded into this process.
bool isLoaded(const QString &name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name.toUtf8());
}

const QString kModulePath = QStringLiteral(VANTORA_BUILT_TIME_LAPSE_MODULE);
const QString kModuleName = QFileInfo(kModulePath).fileName();
const QString kModuleFolder = QFileInfo(kModulePath).path();

HistoryPictureView *view(const QWidget &window)
{
    return child<HistoryPictureView>(window, "imgHistory");
}

// The gray level at the centre of the picture shown; -1 when a text is shown instead.
int shownGray(const QWidget &window)
{
    const QImage &image = view(window)->image();
    return image.isNull() ? -1 : qGray(image.pixel(image.width() / 2, image.height() / 2));
}

bool near(int gray, int expected)
{
    return qAbs(gray - expected) <= 8;
}

} // namespace

// Records the URLs the desktop was asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    // These two first: they see the time-lapse module loaded by the first video.
    void timeLapseWithoutTheModule();
    void timeLapseThroughTheModule();
    void moduleOfAnotherInterfaceIsRefused();
    void stepsThroughPicturesInTimeOrder();
    void camerasSharingAPrefix_data();
    void camerasSharingAPrefix();
    void followsFilesComingAndGoing();
    void damagedPictureIsSaidAndSkippable();
    void decodesAtTheWindowsSize();
    void everyControlIsNamed();
    void openFolderAndLive();
    void timeLapseOfTheChosenRange();
    void cancelledTimeLapseLeavesNothing();
    void timeLapseName_data();
    void timeLapseName();
    // As the program does before it ends: a folder scan still running on the picture workers
    // must not start work on them while they are being torn down.
    void cleanupTestCase() { waitForPictureWork(); }

private:
    static HistoryWindow *openWindow(const QString &folder, const QString &camera, const QStringList &names);
    // Saves three pictures of "Cam" in folder, opens its window and makes the video of them;
    // `finished` gets exportFinished's arguments.
    static void exportThreePictures(const QString &folder, std::unique_ptr<HistoryWindow> &window,
                                    QVariantList &finished);
};

HistoryWindow *TestHistoryWindow::openWindow(const QString &folder, const QString &camera,
                                             const QStringList &names)
{
    auto *window = HistoryWindow::forCamera(folder, camera, names);
    window->show();
    return window;
}

void TestHistoryWindow::exportThreePictures(const QString &folder, std::unique_ptr<HistoryWindow> &window,
                                            QVariantList &finished)
{
    for (int i = 0; i < 3; ++i)
        QVERIFY(savePicture(folder, QStringLiteral("p%1.jpg").arg(i), QStringLiteral("Cam"), i * 60, 80));
    window.reset(openWindow(folder, QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    QTRY_COMPARE(countText(*window), QStringLiteral("3 of 3"));
    QSignalSpy spy(window.get(), &HistoryWindow::exportFinished);
    child<QAbstractButton>(*window, "cmdExport")->click();
    QVERIFY(spy.wait(20000));
    finished = spy.first();
}

void TestHistoryWindow::initTestCase()
{
    setTimeLapseModuleFolder(kModuleFolder);
}

// No module where it is looked for: the export fails with a short reason, writes nothing, and the
// window can try again.
void TestHistoryWindow::timeLapseWithoutTheModule()
{
    if (isLoaded(kModuleName))
        QSKIP("the time-lapse module is loaded already");
    QTemporaryDir empty;
    setTimeLapseModuleFolder(empty.path());
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^The time-lapse module could not be loaded: .")));
    QTemporaryDir dir;
    std::unique_ptr<HistoryWindow> window;
    QVariantList finished;
    exportThreePictures(dir.path(), window, finished);
    setTimeLapseModuleFolder(kModuleFolder);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(finished.at(0).toBool(), false);
    QCOMPARE(child<QLabel>(*window, "lblExport")->text(),
             QStringLiteral("The video could not be made: the video encoder could not be loaded"));
    QCOMPARE(child<QProgressBar>(*window, "prgExport")->value(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    QVERIFY(!window->isExporting());
    QVERIFY(child<QAbstractButton>(*window, "cmdExport")->isEnabled());
}

// The program does not link the encoders: the first video loads the module (from the build
// folder), after a failed attempt too.
void TestHistoryWindow::timeLapseThroughTheModule()
{
    QVERIFY(!isLoaded(QStringLiteral("libavcodec")));
    QVERIFY(!isLoaded(kModuleName));
    QTemporaryDir dir;
    std::unique_ptr<HistoryWindow> window;
    QVariantList finished;
    exportThreePictures(dir.path(), window, finished);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(finished.at(0).toBool(), true);
    QVERIFY(QFileInfo(finished.at(1).toString()).size() > 0);
    QVERIFY(isLoaded(kModuleName));
    QVERIFY(isLoaded(QStringLiteral("libavcodec")));
}

// A module that does not offer the interface asked for (another version's) is not used.
void TestHistoryWindow::moduleOfAnotherInterfaceIsRefused()
{
    const QByteArray name = QFileInfo(kModulePath).completeBaseName().toUtf8();
    ModuleLoader other(name.constData(), "org.vantora.Vantora.TimeLapseFactory/0");
    other.setFolder(kModuleFolder);
    QString error;
    QCOMPARE(other.instance(&error), nullptr);
    QVERIFY(error.contains(QStringLiteral("does not offer")));
    ModuleLoader same(name.constData(), VANTORA_TIME_LAPSE_FACTORY_IID);
    same.setFolder(kModuleFolder);
    QVERIFY(qobject_cast<TimeLapseFactory *>(same.instance()) != nullptr);
}

void TestHistoryWindow::stepsThroughPicturesInTimeOrder()
{
    QTemporaryDir dir;
    // Written out of order; names that sort otherwise than the times.
    QVERIFY(savePicture(dir.path(), QStringLiteral("c.jpg"), QStringLiteral("Cam"), 120, 200));
    QVERIFY(savePicture(dir.path(), QStringLiteral("a.jpg"), QStringLiteral("Cam"), 3600, 250));
    QVERIFY(savePicture(dir.path(), QStringLiteral("b.jpg"), QStringLiteral("Cam"), 0, 50));
    QVERIFY(
        saveOldPicture(dir.path(), QStringLiteral("Cam612026801AM.jpg"), 60, jpegOf(QSize(320, 240), 100)));
    QVERIFY(savePicture(dir.path(), QStringLiteral("z.jpg"), QStringLiteral("Other"), 30, 0));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam"), QStringLiteral("Other")}));
    QSignalSpy shown(window.get(), &HistoryWindow::pictureShown);

    // It opens at the newest picture.
    QTRY_COMPARE(countText(*window), QStringLiteral("4 of 4"));
    QTRY_VERIFY2(near(shownGray(*window), 250),
                 qPrintable(QString::number(shownGray(*window)) + view(*window)->text()));
    QVERIFY(!child<QAbstractButton>(*window, "cmdNext")->isEnabled());
    QCOMPARE(whenText(*window), DateTimeStampText(kMorning.addSecs(3600).toLocalTime()));

    struct Step
    {
        int gray;
        int seconds;
    };
    const Step expected[] = {{200, 120}, {100, 60}, {50, 0}};
    for (const Step &step : expected) {
        shown.clear();
        child<QAbstractButton>(*window, "cmdPrevious")->click();
        QVERIFY(shown.wait());
        QVERIFY2(near(shownGray(*window), step.gray), qPrintable(QString::number(shownGray(*window))));
        QCOMPARE(whenText(*window), DateTimeStampText(kMorning.addSecs(step.seconds).toLocalTime()));
    }
    QCOMPARE(countText(*window), QStringLiteral("1 of 4"));
    // What a screen reader says of the two.
    QCOMPARE(child<QLabel>(*window, "lblCount")->accessibleName(), QStringLiteral("Picture 1 of 4"));
    QCOMPARE(child<QLabel>(*window, "lblWhen")->accessibleName(),
             QStringLiteral("Saved ") + DateTimeStampText(kMorning.toLocalTime()));
    QVERIFY(!child<QAbstractButton>(*window, "cmdPrevious")->isEnabled());
    QCOMPARE(child<QSlider>(*window, "sldTimeline")->value(), 0);

    // The slider moves through the same order.
    shown.clear();
    child<QSlider>(*window, "sldTimeline")->setValue(2);
    QVERIFY(shown.wait());
    QCOMPARE(countText(*window), QStringLiteral("3 of 4"));
    QVERIFY(near(shownGray(*window), 200));
}

void TestHistoryWindow::camerasSharingAPrefix_data()
{
    QTest::addColumn<QString>("camera");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("newestGray");
    QTest::newRow("Cam") << QStringLiteral("Cam") << 2 << 60;
    QTest::newRow("Cam1") << QStringLiteral("Cam1") << 3 << 160;
}

void TestHistoryWindow::camerasSharingAPrefix()
{
    QFETCH(QString, camera);
    QFETCH(int, count);
    QFETCH(int, newestGray);
    QTemporaryDir dir;
    // With metadata the name is compared whole, whatever the file is called.
    QVERIFY(savePicture(dir.path(), QStringLiteral("Cam1x.jpg"), QStringLiteral("Cam"), 10, 60));
    QVERIFY(savePicture(dir.path(), QStringLiteral("Cam5.jpg"), QStringLiteral("Cam1"), 20, 160));
    QVERIFY(savePicture(dir.path(), QStringLiteral("Cam1y.jpg"), QStringLiteral("Cam1"), 5, 150));
    // Without, the saved-name pattern: "Cam" then a date that cannot be Cam1's.
    QVERIFY(saveOldPicture(dir.path(), QStringLiteral("Cam612026801AM.jpg"), 1, jpegOf(QSize(32, 24), 30)));
    QVERIFY(saveOldPicture(dir.path(), QStringLiteral("Cam1612026801AM.jpg"), 2, jpegOf(QSize(32, 24), 130)));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), camera, {QStringLiteral("Cam"), QStringLiteral("Cam1")}));
    QTRY_COMPARE(countText(*window), QStringLiteral("%1 of %1").arg(count));
    QTRY_VERIFY(near(shownGray(*window), newestGray));
}

void TestHistoryWindow::followsFilesComingAndGoing()
{
    QTemporaryDir dir;
    QVERIFY(savePicture(dir.path(), QStringLiteral("p1.jpg"), QStringLiteral("Cam"), 10, 10));
    QVERIFY(savePicture(dir.path(), QStringLiteral("p2.jpg"), QStringLiteral("Cam"), 20, 80));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    QTRY_COMPARE(countText(*window), QStringLiteral("2 of 2"));

    // At the newest picture a new one is followed.
    QVERIFY(savePicture(dir.path(), QStringLiteral("p3.jpg"), QStringLiteral("Cam"), 30, 160));
    QTRY_COMPARE(countText(*window), QStringLiteral("3 of 3"));
    QTRY_VERIFY(near(shownGray(*window), 160));

    // Looking back, the picture shown stays while others come, earlier ones among them.
    window->showPosition(0);
    QTRY_VERIFY(near(shownGray(*window), 10));
    QVERIFY(savePicture(dir.path(), QStringLiteral("p4.jpg"), QStringLiteral("Cam"), 40, 240));
    QVERIFY(savePicture(dir.path(), QStringLiteral("p0.jpg"), QStringLiteral("Cam"), 0, 120));
    QTRY_COMPARE(countText(*window), QStringLiteral("2 of 5"));
    QVERIFY(near(shownGray(*window), 10));

    // The picture shown is removed: its neighbour takes its place.
    QVERIFY(QFile::remove(dir.filePath(QStringLiteral("p1.jpg"))));
    QTRY_COMPARE(countText(*window), QStringLiteral("2 of 4"));
    QTRY_VERIFY(near(shownGray(*window), 80));

    // All removed: nothing to step through, and nothing for a video.
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
        QVERIFY(QFile::remove(dir.filePath(name)));
    QTRY_COMPARE(countText(*window), QStringLiteral("0 of 0"));
    QVERIFY(!child<QAbstractButton>(*window, "cmdExport")->isEnabled());
    QVERIFY(!child<QSlider>(*window, "sldTimeline")->isEnabled());
    QCOMPARE(shownGray(*window), -1);
}

void TestHistoryWindow::damagedPictureIsSaidAndSkippable()
{
    QTemporaryDir dir;
    QVERIFY(savePicture(dir.path(), QStringLiteral("good1.jpg"), QStringLiteral("Cam"), 0, 40));
    const QByteArray whole = jpegOf(QSize(320, 240), 90);
    QVERIFY(
        saveOldPicture(dir.path(), QStringLiteral("Cam612026800AM.jpg"), 10, whole.left(whole.size() / 3)));
    QVERIFY(savePicture(dir.path(), QStringLiteral("good2.jpg"), QStringLiteral("Cam"), 20, 200));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    QTRY_COMPARE(countText(*window), QStringLiteral("3 of 3"));
    QSignalSpy shown(window.get(), &HistoryWindow::pictureShown);
    child<QAbstractButton>(*window, "cmdPrevious")->click();
    QVERIFY(shown.wait());
    QCOMPARE(countText(*window), QStringLiteral("2 of 3"));
    // Cut short: what the decoder makes of it, or the text; never the neighbour's picture.
    QVERIFY(!near(shownGray(*window), 200));
    QVERIFY(!near(shownGray(*window), 40));
    child<QAbstractButton>(*window, "cmdPrevious")->click();
    QTRY_VERIFY(near(shownGray(*window), 40));

    // Not a picture at all.
    QVERIFY(
        saveOldPicture(dir.path(), QStringLiteral("Cam612026805AM.jpg"), 30, QByteArray("\xff\xd8 nothing")));
    QTRY_COMPARE(countText(*window), QStringLiteral("1 of 4"));
    shown.clear();
    window->showPosition(3);
    QVERIFY(shown.wait());
    QCOMPARE(shownGray(*window), -1);
    QVERIFY(!view(*window)->text().isEmpty());
}

void TestHistoryWindow::decodesAtTheWindowsSize()
{
    QTemporaryDir dir;
    QVERIFY(
        savePicture(dir.path(), QStringLiteral("big.jpg"), QStringLiteral("Cam"), 0, 128, QSize(1920, 1080)));
    QVERIFY(
        savePicture(dir.path(), QStringLiteral("small.jpg"), QStringLiteral("Cam"), 10, 128, QSize(64, 48)));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    window->resize(640, 600);
    QTRY_COMPARE(countText(*window), QStringLiteral("2 of 2"));
    // A small picture as it is (the view scales it up when painting).
    QTRY_COMPARE(view(*window)->image().size(), QSize(64, 48));
    window->showPosition(0);
    const QSize box = view(*window)->pixelSize();
    QTRY_VERIFY(view(*window)->image().width() > 64);
    QVERIFY(view(*window)->image().width() <= box.width());
    QVERIFY(view(*window)->image().height() <= box.height());
    // Made larger: decoded again at the new size.
    window->resize(1200, 1000);
    QTRY_VERIFY(view(*window)->image().width() > box.width());
}

void TestHistoryWindow::everyControlIsNamed()
{
    QTemporaryDir dir;
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    const QList<QWidget *> controls = window->findChildren<QWidget *>();
    int checked = 0;
    for (QWidget *control : controls) {
        const bool isControl = qobject_cast<QAbstractButton *>(control) || qobject_cast<QSlider *>(control) ||
            qobject_cast<QDateTimeEdit *>(control) || qobject_cast<QSpinBox *>(control) ||
            qobject_cast<QProgressBar *>(control) || qobject_cast<QLabel *>(control) ||
            qobject_cast<HistoryPictureView *>(control);
        // The date fields' and spin box's own inner editors belong to them.
        if (!isControl || control->parentWidget()->inherits("QAbstractSpinBox"))
            continue;
        ++checked;
        QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
        QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
    }
    QVERIFY(checked >= 18);
}

void TestHistoryWindow::openFolderAndLive()
{
    QTemporaryDir dir;
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    // Closing deletes it: the test keeps it alive to look.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    child<QAbstractButton>(*window, "cmdOpenFolder")->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
    QVERIFY(window->isVisible());
    child<QAbstractButton>(*window, "cmdLive")->click();
    QVERIFY(!window->isVisible());
}

void TestHistoryWindow::timeLapseOfTheChosenRange()
{
    QTemporaryDir dir;
    for (int i = 0; i < 6; ++i)
        QVERIFY(
            savePicture(dir.path(), QStringLiteral("p%1.jpg").arg(i), QStringLiteral("Cam"), i * 60, 40 * i));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    QTRY_COMPARE(countText(*window), QStringLiteral("6 of 6"));
    // All of them by default; then from the second picture to the fifth.
    QCOMPARE(window->timeLapsePictures().size(), 6);
    QCOMPARE(child<QSpinBox>(*window, "spnFps")->value(), 25);
    window->showPosition(1);
    child<QAbstractButton>(*window, "cmdFromHere")->click();
    window->showPosition(4);
    child<QAbstractButton>(*window, "cmdToHere")->click();
    const QStringList range = window->timeLapsePictures();
    QCOMPARE(range.size(), 4);
    QCOMPARE(range.first(), dir.filePath(QStringLiteral("p1.jpg")));
    QCOMPARE(range.last(), dir.filePath(QStringLiteral("p4.jpg")));

    // A chosen end stays where it is when a picture comes.
    QVERIFY(savePicture(dir.path(), QStringLiteral("p6.jpg"), QStringLiteral("Cam"), 360, 250));
    QTRY_COMPARE(countText(*window), QStringLiteral("5 of 7"));
    QCOMPARE(window->timeLapsePictures().size(), 4);

    QSignalSpy finished(window.get(), &HistoryWindow::exportFinished);
    child<QAbstractButton>(*window, "cmdExport")->click();
    QVERIFY(window->isExporting());
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first().at(0).toBool(), true);
    const QString path = finished.first().at(1).toString();
    QCOMPARE(QFileInfo(path).fileName(),
             timeLapseFileName(QStringLiteral("Cam"), kMorning.addSecs(60), kMorning.addSecs(240)));
    QVERIFY(QFileInfo(path).size() > 0);
    QCOMPARE(child<QProgressBar>(*window, "prgExport")->value(), 100);
    QVERIFY(!window->isExporting());
    // The video is no picture of the history.
    QTest::qWait(400);
    QCOMPARE(countText(*window), QStringLiteral("5 of 7"));
}

void TestHistoryWindow::cancelledTimeLapseLeavesNothing()
{
    QTemporaryDir dir;
    for (int i = 0; i < 80; ++i)
        QVERIFY(savePicture(dir.path(), QStringLiteral("p%1.jpg").arg(i), QStringLiteral("Cam"), i, i,
                            QSize(640, 480)));
    std::unique_ptr<HistoryWindow> window(
        openWindow(dir.path(), QStringLiteral("Cam"), {QStringLiteral("Cam")}));
    QTRY_COMPARE(countText(*window), QStringLiteral("80 of 80"));
    QSignalSpy finished(window.get(), &HistoryWindow::exportFinished);
    child<QAbstractButton>(*window, "cmdExport")->click();
    child<QAbstractButton>(*window, "cmdCancel")->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(finished.first().at(0).toBool(), false);
    const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left.filter(QStringLiteral(".mp4")), QStringList());
    QCOMPARE(left.size(), 80);
    QVERIFY(child<QAbstractButton>(*window, "cmdExport")->isEnabled());

    // Closing the window while a video is written gives it up too.
    child<QAbstractButton>(*window, "cmdExport")->click();
    window.reset();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 80);
}

void TestHistoryWindow::timeLapseName_data()
{
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QString>("name");
    const QString range = QStringLiteral("20260601-080000 to 20260601-090000.mp4");
    QTest::newRow("plain") << QStringLiteral("Garden") << QStringLiteral("Garden ") + range;
    QTest::newRow("slashes and colons") << QStringLiteral("a/b\\c:d") << QStringLiteral("a_b_c_d ") + range;
    QTest::newRow("no hidden file") << QStringLiteral("..cam") << QStringLiteral("cam ") + range;
    QTest::newRow("control characters") << QStringLiteral("a\nb") << QStringLiteral("a_b ") + range;
    QTest::newRow("nothing left") << QStringLiteral("...") << range;
    QTest::newRow("very long") << QString(300, QLatin1Char('x'))
                               << QString(48, QLatin1Char('x')) + QLatin1Char(' ') + range;
}

void TestHistoryWindow::timeLapseName()
{
    QFETCH(QString, camera);
    QFETCH(QString, name);
    const QDateTime from(QDate(2026, 6, 1), QTime(8, 0)); // local time
    QCOMPARE(timeLapseFileName(camera, from, from.addSecs(3600)), name);
}

VANTORA_WIDGET_TEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
