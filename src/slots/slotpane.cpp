#include "slots/slotpane.h"

#include "common/framefont.h"
#include "common/localtext.h"
#include "common/namedchild.h"
#include "common/sharedstate.h"
#include "slots/cameraslot.h"
#include "slots/fetchoutcome.h"
#include "slots/picturechange.h"
#include "slots/picturereuse.h"
#include "slots/refreshschedule.h"
#include "slots/replybody.h"
#include "slots/replybudget.h"
#include "slots/replyheader.h"
#include "slots/slotdecoder.h"
#include "slots/slotfetch.h"

#include <QApplication>
#include <QDateTime>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace {

// Geometry in twips: the frame in the main window, the pane's window and the pane inside it.
constexpr TwipRect kFrmCams{2520, 0, 3915, 10815};
constexpr TwipRect kPicWindowOuter{120, 240, 3495, 10450};
constexpr TwipRect kPicWindowInner{-30, -30, 3555, 24060};
constexpr TwipRect kVScroll1{3600, 240, 255, 10455};

// The slot grid: two columns, twelve rows.
constexpr float kSlotLeftEven = 60;
constexpr float kSlotLeftOdd = 1800;
constexpr float kSlotTop = 60;
constexpr float kSlotRowPitch = 1980;
constexpr float kSlotWidth = 1635;
constexpr float kSlotHeight = 1935;

// The pane's scroll bar, in twips.
constexpr double kScrollMaximum = 14000;
constexpr double kScrollSmallStep = 600;
constexpr double kScrollLargeStep = 2000;

TwipRect slotRect(int Index)
{
    const float left = (Index % 2 == 0) ? kSlotLeftEven : kSlotLeftOdd;
    const int row = Index / 2; // two slots a row
    return TwipRect{left, kSlotTop + kSlotRowPitch * static_cast<float>(row), kSlotWidth, kSlotHeight};
}

} // namespace

