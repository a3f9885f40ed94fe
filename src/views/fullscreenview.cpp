#include "views/fullscreenview.h"

#include "common/devicepicture.h"
#include "common/lockwindow.h"
#include "common/pictures.h"
#include "common/screensaver.h"
#include "common/sharedstate.h"
#include "views/stretchimage.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QResizeEvent>
#include <QScreen>

FullScreenView::FullScreenView(SharedState &state, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_state(state)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Form6"));
    setAttribute(Qt::WA_DeleteOnClose);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    m_picrefresh = new QLabel(this);
    m_picrefresh->setObjectName(QStringLiteral("picrefresh"));
    m_picrefresh->setPixmap(QPixmap::fromImage(devicePicture(Pictures::Refresh, highestDevicePixelRatio())));
    m_picrefresh->adjustSize();
    m_picrefresh->setAccessibleName(QStringLiteral("Fetching a new picture"));
    m_picrefresh->hide();

    m_Image1 = new StretchImage(this);
    m_Image1->setObjectName(QStringLiteral("Image1"));
    m_Image1->setAccessibleName(QStringLiteral("Camera picture, full screen; click to close"));
    connect(m_Image1, &StretchImage::clicked, this, &FullScreenView::Image1_Click);
    // The indicator is drawn over the picture, so a running fetch can be seen.
    m_picrefresh->raise();

    Form_Load();
}

FullScreenView::~FullScreenView()
{
    // Destroyed with its parent while still open: give the screen saver back all the same.
    if (!m_unloaded)
        SetScreenSaverActive(true);
}

void FullScreenView::Form_Load()
{
    Form_Resize();
}

void FullScreenView::Form_Resize()
{
    m_Image1->setGeometry(0, 0, width(), height());
}

void FullScreenView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void FullScreenView::setPicture(const QImage &picture)
{
    m_Image1->setImage(picture);
}

const QImage &FullScreenView::picture() const
{
    return m_Image1->image();
}

void FullScreenView::showRefreshIndicator()
{
    m_picrefresh->show();
}

void FullScreenView::showReplyPicture(const QImage &picture)
{
    LockWindow(this, true);
    m_picrefresh->hide();
    m_Image1->setImage(picture);
    LockWindow(this, false);
}

void FullScreenView::showOn(QScreen *screen)
{
    if (screen != nullptr)
        setGeometry(screen->geometry());
    showFullScreen();
    activateWindow(); // the keys go to it, also when it was open already
}

void FullScreenView::Image1_Click()
{
    m_state.blnFullScreen = false;
    close();
}

void FullScreenView::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the view as a click does: without it a keyboard user could not leave.
    if (event->key() == Qt::Key_Escape) {
        Image1_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FullScreenView::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void FullScreenView::Form_Unload()
{
    // However the window goes, it is no longer there to be kept current.
    m_state.blnFullScreen = false;
    SetScreenSaverActive(true);
    m_unloaded = true;
}
