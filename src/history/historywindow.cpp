#include "history/historywindow.h"

#include "common/localtext.h"
#include "common/pictureworkers.h"
#include "history/historyindexer.h"
#include "history/historypictureview.h"
#include "history/savedpicturefacts.h"
#include "history/timelapseloader.h"
#include "history/timelapsename.h"
#include "pictureinfo/savedname.h"
#include "timelapse/timelapsefactory.h"
#include "views/camfilename.h"
#include "views/picturejobqueue.h"

#include <QDateTimeEdit>
#include <QDebug>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QThread>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kJobSlot = 0; // the window's decodes form one queue of their own
constexpr int kDefaultFramesPerSecond = 25;
constexpr int kMaxFramesPerSecond = 60;
constexpr qsizetype kMaxTitleChars = 256;
constexpr QSize kInitialSize(960, 760);

const char kDateTimeFormat[] = "yyyy-MM-dd HH:mm:ss";

template<typename W>
W *named(W *widget, const char *objectName, const QString &accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton *button(QWidget *parent, const char *objectName, const QString &caption)
{
    return named(new QPushButton(caption, parent), objectName, caption);
}

// A moment to the whole second in local time, as the date-time fields show and compare it.
QDateTime wholeSecond(const QDateTime &when)
{
    return QDateTime::fromSecsSinceEpoch(when.toSecsSinceEpoch());
}

// The job's video, written by the time-lapse module. The module is loaded here, on the writer's
// thread, so that the window's thread never waits for the encoders' libraries; when it cannot be
// loaded nothing is written and the result says so briefly (the loader's details go to the log).
TimeLapseResult writeThroughModule(const TimeLapseJob &job, const std::atomic<bool> &cancel,
                                   const std::function<void(int done, int total)> &progress)
{
    QString why;
    if (TimeLapseFactory *factory = timeLapseFactory(&why))
        return factory->writeTimeLapse(job, cancel, progress);
    qWarning().noquote() << "The time-lapse module could not be loaded:" << why;
    TimeLapseResult result;
    result.error = QStringLiteral("the video encoder could not be loaded");
    return result;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryIndexer *indexer, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_indexer(indexer)
    , m_jobs(new PictureJobQueue(this))
{
    m_indexer->setParent(this);
    setObjectName(QStringLiteral("frmHistory"));
    const QString camera = m_indexer->camera();
    m_shownCamera = camera.size() > kMaxTitleChars ? camera.left(kMaxTitleChars) + QChar(0x2026) : camera;
    setWindowTitle(QStringLiteral("History - ") + m_shownCamera);
    setAccessibleName(windowTitle());
    composeControls();
    resize(kInitialSize);

    connect(m_indexer, &HistoryIndexer::updated, this, &HistoryWindow::indexUpdated);
    connect(m_sldTimeline, &QSlider::valueChanged, this, [this](int value) { showPosition(value); });
    connect(m_cmdPrevious, &QPushButton::clicked, this, &HistoryWindow::showPrevious);
    connect(m_cmdNext, &QPushButton::clicked, this, &HistoryWindow::showNext);
    connect(m_cmdOpenFolder, &QPushButton::clicked, this, &HistoryWindow::openFolder);
    connect(m_cmdLive, &QPushButton::clicked, this, &QWidget::close);
    connect(m_cmdExport, &QPushButton::clicked, this, &HistoryWindow::startExport);
    connect(m_cmdCancel, &QPushButton::clicked, this, &HistoryWindow::cancelExport);
    connect(m_imgHistory, &HistoryPictureView::resized, this, &HistoryWindow::requestDecode);
    connect(m_cmdFromHere, &QPushButton::clicked, this, [this] {
        if (m_position >= 0)
            m_dtFrom->setDateTime(wholeSecond(m_pictures.at(m_position).time));
    });
    connect(m_cmdToHere, &QPushButton::clicked, this, [this] {
        if (m_position >= 0)
            m_dtTo->setDateTime(wholeSecond(m_pictures.at(m_position).time));
    });
    // An end the user moves stays where it was put; one left at the first or newest picture
    // follows the pictures that come and go.
    connect(m_dtFrom, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &when) {
        if (!m_pictures.isEmpty())
            m_fromIsFirst = when <= wholeSecond(m_pictures.constFirst().time);
    });
    connect(m_dtTo, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &when) {
        if (!m_pictures.isEmpty())
            m_toIsNewest = when >= wholeSecond(m_pictures.constLast().time);
    });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    m_imgHistory->setText(QStringLiteral("Looking for saved pictures of ") + m_shownCamera +
                          QStringLiteral("..."));
    updateTexts();
    updateRangeLimits();
    m_indexer->start();
}