SlotPane::SlotPane(SharedState &state, QWidget *parent)
    : QGroupBox(QStringLiteral("Webcams"), parent)
    , m_state(state)
    , m_replyBudget(std::make_unique<ReplyBudget>())
{
    namedChild(this, "frmCams", kFrmCams);
    setFont(frameFont());

    m_picWindowOuter = namedChild(new QWidget(this), "picWindowOuter", kPicWindowOuter);
    m_picWindowInner = namedChild(new QWidget(m_picWindowOuter), "picWindowInner", kPicWindowInner);

    m_VScroll1 = namedChild(new QScrollBar(Qt::Vertical, this), "VScroll1", kVScroll1);
    m_VScroll1->setRange(0, twipsToPixels(kScrollMaximum));
    m_VScroll1->setSingleStep(twipsToPixels(kScrollSmallStep));
    m_VScroll1->setPageStep(twipsToPixels(kScrollLargeStep));
    // The pane moves when the value has changed, not while the thumb is dragged.
    m_VScroll1->setTracking(false);
    m_VScroll1->setAccessibleName(QStringLiteral("Scroll the webcams"));
    connect(m_VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
    // A control reached with Tab is scrolled into sight.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { scrollToShow(now); });

    for (int i = 0; i < kSlotCount; ++i) {
        auto *cameraSlot = new CameraSlot(static_cast<qint16>(i), m_picWindowInner);
        cameraSlot->setGeometry(toPixels(slotRect(i)));
        m_slots[static_cast<std::size_t>(i)] = cameraSlot;
        connectSlot(cameraSlot);
    }
    // The wheel anywhere over the slots scrolls the pane, as over its scroll bar.
    m_picWindowOuter->installEventFilter(this);
    for (QWidget *w : m_picWindowOuter->findChildren<QWidget *>())
        w->installEventFilter(this);
}

SlotPane::~SlotPane()
{
    // The widget's own destruction moves the focus; the pane must not hear of it half destroyed.
    disconnect(qApp, nullptr, this, nullptr);
    // Sockets die with their slots; none of them may call back into a pane being destroyed.
    for (CameraSlot *cameraSlot : m_slots) {
        cameraSlot->fetch()->abandon();
        cameraSlot->fetch()->setReplyBudget(nullptr); // the budget goes before the slots
    }
}

CameraSlot *SlotPane::slot(int Index) const
{
    return m_slots.at(static_cast<std::size_t>(Index));
}

void SlotPane::connectSlot(CameraSlot *cameraSlot)
{
    const qint16 Index = cameraSlot->index();
    connect(cameraSlot, &CameraSlot::pictureClicked, this, [this, Index] { emit imgCam_Click(Index); });
    connect(cameraSlot, &CameraSlot::indicatorClicked, this, [this, Index] { imgRefresh_Click(Index); });
    connect(cameraSlot, &CameraSlot::refreshClicked, this, [this, Index] { cmdRefresh_Click(Index); });
    connect(cameraSlot, &CameraSlot::stopClicked, this, [this, Index] { cmdStop_Click(Index); });
    connect(cameraSlot, &CameraSlot::startClicked, this, [this, Index] { cmdStart_Click(Index); });
    connect(cameraSlot, &CameraSlot::timerTicked, this, [this, Index] { timRefresh_Timer(Index); });
    connect(cameraSlot, &CameraSlot::changed, this,
            [this, Index](SlotChange what) { emit slotChanged(Index, what); });
    SlotFetch *fetch = cameraSlot->fetch();
    fetch->setReplyBudget(m_replyBudget.get());
    connect(fetch, &SlotFetch::connected, this, [this, Index] { wsCam_Connect(Index); });
    connect(fetch, &SlotFetch::dataArrived, this,
            [this, Index](qint32 bytesTotal) { wsCam_DataArrival(Index, bytesTotal); });
    connect(fetch, &SlotFetch::replyFinished, this, [this, Index] { wsCam_Close(Index); });
    connect(cameraSlot->decoder(), &SlotDecoder::decoded, this,
            [this, Index](const SlotDecoder::Job &job, std::optional<SlotPicture> picture) {
                if (picture)
                    picture->setReceived(job.received);
                completeReply(Index, job.fetch, job.headerBlock, std::move(picture));
            });
    connect(fetch, &SlotFetch::failed, this,
            [this, Index](const FetchOutcome &outcome) { wsCam_Error(Index, outcome); });
}

QRect SlotPane::windowGeometry() const
{
    return m_picWindowOuter->geometry();
}

QRect SlotPane::scrollBarGeometry() const
{
    return m_VScroll1->geometry();
}

void SlotPane::setWindowGeometry(const QRect &window, const QRect &scrollBar)
{
    m_picWindowOuter->setGeometry(window);
    m_VScroll1->setGeometry(scrollBar);
}

const SlotPicture &SlotPane::picture(int Index) const
{
    return slot(Index)->picture();
}

QString SlotPane::camName(int Index) const
{
    return slot(Index)->name();
}

QString SlotPane::frameCaption(int Index) const
{
    return slot(Index)->title();
}

QString SlotPane::refreshText(int Index) const
{
    return slot(Index)->refreshText();
}

QString SlotPane::updatedText(int Index) const
{
    return slot(Index)->updatedText();
}

QString SlotPane::refreshedText(int Index) const
{
    return slot(Index)->refreshedText();
}

QString SlotPane::countdownText(int Index) const
{
    const CameraSlot *s = slot(Index);
    return nextRefreshText(s->refreshText(), s->elapsedSeconds, s->refreshSeconds);
}

void SlotPane::showSavedPicture(int Index, SlotPicture picture)
{
    CameraSlot *s = slot(Index);
    picture.keepViewImage(s->picture()); // saved again, it looks as it did
    s->lockPicture(true);
    s->setPicture(std::move(picture));
    s->lockPicture(false);
}

void SlotPane::setViewBox(int Index, const QSize &box)
{
    m_viewBoxes.at(static_cast<std::size_t>(Index)) = box;
}

PictureSizes SlotPane::decodeSizes(qint16 Index) const
{
    return PictureSizes{slot(Index)->decodeSize(), m_viewBoxes.at(static_cast<std::size_t>(Index))};
}

void SlotPane::setInlineDecoding(bool inlineDecoding)
{
    for (CameraSlot *cameraSlot : m_slots)
        cameraSlot->decoder()->setInline(inlineDecoding);
}

void SlotPane::setRefreshPicture(const QPixmap &picture)
{
    for (CameraSlot *cameraSlot : m_slots)
        cameraSlot->setIndicatorPicture(picture);
}

int SlotPane::firstFreeSlot() const
{
    for (const CameraSlot *cameraSlot : m_slots) {
        if (cameraSlot->isHidden())
            return cameraSlot->index();
    }
    return -1;
}

bool SlotPane::isNameOpen(const QString &name) const
{
    bool open = false;
    for (const CameraSlot *cameraSlot : m_slots)
        open = open || cameraSlot->title() == name;
    return open;
}

void SlotPane::loadCam(qint16 Index, const QString &name, const QString &address, const QString &refreshText)
{
    CameraSlot *s = slot(Index);
    s->show();
    s->setCamera(name, address, refreshText);
    s->clearFetchOutcome();
    s->previousBody = QByteArray(); // this camera's first picture is no new one
    s->previousThumbnail = QImage();
    cmdStart_Click(Index);
}

void SlotPane::updateOpenCam(const QString &openName, const QString &name, const QString &address,
                             const QString &refreshText)
{
    for (CameraSlot *s : m_slots) {
        if (s->isHidden() || s->title() != openName)
            continue;
        s->setCamera(name, address, refreshText);
        s->setTitle(name);
    }
}

void SlotPane::cmdStart_Click(qint16 Index)
{
    CameraSlot *s = slot(Index);
    s->setIndicatorShown(true);
    if (Index == m_state.intDetailSlot && m_state.blnFullScreen)
        emit detailFetchStarted(Index);
    s->raiseIndicator();
    s->refreshSeconds = refreshSecondsFromText(s->refreshText(), s->refreshSeconds);
    s->elapsedSeconds = 0;
    s->startRefreshTimer();
    s->setTitle(s->name());
    // Abandons the running fetch; a bad address ends the start there: the indicator stays and
    // the timer tries again.
    s->fetch()->setStallLimit(stallLimit(s->refreshSeconds));
    // The bytes the slot shows: a reply bringing them again is compared, not stored twice.
    const SlotPicture &shown = s->picture();
    if (!s->fetch()->start(s->address(),
                           shown.kind() == SlotPicture::Kind::Camera ? shown.bytes() : QByteArray()))
        reportOutcome(Index, FetchOutcome{FetchOutcome::Kind::BadAddress, {}});
}

void SlotPane::wsCam_Connect(qint16 Index)
{
    slot(Index)->fetch()->sendRequest();
}

void SlotPane::wsCam_DataArrival(qint16 Index, qint32 bytesTotal)
{
    CameraSlot *s = slot(Index);
    if (const std::optional<int> value = s->fetch()->receive(bytesTotal))
        s->setProgress(*value);
}

void SlotPane::wsCam_Close(qint16 Index)
{
    CameraSlot *s = slot(Index);
    s->setIndicatorShown(false);
    SlotFetch *fetch = s->fetch();
    const FinishedReply reply = fetch->finish();
    // A body that is cut off is a picture that cannot be loaded; one that may be whole goes to
    // the decoder, and the handling goes on when its picture is back.
    if (isPictureHeader(reply.headerBlock)) {
        if (const std::optional<QByteArray> body = loadableBody(reply.headerBlock, fetch->replyBuffer())) {
            fetch->keepBody(*body);
            const PictureSizes sizes = decodeSizes(Index);
            // The bytes the slot shows, byte for byte: the picture is kept, undecoded, and the
            // rest of the handling runs as for a decoded one.
            if (std::optional<SlotPicture> kept = unchangedPicture(s->picture(), *body, sizes.slot)) {
                // A view image for a box no view shows any more is not held on to; a view that
                // shows the picture in another box decodes it for itself, as it would anyway.
                if (kept->viewBox() != sizes.viewBox)
                    kept->keepViewImage(SlotPicture());
                kept->setReceived(QDateTime::currentDateTime()); // this reply's moment, for a save
                s->decoder()->drop(); // this reply is newer than any still decoding
                completeReply(Index, fetch->startCount(), reply.headerBlock, std::move(kept));
                return;
            }
            s->decoder()->decode({reply.headerBlock, *body, sizes, fetch->startCount(),
                                  QDateTime::currentDateTime(),
                                  m_changeDetection == ChangeDetection::Picture});
            return;
        }
    }
    s->decoder()->drop(); // this reply is newer than any still decoding
    completeReply(Index, fetch->startCount(), reply.headerBlock, std::nullopt);
}

void SlotPane::completeReply(qint16 Index, quint64 fetch, const QByteArray &headerBlock,
                             std::optional<SlotPicture> picture)
{
    CameraSlot *s = slot(Index);
    const bool indicatorDone = fetch == s->fetch()->startCount();
    bool loaded = false;
    ChangeReason change = ChangeReason::None;
    if (isPictureHeader(headerBlock)) {
        // A picture that cannot be loaded leaves the slot with the picture it shows and the
        // dates that go with it.
        loaded = picture.has_value();
        if (picture) {
            // Made on the workers with the decode; a picture kept or decoded before the rule
            // was chosen has none yet (a small picture's, made here at once).
            if (m_changeDetection == ChangeDetection::Picture && picture->thumbnail().isNull())
                picture->makeThumbnail();
            change = judgeChange(s, headerBlock, *picture);
        }
        s->pictureChanged = change != ChangeReason::None;

        // Drawing is suspended for the slot's picture only. Releasing a lock repaints all it
        // covered, and the picture is what a reply changes; locking the whole window made every
        // reply repaint far more than changed. Qt paints nothing while a handler runs, so the
        // indicator's and the views' changes still appear together with the picture.
        s->lockPicture(true);
        if (picture)
            s->setPicture(std::move(*picture));
        if (indicatorDone)
            s->setIndicatorShown(false);
        if (Index == m_state.intDetailSlot)
            emit detailPictureLoaded(Index);
        if (s->pictureChanged)
            emit changedPictureLoaded(Index);
        s->lockPicture(false);
    } else {
        s->lockPicture(true);
        s->setPicture(SlotPicture::notFound());
        if (indicatorDone)
            s->setIndicatorShown(false);
        s->lockPicture(false);
    }

    FetchOutcome outcome = replyOutcome(headerBlock, loaded, s->fetch()->carriesCredentials());
    if (change != ChangeReason::None)
        outcome = FetchOutcome{FetchOutcome::Kind::NewPicture, changeReasonDetail(change)};
    reportOutcome(Index, outcome);
    if (Index == m_state.intDetailSlot)
        emit detailReplyHandled(Index);
    emit replyHandled(Index);
}

ChangeReason SlotPane::judgeChange(CameraSlot *s, const QByteArray &headerBlock, const SlotPicture &picture)
{
    const LastModifiedCheck check = checkLastModified(headerBlock, s->lastModified);
    ChangeFacts facts{check.hasLine, check.pictureChanged};
    // The bytes and the thumbnails are compared only when the rule asks for them.
    if (!check.hasLine && m_changeDetection != ChangeDetection::Off) {
        facts.hasPrevious = !s->previousBody.isEmpty();
        facts.bytesDiffer = s->previousBody != picture.bytes();
        facts.visiblyChanged = m_changeDetection == ChangeDetection::Picture && facts.bytesDiffer &&
            PictureChange::isVisibleChange(s->previousThumbnail, picture.thumbnail());
    }
    const ChangeReason change = changeReason(m_changeDetection, facts);
    if (check.hasLine) {
        s->setUpdatedText(check.updatedText);
        s->lastModified = check.lastModified;
    }
    // A date seen for the first time, or a new picture by any rule, is when the slot last saw
    // a new picture.
    if (check.stampRefreshed || change != ChangeReason::None)
        s->setRefreshedText(DateTimeStampText(QDateTime::currentDateTime()));
    // Shared with the picture (no copy); kept only while a rule compares it: once auto-save shows
    // the picture as saved, it would hold a second body.
    const bool compared = m_changeDetection != ChangeDetection::Off;
    s->previousBody = compared ? picture.bytes() : QByteArray();
    s->previousThumbnail = compared ? picture.thumbnail() : QImage();
    return change;
}

void SlotPane::wsCam_Error(qint16 Index, const FetchOutcome &outcome)
{
    reportOutcome(Index, outcome);
}

void SlotPane::reportOutcome(qint16 Index, const FetchOutcome &outcome)
{
    CameraSlot *s = slot(Index);
    s->setFetchOutcome(outcome.text(), outcome.failed());
    if (outcome.failed() && Index == m_state.intDetailSlot)
        emit detailFetchFailed(Index, outcome.statusText(s->name()));
}

void SlotPane::timRefresh_Timer(qint16 Index)
{
    CameraSlot *s = slot(Index);
    if (s->elapsedSeconds < std::numeric_limits<qint32>::max())
        ++s->elapsedSeconds;
    if (Index == m_state.intDetailSlot)
        emit detailTick(Index, nextRefreshText(s->refreshText(), s->elapsedSeconds, s->refreshSeconds));
    if (s->elapsedSeconds >= s->refreshSeconds) {
        s->stopRefreshTimer();
        s->setIndicatorShown(true);
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
    s->fetch()->abandon();
    s->decoder()->drop();
    s->stopRefreshTimer();
    s->lockPicture(true); // as in wsCam_Close
    s->setPicture(SlotPicture());
    s->setIndicatorShown(false);
    s->lockPicture(false);
    s->previousBody = QByteArray();
    s->previousThumbnail = QImage();
    s->clearFetchOutcome();
    s->setTitle(QStringLiteral("[webcam]"));
    const bool held = !s->isHidden();
    s->hide();
    if (held) {
        --m_state.intOpenCams;
        emit slotChanged(Index, SlotChange::Camera);
    }
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
    m_picWindowInner->move(m_picWindowInner->x(), -m_VScroll1->value() + twipsToPixels(kPicWindowInner.top));
}

void SlotPane::wheelEvent(QWheelEvent *event)
{
    QCoreApplication::sendEvent(m_VScroll1, event);
}

bool SlotPane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(m_VScroll1, event);
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void SlotPane::scrollToShow(QWidget *focused)
{
    if (focused == nullptr || !m_picWindowInner->isAncestorOf(focused))
        return;
    QWidget *frame = focused;
    while (frame->parentWidget() != m_picWindowInner)
        frame = frame->parentWidget();
    const QRect shown(frame->mapTo(m_picWindowOuter, QPoint(0, 0)), frame->size());
    int value = m_VScroll1->value();
    if (shown.top() < 0)
        value += shown.top();
    else if (shown.bottom() >= m_picWindowOuter->height())
        value += std::min(shown.top(), shown.bottom() + 1 - m_picWindowOuter->height());
    m_VScroll1->setValue(value); // kept within the bar's range
}
