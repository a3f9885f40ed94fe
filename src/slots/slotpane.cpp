#include "slots/slotpane.h"

#include "common/clickableimage.h"
#include "common/localtext.h"
#include "common/lockwindow.h"
#include "common/sharedstate.h"
#include "common/twips.h"
#include "slots/camaddress.h"
#include "slots/cameraslot.h"
#include "slots/dechunk.h"
#include "slots/httprequest.h"
#include "slots/refreshschedule.h"
#include "slots/replyheader.h"

#include <QDateTime>
#include <QFont>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace {

// Geometry in twips: the frame in the main window, the pane's window and the pane inside it.
constexpr double kFrmCams[] = {2520, 0, 3915, 10815};
constexpr double kPicWindowOuter[] = {120, 240, 3495, 10450};
constexpr double kPicWindowInner[] = {-30, -30, 3555, 24060};
constexpr double kVScroll1[] = {3600, 240, 255, 10455};
constexpr double kInnerTop = -30;

// The slot grid: two columns, twelve rows.
constexpr double kSlotLeftEven = 60;
constexpr double kSlotLeftOdd = 1800;
constexpr double kSlotTop = 60;
constexpr double kSlotRowPitch = 1980;
constexpr double kSlotWidth = 1635;
constexpr double kSlotHeight = 1935;

// The pane's scroll bar, in twips.
constexpr double kScrollMaximum = 14000;
constexpr double kScrollSmallStep = 600;
constexpr double kScrollLargeStep = 2000;

constexpr double kFramePointSize = 8.25;
constexpr QByteArrayView kHeaderEnd{"\r\n\r\n"};

QRect slotRect(int Index)
{
    const double left = (Index % 2 == 0) ? kSlotLeftEven : kSlotLeftOdd;
    const int row = Index / 2; // two slots a row
    const double top = kSlotTop + kSlotRowPitch * row;
    return TwipsRect(left, top, kSlotWidth, kSlotHeight);
}

qint32 clampedCount(qint64 bytes)
{
    return static_cast<qint32>(std::min<qint64>(bytes, std::numeric_limits<qint32>::max()));
}

// The body as it can be loaded: de-chunked when the header says so; empty when that fails.
std::optional<QByteArray> loadableBody(QByteArrayView headerBlock, const QByteArray &body)
{
    if (!IsChunkedHeader(headerBlock))
        return body;
    DechunkResult joined = Dechunk(body);
    if (joined.status != DechunkResult::Status::Ok)
        return std::nullopt;
    return std::move(joined.body);
}

} // namespace

SlotPane::SlotPane(SharedState &state, QWidget *parent)
    : QGroupBox(QStringLiteral("Webcams"), parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("frmCams"));
    setGeometry(TwipsRect(kFrmCams));
    QFont frameFont(QStringLiteral("Verdana"));
    frameFont.setPointSizeF(kFramePointSize);
    setFont(frameFont);

    m_picWindowOuter = new QWidget(this);
    m_picWindowOuter->setObjectName(QStringLiteral("picWindowOuter"));
    m_picWindowOuter->setGeometry(TwipsRect(kPicWindowOuter));

    m_picWindowInner = new QWidget(m_picWindowOuter);
    m_picWindowInner->setObjectName(QStringLiteral("picWindowInner"));
    m_picWindowInner->setGeometry(TwipsRect(kPicWindowInner));

    m_VScroll1 = new QScrollBar(Qt::Vertical, this);
    m_VScroll1->setObjectName(QStringLiteral("VScroll1"));
    m_VScroll1->setGeometry(TwipsRect(kVScroll1));
    m_VScroll1->setRange(0, TwipsToPixels(kScrollMaximum));
    m_VScroll1->setSingleStep(TwipsToPixels(kScrollSmallStep));
    m_VScroll1->setPageStep(TwipsToPixels(kScrollLargeStep));
    // The pane moves when the value has changed, not while the thumb is dragged.
    m_VScroll1->setTracking(false);
    connect(m_VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });

    for (int i = 0; i < kSlotCount; ++i) {
        auto *cameraSlot = new CameraSlot(static_cast<qint16>(i), m_picWindowInner);
        cameraSlot->setGeometry(slotRect(i));
        m_slots[static_cast<std::size_t>(i)] = cameraSlot;
        connectSlot(cameraSlot);
    }
}

SlotPane::~SlotPane()
{
    // Sockets die with their slots; none of them may call back into a pane being destroyed.
    for (CameraSlot *cameraSlot : m_slots)
        abandonFetch(cameraSlot);
}

CameraSlot *SlotPane::slot(int Index) const
{
    return m_slots.at(static_cast<std::size_t>(Index));
}

