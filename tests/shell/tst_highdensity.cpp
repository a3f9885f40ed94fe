#include "camserver/camserver.h"
#include "camserver/testpictures.h"
#include "clock/internetclock.h"
#include "common/pictures.h"
#include "common/programfolder.h"
#include "shell/mainwindow.h"
#include "shell/showhelpsetting.h"
#include "slots/cameraslot.h"
#include "slots/slotpane.h"
#include "support/isolatedsettings.h"
#include "support/offscreenmain.h"
#include "support/privatesessionbus.h"
#include "testwindows.h"
#include "views/detailview.h"
#include "views/stretchimage.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

// A picture in which every pixel differs from its neighbours: any scaling on its way to the
// screen turns it grey.
QImage checkerboard(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x + y) % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }
    return image;
}

QByteArray png(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// Pictures compared in the format pixmaps keep them in.
QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// One of the program's pictures drawn for ratio (its "@2x" file at 2).
QImage drawnFor(const QString &picture, qreal ratio)
{
    QString path = picture;
    if (ratio > 1)
        path.replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    return rgb(QImage(path));
}

// The mean difference per colour channel, 0 to 255, of two pictures of one size.
double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

} // namespace

// The viewer on a screen of device pixel ratio 2 (QT_SCALE_FACTOR; CTest runs it at 1 as well):
// pictures reach the screen's device pixels, geometry stays in logical pixels.
class TestHighDensity : public QObject
{
    Q_OBJECT

    PrivateSessionBus m_bus; // before anything asks for the session bus
    IsolatedSettings m_settings;
    QTemporaryDir m_dir;
    CamServer m_server;
    QByteArray m_contentType;
    QByteArray m_body;
    std::unique_ptr<MainWindow> m_window;
    int m_handled = 0; // replies handled by slot 0
    qreal m_ratio = 1;

    SlotPane *pane() const { return m_window->frmCams; }
    CameraSlot *slot0() const { return pane()->slot(0); }
    template<typename T = QWidget>
    T *find(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    StretchImage *imgMain() const { return find<StretchImage>("imgMain"); }

    // Slot 0 fetches once and shows what the camera sends.
    void fetch(const QByteArray &contentType, const QByteArray &body)
    {
        m_contentType = contentType;
        m_body = body;
        const int before = m_handled;
        pane()->cmdRefresh_Click(0);
        QTRY_VERIFY(m_handled > before);
    }
    // The picture as a widget shows it, in device pixels.
    static QImage shown(QWidget *widget)
    {
        QImage image = rgb(widget->grab().toImage());
        image.setDevicePixelRatio(1); // compared pixel for pixel
        return image;
    }
    // What a picture control was given: a label's pixmap, or a button's icon at its size here.
    QPixmap given(QWidget *widget) const
    {
        if (auto *label = qobject_cast<QLabel *>(widget))
            return label->pixmap();
        auto *button = qobject_cast<QAbstractButton *>(widget);
        return button->icon().pixmap(button->iconSize(), m_ratio);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!m_bus.address().isEmpty());
        m_ratio = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
        QCOMPARE(qApp->devicePixelRatio(), m_ratio); // the run is at the ratio it claims
        QApplication::setQuitOnLastWindowClosed(false);
        SetProgramFolder(m_dir.path());
        WriteShowHelpSetting(QStringLiteral("0"));
        QVERIFY(m_server.listen());
        m_server.setHandler("/cam.jpg", [this](const QByteArray &) {
            CamReply reply;
            reply.bytes = CamServer::httpReply("HTTP/1.1 200 OK", {"Content-Type: " + m_contentType}, m_body);
            return reply;
        });
    }

