#include "slots/cameraslot.h"

#include "common/clickableimage.h"
#include "common/localtext.h"
#include "common/lockwindow.h"
#include "common/namedchild.h"
#include "common/picturebutton.h"
#include "common/pictures.h"
#include "slots/fetchoutcome.h"
#include "slots/slotdecoder.h"
#include "slots/slotfetch.h"

#include <QGraphicsOpacityEffect>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kTimerIntervalMs = 1000;
constexpr int kProgressMaximum = 100;
const QString kPictureDescription =
    QStringLiteral("The camera's latest picture. Click it, or press Enter, to show it large in the viewer.");

// Geometry inside the slot frame, in twips. The data fields and cmdStart keep their place below
// the frame's lower edge, inside the slot's store.
constexpr TwipRect kImgCam{180, 240, 1275, 960};
constexpr TwipRect kImgRefresh{660, 600, 315, 255};
constexpr TwipRect kPrgCam{180, 1200, 1275, 135};
constexpr TwipRect kCmdRefresh{180, 1380, 435, 435};
constexpr TwipRect kCmdStop{1020, 1380, 435, 435};
constexpr TwipRect kTxtRefreshed{120, 2880, 1395, 285};
constexpr TwipRect kTxtAddress{120, 3180, 1395, 285};
constexpr TwipRect kTxtRefresh{120, 3480, 1395, 285};
constexpr TwipRect kTxtName{120, 3780, 1395, 285};
constexpr TwipRect kTxtUpdated{120, 4080, 1395, 285};
constexpr TwipRect kCmdStart{120, 4380, 1395, 255};

// A control of the slot's store: hidden, and it takes no focus, so typing blind never reaches it.
template<typename W>
W *hiddenControl(W *widget, const char *objectName, const TwipRect &geometry, const QString &accessibleName)
{
    namedChild(widget, objectName, geometry);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAccessibleName(accessibleName);
    widget->hide();
    return widget;
}

} // namespace

CameraSlot::CameraSlot(qint16 Index, QWidget *parent)
    : QGroupBox(QStringLiteral("[WebCam]"), parent)
    , m_index(Index)
{
    setObjectName(QStringLiteral("Frame"));

    m_imgCam = namedChild(new ClickableImage(this), "imgCam", kImgCam);
    m_imgCam->setScaledContents(true);
    m_imgCam->setFocusPolicy(Qt::TabFocus); // in the Tab chain of the shown slots; a click opens the viewer
    m_imgCam->setAccessibleName(QStringLiteral("Camera picture"));
    m_dimmed = new QGraphicsOpacityEffect(m_imgCam);
    m_dimmed->setOpacity(kDimmedOpacity);
    m_dimmed->setEnabled(false);
    m_imgCam->setGraphicsEffect(m_dimmed);

    m_imgRefresh = namedChild(new ClickableImage(this), "imgRefresh", kImgRefresh);
    m_imgRefresh->setScaledContents(true);
    m_imgRefresh->setAccessibleName(QStringLiteral("Fetching a new picture"));
    m_imgRefresh->hide();
    showNote(QString(), kPictureDescription);

    m_prgCam = namedChild(new QProgressBar(this), "prgCam", kPrgCam);
    m_prgCam->setRange(0, kProgressMaximum);
    m_prgCam->setValue(0);
    m_prgCam->setTextVisible(false);
    m_prgCam->setAccessibleName(QStringLiteral("Picture received"));

    m_cmdRefresh = newPictureButton(this, "cmdRefresh", kCmdRefresh, Pictures::SlotRefresh, "Refresh");
    m_cmdStop = newPictureButton(this, "cmdStop", kCmdStop, Pictures::SlotStop, "Stop");

    // The slot's store: the data fields and cmdStart. A window that is never shown is no child of
    // the slot to assistive technology, so the address's "user:password@" is never read out.
    auto *store = new QWidget(this, Qt::Window);
    store->setObjectName(QStringLiteral("store"));
    m_txtRefreshed =
        hiddenControl(new QLineEdit(store), "txtRefreshed", kTxtRefreshed, QStringLiteral("Last refreshed"));
    m_txtAddress =
        hiddenControl(new QLineEdit(store), "txtAddress", kTxtAddress, QStringLiteral("Picture address"));
    m_txtRefresh =
        hiddenControl(new QLineEdit(store), "txtRefresh", kTxtRefresh, QStringLiteral("Refresh seconds"));
    m_txtRefresh->setText(QStringLiteral("30"));
    m_txtName = hiddenControl(new QLineEdit(store), "txtName", kTxtName, QStringLiteral("Camera name"));
    m_txtUpdated =
        hiddenControl(new QLineEdit(store), "txtUpdated", kTxtUpdated, QStringLiteral("Last changed"));
    m_cmdStart = hiddenControl(new QPushButton(QStringLiteral("start"), store), "cmdStart", kCmdStart,
                               QStringLiteral("start"));

    m_timRefresh = new QTimer(this);
    m_timRefresh->setObjectName(QStringLiteral("timRefresh"));
    m_timRefresh->setInterval(kTimerIntervalMs);
    m_timRefresh->setTimerType(Qt::PreciseTimer);

    m_fetch = new SlotFetch(this);
    m_decoder = new SlotDecoder(this);

    connect(m_imgCam, &ClickableImage::clicked, this, &CameraSlot::pictureClicked);
    connect(m_imgRefresh, &ClickableImage::clicked, this, &CameraSlot::indicatorClicked);
    connect(m_cmdRefresh, &QToolButton::clicked, this, &CameraSlot::refreshClicked);
    connect(m_cmdStop, &QToolButton::clicked, this, &CameraSlot::stopClicked);
    connect(m_cmdStart, &QPushButton::clicked, this, &CameraSlot::startClicked);
    connect(m_timRefresh, &QTimer::timeout, this, &CameraSlot::timerTicked);

    hide();
}

