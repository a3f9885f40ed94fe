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
    QStringLiteral("The camera's latest picture. Click it to show it large in the viewer.");

// Geometry inside the slot frame, in twips. The data fields and cmdStart lie below the frame's
// lower edge, out of sight.
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

// A control out of sight: it takes no focus, so typing blind never reaches it.
template<typename W>
W *hiddenControl(W *widget, const char *objectName, const TwipRect &geometry, const QString &accessibleName)
{
    namedChild(widget, objectName, geometry);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setAccessibleName(accessibleName);
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
    m_imgCam->setAccessibleName(QStringLiteral("Camera picture"));
    m_imgCam->setAccessibleDescription(kPictureDescription);
    m_dimmed = new QGraphicsOpacityEffect(m_imgCam);
    m_dimmed->setOpacity(kDimmedOpacity);
    m_dimmed->setEnabled(false);
    m_imgCam->setGraphicsEffect(m_dimmed);

    m_imgRefresh = namedChild(new ClickableImage(this), "imgRefresh", kImgRefresh);
    m_imgRefresh->setScaledContents(true);
    m_imgRefresh->setAccessibleName(QStringLiteral("Fetching a new picture"));
    m_imgRefresh->hide();

    m_prgCam = namedChild(new QProgressBar(this), "prgCam", kPrgCam);
    m_prgCam->setRange(0, kProgressMaximum);
    m_prgCam->setValue(0);
    m_prgCam->setTextVisible(false);
    m_prgCam->setAccessibleName(QStringLiteral("Picture received"));

    m_cmdRefresh = newPictureButton(this, "cmdRefresh", kCmdRefresh, Pictures::SlotRefresh, "Refresh");
    m_cmdStop = newPictureButton(this, "cmdStop", kCmdStop, Pictures::SlotStop, "Stop");

    m_txtRefreshed =
        hiddenControl(new QLineEdit(this), "txtRefreshed", kTxtRefreshed, QStringLiteral("Last refreshed"));
    m_txtAddress =
        hiddenControl(new QLineEdit(this), "txtAddress", kTxtAddress, QStringLiteral("Picture address"));
    m_txtRefresh =
        hiddenControl(new QLineEdit(this), "txtRefresh", kTxtRefresh, QStringLiteral("Refresh seconds"));
    m_txtRefresh->setText(QStringLiteral("30"));
    m_txtName = hiddenControl(new QLineEdit(this), "txtName", kTxtName, QStringLiteral("Camera name"));
    m_txtUpdated =
        hiddenControl(new QLineEdit(this), "txtUpdated", kTxtUpdated, QStringLiteral("Last changed"));
    m_cmdStart = hiddenControl(new QPushButton(QStringLiteral("start"), this), "cmdStart", kCmdStart,
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
    m_imgCam->setToolTip(m_fetchNote);
    m_imgCam->setAccessibleDescription(m_fetchNote);
    m_dimmed->setEnabled(failed);
    emit changed(SlotChange::Outcome);
}

void CameraSlot::clearFetchOutcome()
{
    m_failuresInRow = 0;
    m_fetchNote.clear();
    m_imgCam->setToolTip(QString());
    m_imgCam->setAccessibleDescription(kPictureDescription);
    m_dimmed->setEnabled(false);
    emit changed(SlotChange::Outcome);
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

void CameraSlot::setPicture(SlotPicture picture)
{
    m_picture = std::move(picture);
    if (m_picture.isBlank())
        m_imgCam->clear();
    else
        m_imgCam->setPixmap(QPixmap::fromImage(m_picture.slotImage()));
    emit changed(SlotChange::Picture);
}
