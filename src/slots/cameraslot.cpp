#include "slots/cameraslot.h"

#include "common/clickableimage.h"
#include "common/picturebutton.h"
#include "common/pictures.h"
#include "common/twips.h"

#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kTimerIntervalMs = 1000;
constexpr int kProgressMaximum = 100;

// Geometry inside the slot frame, in twips. The data fields and cmdStart lie below the frame's
// lower edge, out of sight.
constexpr double kImgCam[] = {180, 240, 1275, 960};
constexpr double kImgRefresh[] = {660, 600, 315, 255};
constexpr double kPrgCam[] = {180, 1200, 1275, 135};
constexpr double kCmdRefresh[] = {180, 1380, 435, 435};
constexpr double kCmdStop[] = {1020, 1380, 435, 435};
constexpr double kFieldLeft = 120;
constexpr double kFieldWidth = 1395;
constexpr double kFieldHeight = 285;
constexpr double kTxtRefreshedTop = 2880;
constexpr double kTxtAddressTop = 3180;
constexpr double kTxtRefreshTop = 3480;
constexpr double kTxtNameTop = 3780;
constexpr double kTxtUpdatedTop = 4080;
constexpr double kCmdStart[] = {120, 4380, 1395, 255};

QLineEdit *dataField(QWidget *parent, const char *name, double top)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(TwipsRect(kFieldLeft, top, kFieldWidth, kFieldHeight));
    return field;
}

} // namespace

CameraSlot::CameraSlot(qint16 Index, QWidget *parent)
    : QGroupBox(QStringLiteral("[WebCam]"), parent)
    , m_index(Index)
{
    setObjectName(QStringLiteral("Frame"));

    imgCam = new ClickableImage(this);
    imgCam->setObjectName(QStringLiteral("imgCam"));
    imgCam->setGeometry(TwipsRect(kImgCam));
    imgCam->setScaledContents(true);

    imgRefresh = new ClickableImage(this);
    imgRefresh->setObjectName(QStringLiteral("imgRefresh"));
    imgRefresh->setGeometry(TwipsRect(kImgRefresh));
    imgRefresh->setScaledContents(true);
    imgRefresh->hide();

    prgCam = new QProgressBar(this);
    prgCam->setObjectName(QStringLiteral("prgCam"));
    prgCam->setGeometry(TwipsRect(kPrgCam));
    prgCam->setRange(0, kProgressMaximum);
    prgCam->setValue(0);
    prgCam->setTextVisible(false);

    cmdRefresh =
        NewPictureButton(this, "cmdRefresh", TwipsRect(kCmdRefresh), Pictures::SlotRefresh, "Refresh");
    cmdStop = NewPictureButton(this, "cmdStop", TwipsRect(kCmdStop), Pictures::SlotStop, "Stop");

    txtRefreshed = dataField(this, "txtRefreshed", kTxtRefreshedTop);
    txtAddress = dataField(this, "txtAddress", kTxtAddressTop);
    txtRefresh = dataField(this, "txtRefresh", kTxtRefreshTop);
    txtRefresh->setText(QStringLiteral("30"));
    txtName = dataField(this, "txtName", kTxtNameTop);
    txtUpdated = dataField(this, "txtUpdated", kTxtUpdatedTop);

    cmdStart = new QPushButton(QStringLiteral("start"), this);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdStart->setGeometry(TwipsRect(kCmdStart));

    timRefresh = new QTimer(this);
    timRefresh->setObjectName(QStringLiteral("timRefresh"));
    timRefresh->setInterval(kTimerIntervalMs);

    hide();
}

CameraSlot::~CameraSlot() = default;

void CameraSlot::setPicture(SlotPicture picture)
{
    m_picture = std::move(picture);
    if (m_picture.isBlank())
        imgCam->clear();
    else
        imgCam->setPixmap(QPixmap::fromImage(m_picture.slotImage()));
}
