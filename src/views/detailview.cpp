#include "views/detailview.h"

#include "common/framefont.h"
#include "common/lockwindow.h"
#include "common/namedchild.h"
#include "common/screensaver.h"
#include "common/sharedstate.h"
#include "common/twips.h"
#include "slots/slotpane.h"
#include "views/fullscreenview.h"
#include "views/picturejobqueue.h"
#include "views/picturesaver.h"
#include "views/stretchimage.h"
#include "views/viewergeometry.h"
#include "views/zoomgeometry.h"

#include <QBuffer>
#include <QEvent>
#include <QFontMetrics>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>

namespace {

constexpr qreal kDetailPoints = 9.75; // the particulars of the detail frame
constexpr qreal kSmallestDetailPoints = 6; // a particular too wide for its row shrinks down to this
constexpr qreal kDetailPointsStep = 0.25;
constexpr qsizetype kMaxToolTipChars = 1000; // a particular's tool tip shows this much at most

// Scroll bars of the detail picture: steps in twips; the bars themselves count in pixels.
constexpr double kPictureScrollSmallStep = 300;
constexpr double kPictureScrollLargeStep = 2000;

// Zoom slider.
constexpr int kZoomMinimum = 1;
constexpr int kZoomMaximum = 5;

// imgMain's size before a picture is put in (twips).
constexpr int kEmptyPictureTwips = 10;

constexpr char kSaveToolTip[] = "save image in you /cam/ folder";
constexpr char kScreensaverToolTip[] = "full screen, auto refreshing view of current cam.  click to close.";
constexpr char kHistoryToolTip[] =
    "step through this cam's saved pictures and make a time-lapse video of them";

QScrollBar *pictureScrollBar(QWidget *parent, Qt::Orientation orientation, const char *name,
                             const TwipRect &geometry)
{
    auto *bar = namedChild(new QScrollBar(orientation, parent), name, geometry);
    bar->setAccessibleName(orientation == Qt::Vertical ? QStringLiteral("Scroll the picture up and down")
                                                       : QStringLiteral("Scroll the picture sideways"));
    bar->setRange(0, 0);
    bar->setSingleStep(twipsToPixels(kPictureScrollSmallStep));
    bar->setPageStep(twipsToPixels(kPictureScrollLargeStep));
    bar->setTracking(false); // the picture moves once the value has changed, not while dragging
    bar->setEnabled(false);
    return bar;
}

// The picture's natural size in pixels, read from its header only: the full decode comes later.
QSize naturalSize(const SlotPicture &picture)
{
    if (picture.kind() != SlotPicture::Kind::Camera) // the not-found picture as it is; nothing for Blank
        return picture.slotImage().deviceIndependentSize().toSize();
    QByteArray bytes = picture.bytes();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const QSize size = QImageReader(&buffer).size();
    return size.isValid() ? size : picture.slotImage().size();
}

float twips(int pixels)
{
    return static_cast<float>(pixelsToTwips(pixels));
}

} // namespace