HistoryWindow *HistoryWindow::forCamera(const QString &folder, const QString &camera,
                                        const QStringList &cameraNames, QWidget *parent)
{
    auto *window = new HistoryWindow(
        new HistoryIndexer(folder, camera, cameraNames, readSavedPictureFacts, savedNameCamera), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

HistoryWindow::~HistoryWindow()
{
    // Closing the window gives up a video being written: it leaves no file.
    if (m_export != nullptr) {
        *m_cancelExport = true;
        m_export->wait();
        delete m_export;
    }
}

QString HistoryWindow::camera() const
{
    return m_indexer->camera();
}

void HistoryWindow::composeControls()
{
    auto *layout = new QVBoxLayout(this);
    m_imgHistory = named(new HistoryPictureView(this), "imgHistory", QStringLiteral("Saved picture"));
    layout->addWidget(m_imgHistory, 1);

    auto *steps = new QHBoxLayout;
    m_cmdPrevious = button(this, "cmdPrevious", QStringLiteral("Previous"));
    m_sldTimeline = named(new QSlider(Qt::Horizontal, this), "sldTimeline", QStringLiteral("Timeline"));
    m_sldTimeline->setPageStep(10);
    m_cmdNext = button(this, "cmdNext", QStringLiteral("Next"));
    steps->addWidget(m_cmdPrevious);
    steps->addWidget(m_sldTimeline, 1);
    steps->addWidget(m_cmdNext);
    layout->addLayout(steps);

    auto *about = new QHBoxLayout;
    m_lblWhen = named(new QLabel(this), "lblWhen", QStringLiteral("Saved at"));
    m_lblCount = named(new QLabel(this), "lblCount", QStringLiteral("Picture number"));
    m_cmdOpenFolder = button(this, "cmdOpenFolder", QStringLiteral("Open Folder"));
    m_cmdLive = button(this, "cmdLive", QStringLiteral("Live"));
    m_cmdLive->setToolTip(QStringLiteral("close the history and go back to the live picture"));
    about->addWidget(m_lblWhen);
    about->addSpacing(24);
    about->addWidget(m_lblCount);
    about->addStretch(1);
    about->addWidget(m_cmdOpenFolder);
    about->addWidget(m_cmdLive);
    layout->addLayout(about);

    auto *video = named(new QGroupBox(QStringLiteral("Time-Lapse Video"), this), "frmTimeLapse",
                        QStringLiteral("Time-Lapse Video"));
    auto *grid = new QGridLayout(video);
    const auto dateTimeField = [video](const char *objectName, const QString &caption) {
        auto *field = named(new QDateTimeEdit(video), objectName, caption);
        field->setDisplayFormat(QString::fromLatin1(kDateTimeFormat));
        field->setCalendarPopup(true);
        return field;
    };
    auto *lblFrom = named(new QLabel(QStringLiteral("From:"), video), "lblFrom", QStringLiteral("From:"));
    m_dtFrom = dateTimeField("dtFrom", QStringLiteral("From"));
    m_cmdFromHere = button(video, "cmdFromHere", QStringLiteral("From This Picture"));
    auto *lblTo = named(new QLabel(QStringLiteral("To:"), video), "lblTo", QStringLiteral("To:"));
    m_dtTo = dateTimeField("dtTo", QStringLiteral("To"));
    m_cmdToHere = button(video, "cmdToHere", QStringLiteral("To This Picture"));
    auto *lblFps = named(new QLabel(QStringLiteral("Frames per second:"), video), "lblFps",
                         QStringLiteral("Frames per second:"));
    m_spnFps = named(new QSpinBox(video), "spnFps", QStringLiteral("Frames per second"));
    m_spnFps->setRange(1, kMaxFramesPerSecond);
    m_spnFps->setValue(kDefaultFramesPerSecond);
    lblFrom->setBuddy(m_dtFrom);
    lblTo->setBuddy(m_dtTo);
    lblFps->setBuddy(m_spnFps);
    m_cmdExport = button(video, "cmdExport", QStringLiteral("Make Video"));
    m_cmdExport->setToolTip(QStringLiteral("write the pictures between these two moments as an MP4 video "
                                           "beside them"));
    m_cmdCancel = button(video, "cmdCancel", QStringLiteral("Cancel"));
    m_cmdCancel->setEnabled(false);
    m_prgExport = named(new QProgressBar(video), "prgExport", QStringLiteral("Video progress"));
    m_prgExport->setRange(0, 100);
    m_prgExport->setValue(0);
    m_lblExport = named(new QLabel(video), "lblExport", QStringLiteral("Video"));
    m_lblExport->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_lblExport->setWordWrap(true);
    grid->addWidget(lblFrom, 0, 0);
    grid->addWidget(m_dtFrom, 0, 1);
    grid->addWidget(m_cmdFromHere, 0, 2);
    grid->addWidget(lblTo, 1, 0);
    grid->addWidget(m_dtTo, 1, 1);
    grid->addWidget(m_cmdToHere, 1, 2);
    grid->addWidget(lblFps, 2, 0);
    grid->addWidget(m_spnFps, 2, 1);
    auto *run = new QHBoxLayout;
    run->addWidget(m_cmdExport);
    run->addWidget(m_cmdCancel);
    run->addWidget(m_prgExport, 1);
    grid->addLayout(run, 3, 0, 1, 3);
    grid->addWidget(m_lblExport, 4, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    layout->addWidget(video);
    m_sldTimeline->setFocus();
}

void HistoryWindow::indexUpdated()
{
    const bool hadPicture = m_position >= 0 && m_position < m_pictures.size();
    const bool atNewest = hadPicture && m_position == m_pictures.size() - 1;
    const HistoryPicture current = hadPicture ? m_pictures.at(m_position) : HistoryPicture{};
    m_pictures = m_indexer->pictures(); // shared, not copied

    m_sldTimeline->blockSignals(true);
    m_sldTimeline->setRange(0, static_cast<int>(std::max<qsizetype>(0, m_pictures.size() - 1)));
    m_sldTimeline->blockSignals(false);
    m_sldTimeline->setEnabled(!m_pictures.isEmpty());
    updateRangeLimits();
    if (m_pictures.isEmpty()) {
        m_position = -1;
        m_shownFile.clear();
        m_imgHistory->setText(QStringLiteral("No saved pictures of ") + m_shownCamera +
                              QStringLiteral(" yet."));
        updateTexts();
        return;
    }
    // The picture shown stays; at the newest picture the window follows new ones.
    qsizetype position = m_pictures.size() - 1;
    if (hadPicture && !atNewest)
        position = std::min(historyPosition(m_pictures, current), m_pictures.size() - 1);
    showPosition(position);
}

void HistoryWindow::showPosition(qsizetype position)
{
    if (m_pictures.isEmpty())
        return;
    m_position = std::clamp<qsizetype>(position, 0, m_pictures.size() - 1);
    m_sldTimeline->blockSignals(true);
    m_sldTimeline->setValue(static_cast<int>(m_position));
    m_sldTimeline->blockSignals(false);
    updateTexts();
    requestDecode();
}

void HistoryWindow::showPrevious()
{
    showPosition(m_position - 1);
}

void HistoryWindow::showNext()
{
    showPosition(m_position + 1);
}

void HistoryWindow::openFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_indexer->folder()));
}