void SlotPane::connectSlot(CameraSlot *cameraSlot)
{
    const qint16 Index = cameraSlot->index();
    connect(cameraSlot->imgCam, &ClickableImage::clicked, this, [this, Index] { emit imgCam_Click(Index); });
    connect(cameraSlot->imgRefresh, &ClickableImage::clicked, this,
            [this, Index] { imgRefresh_Click(Index); });
    connect(cameraSlot->cmdRefresh, &QToolButton::clicked, this, [this, Index] { cmdRefresh_Click(Index); });
    connect(cameraSlot->cmdStop, &QToolButton::clicked, this, [this, Index] { cmdStop_Click(Index); });
    connect(cameraSlot->cmdStart, &QPushButton::clicked, this, [this, Index] { cmdStart_Click(Index); });
    connect(cameraSlot->timRefresh, &QTimer::timeout, this, [this, Index] { timRefresh_Timer(Index); });
}

void SlotPane::setRefreshPicture(const QPixmap &picture)
{
    for (CameraSlot *cameraSlot : m_slots)
        cameraSlot->imgRefresh->setPixmap(picture);
}

void SlotPane::abandonFetch(CameraSlot *cameraSlot)
{
    QTcpSocket *socket = std::exchange(cameraSlot->wsCam, nullptr);
    if (socket == nullptr)
        return;
    socket->disconnect();
    socket->abort();
    socket->deleteLater();
}

void SlotPane::cmdStart_Click(qint16 Index)
{
    CameraSlot *s = slot(Index);
    s->imgRefresh->show();
    if (Index == m_state.intDetailSlot && m_state.blnFullScreen)
        emit detailFetchStarted(Index);
    s->imgRefresh->raise();
    s->refreshSeconds = RefreshSecondsFromText(s->txtRefresh->text(), s->refreshSeconds);
    s->elapsedSeconds = 0;
    s->timRefresh->start();
    s->setTitle(s->txtName->text());
    abandonFetch(s);

    // From here on a failure ends the start silently; the indicator stays and the timer retries.
    const AddressSplit split = SplitAddress(s->txtAddress->text());
    if (split.status != AddressSplit::Status::Ok)
        return;
    s->hostName = split.address.hostName;
    s->requestPath = split.address.requestPath;
    s->m_port = split.address.port;
    s->m_hostHeader = split.address.hostHeader;

    s->replyBuffer = QByteArray();
    s->headerDone = false;
    s->contentLength = 0;
    s->bytesReceived = 0;
    s->m_headerScan.reset();

    const QString host = split.address.connectHost();
    if (host.isEmpty())
        return;
    auto *socket = new QTcpSocket(s);
    s->wsCam = socket;
    connect(socket, &QTcpSocket::connected, this, [this, Index] { wsCam_Connect(Index); });
    connect(socket, &QTcpSocket::readyRead, this,
            [this, Index, socket] { wsCam_DataArrival(Index, clampedCount(socket->bytesAvailable())); });
    connect(socket, &QTcpSocket::disconnected, this,
            [this, Index, socket] { onSocketDisconnected(Index, socket); });
    connect(socket, &QTcpSocket::errorOccurred, this, [s, socket](QAbstractSocket::SocketError error) {
        // The server's close is reported as an error too; the disconnect that follows handles
        // it. Any other error (refused, unresolvable, ...) is a failed fetch: nothing to handle.
        if (error != QAbstractSocket::RemoteHostClosedError && s->wsCam == socket)
            abandonFetch(s);
    });
    socket->connectToHost(host, s->m_port);
}

void SlotPane::wsCam_Connect(qint16 Index)
{
    CameraSlot *s = slot(Index);
    if (s->requestPath.contains(QLatin1Char(' ')))
        s->requestPath = EscapeSpaces(s->requestPath);
    if (s->wsCam != nullptr)
        s->wsCam->write(BuildRequest(s->requestPath, s->m_hostHeader));
}

void SlotPane::wsCam_DataArrival(qint16 Index, qint32 bytesTotal)
{
    CameraSlot *s = slot(Index);
    QTcpSocket *socket = s->wsCam;
    if (socket == nullptr)
        return;
    const qint64 waiting = socket->bytesAvailable();
    const qsizetype before = s->replyBuffer.size();
    if (waiting > m_replySizeLimit - before) {
        abandonFetch(s);
        s->replyBuffer = QByteArray();
        s->m_headerScan.reset();
        return;
    }

    // Read straight into the reply's own storage: one copy per byte.
    s->replyBuffer.resize(before + waiting);
    const qint64 got = socket->read(s->replyBuffer.data() + before, waiting);
    s->replyBuffer.resize(before + std::max<qint64>(got, 0));
    s->bytesReceived = clampedCount(static_cast<qint64>(s->bytesReceived) + bytesTotal);

    if (s->headerDone) {
        if (const std::optional<int> value = ProgressValue(s->bytesReceived, s->contentLength))
            s->prgCam->setValue(*value);
        return;
    }
    const qsizetype headerEnd = s->m_headerScan.scan(s->replyBuffer);
    if (headerEnd < 0)
        return;
    s->headerDone = true;
    // The header block with its blank line is headerEnd + 4 bytes long.
    s->bytesReceived = clampedCount(static_cast<qint64>(s->bytesReceived) - headerEnd - kHeaderEnd.size());
    s->contentLength = ContentLengthOf(QByteArrayView(s->replyBuffer).first(headerEnd));
}