DetailView::DetailView(SharedState &state, SlotPane *pane, QWidget *parent)
    : QGroupBox(QStringLiteral("Viewer"), parent)
    , m_state(state)
    , m_pane(pane)
    , m_jobs(new PictureJobQueue(this))
    , m_saver(new PictureSaver(state, pane, m_jobs, this))
{
    namespace G = ViewerGeometry;
    const QFont windowFont = font();
    setObjectName(QStringLiteral("frmMain"));
    setGeometry(toPixels(G::frmMain));
    setFont(frameFont());
    setAccessibleName(title());

    m_Picture1 = namedChild(new QWidget(this), "Picture1", G::Picture1);
    m_Picture1->setFont(windowFont);
    m_Picture1->setAccessibleName(QStringLiteral("Picture"));
    m_imgMain = namedChild(new StretchImage(m_Picture1), "imgMain", G::imgMain);
    m_imgMain->setAccessibleName(QStringLiteral("Camera picture, large"));
    m_VScroll2 = pictureScrollBar(m_Picture1, Qt::Vertical, "VScroll2", G::VScroll2);
    m_HScroll1 = pictureScrollBar(m_Picture1, Qt::Horizontal, "HScroll1", G::HScroll1);
    m_Command1 = namedChild(new QPushButton(m_Picture1), "Command1", G::Command1);
    m_Command1->setAccessibleName(QStringLiteral("Corner between the scroll bars"));

    m_frmDetails = namedChild(new QGroupBox(this), "frmDetails", G::frmDetails);
    m_frmDetails->setAccessibleName(QStringLiteral("Details"));
    composeDetails();
    m_Label6->setFont(windowFont);

    connect(m_VScroll2, &QScrollBar::valueChanged, this, &DetailView::VScroll2_Change);
    connect(m_HScroll1, &QScrollBar::valueChanged, this, &DetailView::HScroll1_Change);
    connect(m_Slider1, &QSlider::valueChanged, this, &DetailView::ZoomPicture);
    connect(m_cmdSave, &QPushButton::clicked, this, &DetailView::cmdSave_Click);
    connect(m_Command3, &QPushButton::clicked, this, &DetailView::Command3_Click);
    connect(m_cmdHistory, &QPushButton::clicked, this, &DetailView::showHistory);
    connect(m_saver, &PictureSaver::statusText, this, &DetailView::statusText);
    connect(m_saver, &PictureSaver::detailPictureSaved, this, [this](int Index) {
        // Save Image ends by putting the slot's picture into the view again.
        if (Index == m_state.intDetailSlot)
            loadSlotPicture(Index, false);
    });

    m_frmDetails->hide();
    hide();
}

DetailView::~DetailView() = default;

FullScreenView *DetailView::fullScreenView() const
{
    return m_Form6;
}

void DetailView::composeDetails()
{
    namespace G = ViewerGeometry;
    m_cmdSave =
        namedChild(new QPushButton(QStringLiteral("Save Image"), m_frmDetails), "cmdSave", G::cmdSave);
    m_cmdSave->setToolTip(QString::fromLatin1(kSaveToolTip));
    m_cmdSave->setAccessibleName(m_cmdSave->text());
    m_Command3 =
        namedChild(new QPushButton(QStringLiteral("Screensaver"), m_frmDetails), "Command3", G::Command3);
    m_Command3->setToolTip(QString::fromLatin1(kScreensaverToolTip));
    m_Command3->setAccessibleName(m_Command3->text());
    m_cmdHistory =
        namedChild(new QPushButton(QStringLiteral("History"), m_frmDetails), "cmdHistory", G::cmdHistory);
    m_cmdHistory->setToolTip(QString::fromLatin1(kHistoryToolTip));
    m_cmdHistory->setAccessibleName(m_cmdHistory->text());
    m_Label6 = namedChild(new QLabel(QStringLiteral("Zoom:"), m_frmDetails), "Label6", G::Label6);
    m_Label6->setAccessibleName(m_Label6->text());
    m_Slider1 = namedChild(new QSlider(Qt::Horizontal, m_frmDetails), "Slider1", G::Slider1);
    m_Slider1->setAccessibleName(QStringLiteral("Zoom"));
    m_Slider1->setRange(kZoomMinimum, kZoomMaximum);
    m_Slider1->setSingleStep(1);
    m_Slider1->setPageStep(1);
    m_Slider1->setTickPosition(QSlider::TicksBelow);
    m_Slider1->setValue(kZoomMinimum);

    struct Row
    {
        const char *captionName;
        const char *caption;
        QLabel **value;
        const char *valueName;
        const char *initialText;
    };
    const Row rows[] = {
        {"lblNameCaption", "Name:", &m_lblName, "lblName", "Name"},
        {"lblLastRefreshedCaption", "Last Refreshed:", &m_lblLastRefreshed, "lblLastRefreshed",
         "Last Refreshed"},
        {"lblLastChangedCaption", "Last Changed:", &m_lblLastChanged, "lblLastChanged", "Last Changed"},
        {"labelalla", "Current Time:", &m_lblTime, "lblTime", "Current Time"},
        {"lblRefreshCaption", "Refresh Rate:", &m_lblRefresh, "lblRefresh", "Refresh"},
        {"lblNextRefreshCaption", "Next Refresh:", &m_lblNextRefresh, "lblNextRefresh", "Next Refresh"},
    };
    float top = G::kRowFirstTop;
    for (const Row &row : rows) {
        auto *caption =
            namedChild(new QLabel(QString::fromLatin1(row.caption), m_frmDetails), row.captionName,
                       TwipRect{G::kCaptionLeft, top, G::kCaptionWidth, G::kRowHeight});
        caption->setFont(verdanaFont(kDetailPoints, true));
        caption->setAccessibleName(caption->text());
        if (row.value == &m_lblTime)
            m_labelalla = caption;
        *row.value = namedChild(new QLabel(QString::fromLatin1(row.initialText), m_frmDetails), row.valueName,
                                TwipRect{G::kValueLeft, top, G::kValueWidth, G::kRowHeight});
        (*row.value)->setFont(verdanaFont(kDetailPoints));
        m_values.push_back({*row.value, (*row.value)->text()});
        fitValue(m_values.back());
        top += G::kRowStep;
    }
    m_frmDetails->installEventFilter(this);
}