    void init()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->findChild<InternetClock *>()->setServer(QStringLiteral("127.0.0.1"), 1); // never asked
        m_window->Form_Load();
        m_window->show();
        m_handled = 0;
        connect(pane(), &SlotPane::replyHandled, m_window.get(),
                [this](int i) { m_handled += i == 0 ? 1 : 0; });
        m_contentType = "image/jpeg";
        m_body = TestPictures::jpeg(64, 48);
        pane()->loadCam(0, QStringLiteral("Harbour"),
                        QStringLiteral("http://127.0.0.1:%1/cam.jpg").arg(m_server.port()),
                        QStringLiteral("300")); // no timed refresh during a test
        QTRY_COMPARE(m_handled, 1);
    }

    void cleanup()
    {
        m_window.reset();
        TestWindows::deleteAll();
    }

    // A camera picture is decoded straight to the slot's device pixels and shown pixel for pixel.
    void slotPicture()
    {
        auto *imgCam = slot0()->findChild<QLabel *>("imgCam");
        const QSize device = imgCam->size() * m_ratio;
        const QImage picture = checkerboard(device);
        fetch("image/png", png(picture));
        QCOMPARE(imgCam->pixmap().size(), device);
        QCOMPARE(imgCam->pixmap().devicePixelRatio(), m_ratio);
        QCOMPARE(shown(imgCam), rgb(picture));
    }

    // The program's small pictures come from their drawings for the ratio, not scaled up.
    void programPictures_data()
    {
        QTest::addColumn<QByteArray>("objectName"); // in slot 0 or the main window
        QTest::addColumn<QString>("picture");
        QTest::newRow("refresh indicator")
            << QByteArray("imgRefresh") << QString::fromLatin1(Pictures::Refresh);
        QTest::newRow("not-found picture") << QByteArray("imgCam") << QString::fromLatin1(Pictures::NotFound);
        QTest::newRow("slot button") << QByteArray("cmdStop") << QString::fromLatin1(Pictures::SlotStop);
        QTest::newRow("list button") << QByteArray("cmdEdit") << QString::fromLatin1(Pictures::Edit);
    }

    void programPictures()
    {
        QFETCH(QByteArray, objectName);
        QFETCH(QString, picture);
        fetch("text/html", "<html>gone</html>");
        QWidget *widget = slot0()->findChild<QWidget *>(QString::fromLatin1(objectName));
        if (widget == nullptr)
            widget = find(objectName.constData());
        const QPixmap pixmap = given(widget);
        QCOMPARE(pixmap.devicePixelRatio(), m_ratio);
        QCOMPARE(rgb(pixmap.toImage()), drawnFor(picture, m_ratio));
    }

    // The full-screen view's indicator keeps its logical size.
    void fullScreenIndicator()
    {
        find<QPushButton>("Command3")->click();
        QWidget *form6 = TestWindows::visibleWindow("Form6");
        QVERIFY(form6 != nullptr);
        auto *picrefresh = form6->findChild<QLabel *>("picrefresh");
        QCOMPARE(picrefresh->size(), QImage(QString::fromLatin1(Pictures::Refresh)).size());
        QCOMPARE(rgb(picrefresh->pixmap().toImage()),
                 drawnFor(QString::fromLatin1(Pictures::Refresh), m_ratio));
    }

    // The detail view sizes a picture in logical pixels, whatever the screen.
    void detailView_data()
    {
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QSize>("logical"); // imgMain's size
        QTest::addColumn<QSize>("pixels"); // the picture imgMain is given
        const QSize notFound = QImage(QString::fromLatin1(Pictures::NotFound)).size();
        QTest::newRow("camera picture")
            << QByteArray("image/jpeg") << TestPictures::jpeg(160, 120) << QSize(160, 120) << QSize(160, 120);
        QTest::newRow("not-found picture")
            << QByteArray("text/html") << QByteArray("<html>gone</html>") << notFound << notFound * m_ratio;
    }

    void detailView()
    {
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QSize, logical);
        QFETCH(QSize, pixels);
        fetch(contentType, body);
        QTest::mouseClick(slot0()->findChild<QWidget *>("imgCam"), Qt::LeftButton);
        QTRY_COMPARE(imgMain()->image().size(), pixels);
        QCOMPARE(imgMain()->size(), logical);
    }

    // A picture with as many pixels as the screen has device pixels reaches every one of them.
    void fullScreenPicture()
    {
        QScreen *screen = m_window->screen();
        const QImage picture = checkerboard(screen->geometry().size() * m_ratio);
        fetch("image/png", png(picture));
        QTest::mouseClick(slot0()->findChild<QWidget *>("imgCam"), Qt::LeftButton);
        QTRY_COMPARE(imgMain()->image().size(), picture.size());
        find<QPushButton>("Command3")->click();
        QWidget *form6 = TestWindows::visibleWindow("Form6");
        QVERIFY(form6 != nullptr);
        auto *image1 = form6->findChild<StretchImage *>("Image1");
        QTRY_COMPARE(image1->size(), screen->geometry().size());
        QCOMPARE(shown(image1), rgb(picture));
    }

    // Each twice-sized drawing is its picture at twice the size.
    void twiceSizedDrawings_data()
    {
        QTest::addColumn<QString>("picture");
        for (const char *picture :
             {Pictures::Refresh, Pictures::NotFound, Pictures::SlotRefresh, Pictures::SlotStop, Pictures::Add,
              Pictures::Remove, Pictures::Edit, Pictures::StartCam, Pictures::StopAll})
            QTest::newRow(picture) << QString::fromLatin1(picture);
    }

    void twiceSizedDrawings()
    {
        QFETCH(QString, picture);
        constexpr double kSameDrawing = 8; // of 255: edges drawn at two sizes differ a little
        const QImage once = drawnFor(picture, 1);
        const QImage twice = drawnFor(picture, 2);
        QCOMPARE(twice.size(), once.size() * 2);
        const QImage halved = twice.scaled(once.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY2(meanDifference(halved, once) < kSameDrawing,
                 qPrintable(QString::number(meanDifference(halved, once))));
    }
};

// QT_SCALE_FACTOR must be set before the application object exists.
VANTORA_WIDGET_TEST_MAIN_PREPARED(TestHighDensity, [] {
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR"))
        qputenv("QT_SCALE_FACTOR", "2");
})
#include "tst_highdensity.moc"