void HistoryWindow::requestDecode()
{
    if (m_position < 0 || m_position >= m_pictures.size())
        return;
    const QString file = m_pictures.at(m_position).fileName;
    const QSize box = m_imgHistory->pixelSize();
    if (file == m_shownFile && box == m_shownSize) {
        emit pictureShown(m_position);
        return;
    }
    // One decode at a time: when it is done, the position wanted by then is decoded next.
    if (m_decoding)
        return;
    m_decoding = true;
    const QString path = m_indexer->folder() + QLatin1Char('/') + file;
    m_jobs->submit(kJobSlot, PictureJobQueue::Kind::View, [this, path, file, box] {
        QImageReader reader(path);
        const QSize natural = reader.size();
        // Straight to the size it is shown at; a picture smaller than that is decoded as it is.
        if (natural.isValid() && !box.isEmpty()) {
            const QSize fitted = natural.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            if (fitted.width() < natural.width())
                reader.setScaledSize(fitted);
        }
        QImage image = reader.read();
        return [this, file, box, image = std::move(image)] {
            m_decoding = false;
            if (image.isNull())
                m_imgHistory->setText(QStringLiteral("This picture cannot be read."));
            else
                m_imgHistory->setImage(image);
            m_shownFile = file;
            m_shownSize = box;
            requestDecode(); // the picture now wanted, or pictureShown for this one
        };
    });
}

void HistoryWindow::updateTexts()
{
    const bool any = m_position >= 0 && m_position < m_pictures.size();
    m_lblWhen->setText(any ? DateTimeStampText(m_pictures.at(m_position).time.toLocalTime()) : QString());
    m_lblCount->setText(any ? QStringLiteral("%1 of %2").arg(m_position + 1).arg(m_pictures.size())
                            : QStringLiteral("0 of 0"));
    // A screen reader reads the name, not the text: the name says both.
    m_lblWhen->setAccessibleName(QStringLiteral("Saved ") + m_lblWhen->text());
    m_lblCount->setAccessibleName(QStringLiteral("Picture ") + m_lblCount->text());
    m_cmdPrevious->setEnabled(any && m_position > 0);
    m_cmdNext->setEnabled(any && m_position < m_pictures.size() - 1);
    m_cmdFromHere->setEnabled(any);
    m_cmdToHere->setEnabled(any);
}