void DetailView::setValueText(QLabel *value, const QString &text)
{
    for (ValueLabel &row : m_values) {
        if (row.label == value) {
            row.text = text;
            fitValue(row);
        }
    }
}

void DetailView::fitValue(const ValueLabel &value)
{
    // The label keeps its place and takes the free width of its row; a text wider still is shown
    // in a smaller font, and cut only when even the smallest is too wide.
    QLabel *label = value.label;
    const int freeWidth = m_frmDetails->width() - label->x() - twipsToPixels(ViewerGeometry::kCaptionLeft);
    label->resize(std::max(1, freeWidth), label->height());
    const int width = label->contentsRect().width();
    QFont font = verdanaFont(kDetailPoints);
    QFont smallest = font;
    smallest.setPointSizeF(kSmallestDetailPoints);
    if (QFontMetrics(smallest).horizontalAdvance(value.text) > width) {
        font = smallest; // measured once: a hostile server's date may be very long
    } else {
        while (QFontMetrics(font).horizontalAdvance(value.text) > width)
            font.setPointSizeF(font.pointSizeF() - kDetailPointsStep);
    }
    label->setFont(font);
    label->setText(QFontMetrics(font).elidedText(value.text, Qt::ElideRight, width));
    label->setToolTip(value.text.size() > kMaxToolTipChars
                          ? value.text.left(kMaxToolTipChars) + QChar(0x2026) // an ellipsis
                          : value.text);
}

bool DetailView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frmDetails && event->type() == QEvent::Resize) {
        for (const ValueLabel &value : m_values)
            fitValue(value);
    }
    return QGroupBox::eventFilter(watched, event);
}

DetailView::LayoutRects DetailView::layoutRects() const
{
    return LayoutRects{geometry(),
                       m_Picture1->geometry(),
                       m_frmDetails->geometry(),
                       m_VScroll2->geometry(),
                       m_HScroll1->geometry(),
                       m_Command1->geometry()};
}

void DetailView::setLayoutRects(const LayoutRects &rects)
{
    setGeometry(rects.frmMain);
    m_Picture1->setGeometry(rects.Picture1);
    m_frmDetails->setGeometry(rects.frmDetails);
    m_VScroll2->setGeometry(rects.VScroll2);
    m_HScroll1->setGeometry(rects.HScroll1);
    m_Command1->setGeometry(rects.Command1);
}