CameraSlot::~CameraSlot() = default;

QString CameraSlot::name() const
{
    return m_txtName->text();
}

QString CameraSlot::address() const
{
    return m_txtAddress->text();
}

QString CameraSlot::refreshText() const
{
    return m_txtRefresh->text();
}

QString CameraSlot::updatedText() const
{
    return m_txtUpdated->text();
}

QString CameraSlot::refreshedText() const
{
    return m_txtRefreshed->text();
}

void CameraSlot::setCamera(const QString &name, const QString &address, const QString &refreshText)
{
    m_txtName->setText(name);
    m_txtAddress->setText(address);
    m_txtRefresh->setText(refreshText);
    emit changed(SlotChange::Camera);
}

void CameraSlot::setFetchOutcome(const QString &outcomeText, bool failed)
{
    m_failuresInRow = failed ? m_failuresInRow + 1 : 0;
    m_fetchNote = outcomeNote(LongTimeText(QTime::currentTime()), outcomeText, m_failuresInRow);
    showNote(m_fetchNote, m_fetchNote);
    m_dimmed->setEnabled(failed);
    emit changed(SlotChange::Outcome);
}

void CameraSlot::clearFetchOutcome()
{
    m_failuresInRow = 0;
    m_fetchNote.clear();
    showNote(QString(), kPictureDescription);
    m_dimmed->setEnabled(false);
    emit changed(SlotChange::Outcome);
}

void CameraSlot::showNote(const QString &toolTip, const QString &description)
{
    // The indicator covers the middle of the picture: it tells the same, wherever the pointer rests.
    for (ClickableImage *image : {m_imgCam, m_imgRefresh}) {
        image->setToolTip(toolTip);
        image->setAccessibleDescription(description);
    }
}

void CameraSlot::setUpdatedText(const QString &text)
{
    m_txtUpdated->setText(text);
}

void CameraSlot::setRefreshedText(const QString &text)
{
    m_txtRefreshed->setText(text);
}

bool CameraSlot::isIndicatorShown() const
{
    return !m_imgRefresh->isHidden();
}

void CameraSlot::setIndicatorShown(bool shown)
{
    if (shown == isIndicatorShown())
        return;
    m_imgRefresh->setVisible(shown);
    emit changed(SlotChange::Fetching);
}

void CameraSlot::raiseIndicator()
{
    m_imgRefresh->raise();
}

void CameraSlot::setIndicatorPicture(const QPixmap &picture)
{
    m_imgRefresh->setPixmap(picture);
}

int CameraSlot::progress() const
{
    return m_prgCam->value();
}

void CameraSlot::setProgress(int value)
{
    if (value == m_prgCam->value())
        return;
    m_prgCam->setValue(value);
    emit changed(SlotChange::Progress);
}

void CameraSlot::startRefreshTimer()
{
    m_timRefresh->start();
}

void CameraSlot::stopRefreshTimer()
{
    m_timRefresh->stop();
}

bool CameraSlot::isRefreshTimerActive() const
{
    return m_timRefresh->isActive();
}

void CameraSlot::lockPicture(bool lock)
{
    LockWindow(m_imgCam, lock);
}

QSize CameraSlot::pictureSize() const
{
    return m_imgCam->size();
}

QSize CameraSlot::decodeSize() const
{
    // Rounded as imgCam rounds when it stretches a picture to its device pixels: no second scaling.
    return pictureSize() * m_imgCam->devicePixelRatio();
}

void CameraSlot::setPicture(SlotPicture picture)
{
    m_picture = std::move(picture);
    if (m_picture.isBlank()) {
        m_imgCam->clear();
    } else {
        // Decoded for the screen's device pixels: shown at imgCam's size in logical pixels.
        QPixmap pixmap = QPixmap::fromImage(m_picture.slotImage());
        pixmap.setDevicePixelRatio(m_imgCam->devicePixelRatio());
        m_imgCam->setPixmap(pixmap);
    }
    emit changed(SlotChange::Picture);
}
