#include "shell/splashwindow.h"

#include "common/appidentity.h"
#include "common/pictures.h"
#include "common/twips.h"
#include "shell/mainwindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {

constexpr float kSplashWidth = 7170.0f; // twips
constexpr float kSplashHeight = 4770.0f; // twips
constexpr int kTimer2IntervalMs = 2;

} // namespace

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QRect area = toPixels(TwipRect{0, 0, kSplashWidth, kSplashHeight});
    setFixedSize(area.size());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(area);
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QString::fromLatin1(Pictures::Splash)));

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kTimer2IntervalMs);
    connect(Timer2, &QTimer::timeout, this, &SplashWindow::Timer2_Timer);
    Timer2->start();
}

SplashWindow::~SplashWindow() = default;

void SplashWindow::Timer2_Timer()
{
    ReadAppIdentity();
    intSplashCount = static_cast<qint16>(intSplashCount + kSplashStep);
    if (intSplashCount != kSplashEnd)
        return;

    Timer2->stop();
    auto *Form1 = new MainWindow;
    Form1->setAttribute(Qt::WA_DeleteOnClose);
    Form1->Form_Load();
    Form1->showMaximized();
    emit form1Shown(Form1);
    hide();
    deleteLater();
}