void DetailView::imgCam_Click(int Index)
{
    m_state.intDetailSlot = static_cast<qint16>(Index);
    // Everything that changes here lies in this frame; locking just the frame keeps the slots
    // from repainting.
    LockWindow(this, true);
    show();
    m_frmDetails->show();
    m_imgMain->resize(twipsToPixels(kEmptyPictureTwips), twipsToPixels(kEmptyPictureTwips));

    // The picture at its natural size: the slot's small picture stands in until the full one is
    // decoded.
    const SlotPicture &picture = m_pane->picture(Index);
    const QSize natural = naturalSize(picture);
    m_image = picture.slotImage();
    m_imageSerial = 0;
    m_imgMain->setImage(m_image);
    if (natural.isValid() && !natural.isEmpty())
        m_imgMain->resize(natural);
    m_lngPicWidth =
        natural.isEmpty() ? kEmptyPictureTwips : static_cast<qint32>(pixelsToTwips(natural.width()));
    m_lngPicHeight =
        natural.isEmpty() ? kEmptyPictureTwips : static_cast<qint32>(pixelsToTwips(natural.height()));
    loadSlotPicture(Index, false);

    ZoomPicture(); // unlocks the frame

    setValueText(m_lblName, m_pane->camName(Index));
    setValueText(m_lblRefresh, m_pane->refreshText(Index));
    setValueText(m_lblLastChanged, m_pane->updatedText(Index));
    setValueText(m_lblLastRefreshed, m_pane->refreshedText(Index));
    setValueText(m_lblNextRefresh, m_pane->countdownText(Index));
    emit timeQueryDue(); // the Internet clock's query starts here (StartTimeQuery)
}

void DetailView::ZoomPicture()
{
    LockWindow(this, true);
    const ZoomGeometry g =
        computeZoom(m_Slider1->value(), m_lngPicWidth, m_lngPicHeight, twips(m_Picture1->width()),
                    twips(m_Picture1->height()), twips(m_VScroll2->width()), twips(m_HScroll1->height()));
    m_imgMain->resize(twipsToPixels(static_cast<double>(g.width)),
                      twipsToPixels(static_cast<double>(g.height)));
    if (g.horizontal.enabled) {
        m_HScroll1->setMaximum(twipsToPixels(static_cast<double>(g.horizontal.maximum)));
        m_HScroll1->setEnabled(true);
    } else {
        m_HScroll1->setEnabled(false);
        m_imgMain->move(0, m_imgMain->y());
    }
    if (g.vertical.enabled) {
        m_VScroll2->setMaximum(twipsToPixels(static_cast<double>(g.vertical.maximum)));
        m_VScroll2->setEnabled(true);
    } else {
        m_VScroll2->setEnabled(false);
        m_imgMain->move(m_imgMain->x(), 0);
    }
    LockWindow(this, false);
}

void DetailView::VScroll2_Change()
{
    m_imgMain->move(m_imgMain->x(), -m_VScroll2->value());
}

void DetailView::HScroll1_Change()
{
    m_imgMain->move(-m_HScroll1->value(), m_imgMain->y());
}

void DetailView::loadSlotPicture(int Index, bool reply)
{
    m_picture = m_pane->picture(Index);
    m_jobs->dropPending(PictureJobQueue::Kind::View); // only the newest picture is worth showing
    const quint64 serial = m_picture.serial();
    // The picture decoded in full already (a reply with the bytes shown keeps its serial): it is
    // shown again as it is, after the slot's earlier results.
    if (m_picture.kind() == SlotPicture::Kind::Camera && serial == m_imageSerial && !m_image.isNull()) {
        m_jobs->submitStep(Index, [this, Index, serial, image = m_image, reply] {
            applyPicture(Index, serial, image, reply);
        });
        return;
    }
    if (m_picture.kind() != SlotPicture::Kind::Camera) {
        // Nothing to decode, but it still comes after the slot's earlier results.
        m_jobs->submitStep(Index, [this, Index, serial, image = m_picture.fullImage(), reply] {
            applyPicture(Index, serial, image, reply);
        });
        return;
    }
    m_jobs->submit(Index, PictureJobQueue::Kind::View, [this, Index, picture = m_picture, reply] {
        return [this, Index, serial = picture.serial(), image = picture.fullImage(), reply] {
            applyPicture(Index, serial, image, reply);
        };
    });
}