void SlotPane::onSocketDisconnected(qint16 Index, QTcpSocket *socket)
{
    CameraSlot *s = slot(Index);
    if (s->wsCam != socket)
        return;
    // Bytes that came with the server's close are one more data event before the reply is handled.
    if (socket->bytesAvailable() > 0) {
        wsCam_DataArrival(Index, clampedCount(socket->bytesAvailable()));
        if (s->wsCam != socket)
            return;
    }
    wsCam_Close(Index);
}

void SlotPane::wsCam_Close(qint16 Index)
{
    CameraSlot *s = slot(Index);
    s->imgRefresh->hide();

    QByteArray headerBlock;
    const qsizetype headerEnd = s->replyBuffer.indexOf(kHeaderEnd);
    if (headerEnd >= 0) {
        headerBlock = s->replyBuffer.first(headerEnd);
        s->replyBuffer.remove(0, headerEnd + kHeaderEnd.size());
    }

    // Drawing is suspended for the slot's picture only. Releasing a lock repaints all it covered,
    // and the picture is what a reply changes; locking the whole window (or even the slot frame)
    // made every reply repaint far more than changed, costing more than the decode at camera
    // sizes. Qt paints nothing while a handler runs, so the indicator's and the views' changes
    // still appear together with the picture.
    QWidget *const target = s->imgCam;
    if (IsPictureHeader(headerBlock)) {
        const LastModifiedCheck check = CheckLastModified(headerBlock, s->lastModified);
        s->pictureChanged = check.pictureChanged;
        if (check.hasLine) {
            s->txtUpdated->setText(check.updatedText);
            s->lastModified = check.lastModified;
            if (check.stampRefreshed)
                s->txtRefreshed->setText(DateTimeStampText(QDateTime::currentDateTime()));
        }
        const std::optional<QByteArray> body = loadableBody(headerBlock, s->replyBuffer);
        if (body)
            s->replyBuffer = *body; // the body as loaded (shared, not copied)

        LockWindow(target, true);
        if (body) {
            if (std::optional<SlotPicture> picture = SlotPicture::decode(*body, s->imgCam->size()))
                s->setPicture(std::move(*picture));
        }
        s->imgRefresh->hide();
        if (Index == m_state.intDetailSlot)
            emit detailPictureLoaded(Index);
        if (s->pictureChanged)
            emit changedPictureLoaded(Index);
        LockWindow(target, false);
    } else {
        LockWindow(target, true);
        s->setPicture(SlotPicture::notFound());
        s->imgRefresh->hide();
        LockWindow(target, false);
    }

    if (Index == m_state.intDetailSlot)
        emit detailReplyHandled(Index);
    emit replyHandled(Index);
}

void SlotPane::timRefresh_Timer(qint16 Index)
{
    CameraSlot *s = slot(Index);
    if (s->elapsedSeconds < std::numeric_limits<qint32>::max())
        ++s->elapsedSeconds;
    if (Index == m_state.intDetailSlot)
        emit detailTick(Index, NextRefreshText(s->txtRefresh->text(), s->elapsedSeconds, s->refreshSeconds));
    if (s->elapsedSeconds >= s->refreshSeconds) {
        s->timRefresh->stop();
        s->imgRefresh->show();
        cmdStart_Click(Index);
    }
}

void SlotPane::cmdRefresh_Click(qint16 Index)
{
    cmdStart_Click(Index);
}

void SlotPane::imgRefresh_Click(qint16 Index)
{
    emit imgCam_Click(Index);
}

void SlotPane::cmdStop_Click(qint16 Index)
{
    CameraSlot *s = slot(Index);
    abandonFetch(s);
    s->timRefresh->stop();
    QWidget *const target = s->imgCam; // as in wsCam_Close
    LockWindow(target, true);
    s->setPicture(SlotPicture());
    s->imgRefresh->hide();
    LockWindow(target, false);
    s->setTitle(QStringLiteral("[webcam]"));
    const bool held = !s->isHidden();
    s->hide();
    if (held)
        --m_state.intOpenCams;
    if (Index == m_state.intDetailSlot) {
        m_state.intDetailSlot = -1;
        emit detailSlotStopped(Index);
    }
}

void SlotPane::cmdStopAll_Click()
{
    for (int i = 0; i < kSlotCount; ++i)
        cmdStop_Click(static_cast<qint16>(i));
}

void SlotPane::VScroll1_Change()
{
    m_picWindowInner->move(m_picWindowInner->x(), -m_VScroll1->value() + TwipsToPixels(kInnerTop));
}