void HistoryWindow::updateRangeLimits()
{
    const bool any = !m_pictures.isEmpty();
    m_dtFrom->setEnabled(any);
    m_dtTo->setEnabled(any);
    m_cmdExport->setEnabled(any && m_export == nullptr);
    if (!any)
        return;
    const QDateTime first = wholeSecond(m_pictures.constFirst().time);
    const QDateTime newest = wholeSecond(m_pictures.constLast().time);
    // Setting the range may move a value; what the user chose is put back within it.
    const bool fromIsFirst = m_fromIsFirst;
    const bool toIsNewest = m_toIsNewest;
    const QDateTime from = m_dtFrom->dateTime();
    const QDateTime to = m_dtTo->dateTime();
    m_dtFrom->setDateTimeRange(first, newest);
    m_dtTo->setDateTimeRange(first, newest);
    m_dtFrom->setDateTime(fromIsFirst ? first : std::clamp(from, first, newest));
    m_dtTo->setDateTime(toIsNewest ? newest : std::clamp(to, first, newest));
    m_fromIsFirst = fromIsFirst;
    m_toIsNewest = toIsNewest;
}

QStringList HistoryWindow::timeLapsePictures() const
{
    QStringList paths;
    if (m_pictures.isEmpty())
        return paths;
    const qint64 from = m_dtFrom->dateTime().toSecsSinceEpoch();
    const qint64 to = m_dtTo->dateTime().toSecsSinceEpoch();
    const QString folder = m_indexer->folder() + QLatin1Char('/');
    for (const HistoryPicture &picture : m_pictures) {
        const qint64 at = picture.time.toSecsSinceEpoch();
        if (at >= from && at <= to)
            paths.append(folder + picture.fileName);
    }
    return paths;
}

void HistoryWindow::startExport()
{
    if (m_export != nullptr)
        return;
    TimeLapseJob job;
    job.pictures = timeLapsePictures();
    if (job.pictures.isEmpty()) {
        setExportText(QStringLiteral("There are no pictures between those two moments."));
        return;
    }
    job.folder = m_indexer->folder();
    const QString name = timeLapseFileName(camera(), m_dtFrom->dateTime(), m_dtTo->dateTime());
    job.fileName = [name](int n) { return numberedFileName(name, n); };
    job.framesPerSecond = m_spnFps->value();
    job.decoders = pictureWorkers();

    m_cancelExport = std::make_shared<std::atomic<bool>>(false);
    m_progressShown = -1;
    m_prgExport->setValue(0);
    m_cmdExport->setEnabled(false);
    m_cmdCancel->setEnabled(true);
    setExportText(QStringLiteral("Writing %1 pictures...").arg(job.pictures.size()));
    // The window outlives the thread (its destructor waits for it), so posting to it is safe.
    m_export = QThread::create([this, job = std::move(job), cancel = m_cancelExport] {
        const TimeLapseResult result = writeThroughModule(job, *cancel, [this](int done, int total) {
            QMetaObject::invokeMethod(
                this, [this, done, total] { exportProgress(done, total); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, result] { exportDone(result); }, Qt::QueuedConnection);
    });
    m_export->setObjectName(QStringLiteral("timeLapseWriter"));
    m_export->start();
}

void HistoryWindow::setExportText(const QString &text)
{
    m_lblExport->setText(text);
    m_lblExport->setAccessibleName(text.isEmpty() ? QStringLiteral("Video") : text);
}

void HistoryWindow::cancelExport()
{
    if (m_export == nullptr)
        return;
    *m_cancelExport = true;
    m_cmdCancel->setEnabled(false);
    setExportText(QStringLiteral("Cancelling..."));
}

void HistoryWindow::exportProgress(int done, int total)
{
    const int percent = total > 0 ? static_cast<int>(qint64(done) * 100 / total) : 0;
    if (percent != m_progressShown) {
        m_progressShown = percent;
        m_prgExport->setValue(percent);
    }
}

void HistoryWindow::exportDone(const TimeLapseResult &result)
{
    m_export->wait();
    delete m_export;
    m_export = nullptr;
    m_cmdCancel->setEnabled(false);
    m_cmdExport->setEnabled(!m_pictures.isEmpty());
    if (result.written) {
        m_prgExport->setValue(100);
        QString text = QStringLiteral("Saved as ") + result.path;
        if (result.unreadable > 0)
            text +=
                QStringLiteral(" (%1 pictures could not be read and were left out)").arg(result.unreadable);
        setExportText(text);
    } else {
        m_prgExport->setValue(0);
        setExportText(result.cancelled ? QStringLiteral("Cancelled: no video was written.")
                                       : QStringLiteral("The video could not be made: ") + result.error);
    }
    emit exportFinished(result.written, result.path);
}