void DetailView::applyPicture(int Index, quint64 serial, const QImage &image, bool reply)
{
    // A result for a slot no longer shown, or for a picture replaced meanwhile, is dropped.
    if (Index != m_state.intDetailSlot || serial != m_picture.serial())
        return;
    // A picture that cannot be decoded in full leaves the views as they are.
    if (!image.isNull() || m_picture.isBlank()) {
        m_image = image;
        m_imageSerial = serial;
        m_imgMain->setImage(image);
    }
    if (!m_state.blnFullScreen || m_Form6.isNull())
        return;
    if (reply) {
        m_form6Serial = serial;
        m_Form6->showReplyPicture(m_image);
    } else if (m_form6Serial == serial) {
        m_Form6->setPicture(m_image); // the full picture for the stand-in it was given
    }
}

void DetailView::showFetchStarted(int Index)
{
    if (Index == m_state.intDetailSlot && m_state.blnFullScreen && !m_Form6.isNull())
        m_Form6->showRefreshIndicator();
}

void DetailView::showReplyPicture(int Index)
{
    // While hidden the view is never seen before imgCam_Click fills it again: nothing to decode.
    if (Index != m_state.intDetailSlot || isHidden())
        return;
    loadSlotPicture(Index, true);
}

void DetailView::showReplyTexts(int Index)
{
    // The texts as they are now, shown after the pictures of this reply.
    m_jobs->submitStep(Index,
                       [this, Index, name = m_pane->camName(Index), refresh = m_pane->refreshText(Index),
                        updated = m_pane->updatedText(Index), refreshed = m_pane->refreshedText(Index)] {
                           if (Index != m_state.intDetailSlot)
                               return;
                           setValueText(m_lblName, name);
                           setValueText(m_lblRefresh, refresh);
                           setValueText(m_lblLastChanged, updated);
                           setValueText(m_lblLastRefreshed, refreshed);
                       });
}

void DetailView::setNextRefreshText(const QString &text)
{
    // Only the label is locked: releasing a lock repaints everything it covered, and this comes
    // every second.
    LockWindow(m_lblNextRefresh, true);
    setValueText(m_lblNextRefresh, text);
    LockWindow(m_lblNextRefresh, false);
}

void DetailView::slotStopped(int /*Index*/)
{
    hide();
    m_frmDetails->hide();
    m_jobs->dropPending(PictureJobQueue::Kind::View);
}

void DetailView::AutoSavePicture(int Index)
{
    m_saver->AutoSavePicture(Index);
}

void DetailView::setTimeText(const QString &text)
{
    setValueText(m_lblTime, text);
}

void DetailView::cmdSave_Click()
{
    const int Index = m_state.intDetailSlot;
    if (Index < 0 || Index >= SlotPane::kSlotCount)
        return;
    // The full picture when it is at hand; otherwise the save decodes it.
    const bool decoded = m_imageSerial == m_picture.serial();
    m_saver->saveDetailPicture(Index, m_picture, decoded ? m_image : QImage());
}

void DetailView::showHistory()
{
    const int Index = m_state.intDetailSlot;
    if (Index >= 0 && Index < SlotPane::kSlotCount)
        emit historyRequested(Index);
}

void DetailView::Command3_Click()
{
    m_state.blnFullScreen = true;
    SetScreenSaverActive(false);
    if (m_Form6.isNull())
        m_Form6 = new FullScreenView(m_state, window());
    m_Form6->setPicture(m_image);
    m_form6Serial = m_picture.serial();
    m_Form6->showOn(window()->screen());
}
