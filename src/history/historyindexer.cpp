#include "history/historyindexer.h"

#include "common/pictureworkers.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>

#include <algorithm>
#include <utility>

namespace {

// A burst of changes (a wall of cameras saving at once) makes one scan, this long after its start
// at least; and at least twice as long as the last scan took, so that a large folder that changes
// all the time keeps a worker busy a third of the time at most.
constexpr qint64 kSettleMs = 200;
constexpr qint64 kLongestSettleMs = 5000;
constexpr qint64 kSettlePerScanMs = 2;

} // namespace

struct HistoryIndexer::Scan
{
    // In, set on the window thread.
    QString folder;
    QString camera;
    QStringList cameraNames;
    PictureFactsReader reader;
    SavedNameMatcher matcher;
    std::shared_ptr<const FolderIndex> previous;
    std::shared_ptr<std::atomic<bool>> abandoned;
    // Out, set on the worker.
    std::shared_ptr<const FolderIndex> index;
    QList<HistoryPicture> pictures;
    qint64 tookMs = 0; // what every scan of the folder costs: all but reading new files

    void run(QThreadPool *pool)
    {
        QElapsedTimer timer;
        timer.start();
        const QList<FileStamp> listing = listPictureFiles(folder);
        const QStringList names = filesToRead(*previous, listing);
        const qint64 listedMs = timer.elapsed();
        // The metadata of the new files, read in parallel: the first scan of a large folder is
        // mostly this.
        const std::shared_ptr<std::atomic<bool>> gone = abandoned;
        const PictureFactsReader read = reader;
        const QString dir = folder;
        const QList<std::optional<PictureFacts>> facts =
            QtConcurrent::blockingMapped(pool, names, [gone, read, dir](const QString &name) {
                if (*gone)
                    return std::optional<PictureFacts>();
                return read(dir + QLatin1Char('/') + name);
            });
        timer.restart();
        QHash<QString, std::optional<PictureFacts>> fresh;
        fresh.reserve(names.size());
        for (qsizetype i = 0; i < names.size(); ++i)
            fresh.insert(names.at(i), facts.at(i));
        auto updated = std::make_shared<FolderIndex>(updatedIndex(*previous, listing, fresh));
        pictures = cameraHistory(*updated, camera, cameraNames, matcher);
        index = std::move(updated);
        tookMs = listedMs + timer.elapsed();
    }
};

HistoryIndexer::HistoryIndexer(QString folder, QString camera, QStringList cameraNames,
                               PictureFactsReader reader, SavedNameMatcher matcher, QObject *parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_camera(std::move(camera))
    , m_cameraNames(std::move(cameraNames))
    , m_reader(std::move(reader))
    , m_matcher(std::move(matcher))
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
    , m_pool(pictureWorkers())
    , m_index(std::make_shared<FolderIndex>())
    , m_abandoned(std::make_shared<std::atomic<bool>>(false))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(static_cast<int>(kSettleMs));
    connect(m_settle, &QTimer::timeout, this, &HistoryIndexer::startScan);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &HistoryIndexer::rescan);
}

HistoryIndexer::~HistoryIndexer()
{
    // A running scan stops reading and its result is dropped.
    *m_abandoned = true;
}

void HistoryIndexer::start()
{
    // The folder may not exist yet (nothing saved so far): the scan finds nothing and a later
    // rescan, asked for by the window, looks again.
    if (QDir(m_folder).exists())
        m_watcher->addPath(m_folder);
    startScan();
}

void HistoryIndexer::rescan()
{
    if (!m_settle->isActive())
        m_settle->start();
}

void HistoryIndexer::startScan()
{
    if (m_scanning) {
        m_again = true;
        return;
    }
    if (m_watcher->directories().isEmpty() && QDir(m_folder).exists())
        m_watcher->addPath(m_folder);
    m_scanning = true;
    m_again = false;
    auto scan = std::make_shared<Scan>();
    scan->folder = m_folder;
    scan->camera = m_camera;
    scan->cameraNames = m_cameraNames;
    scan->reader = m_reader;
    scan->matcher = m_matcher;
    scan->previous = m_index;
    scan->abandoned = m_abandoned;
    QPointer<HistoryIndexer> self(this);
    QThreadPool *pool = m_pool;
    pool->start([scan, self, pool] {
        scan->run(pool);
        // The application object outlives every worker (the program's end waits for them); the
        // result is dropped there when this indexer has gone meanwhile.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [scan, self] {
                if (!self.isNull())
                    self->scanDone(scan);
            },
            Qt::QueuedConnection);
    });
}

void HistoryIndexer::scanDone(const std::shared_ptr<Scan> &scan)
{
    m_scanning = false;
    ++m_scans;
    m_index = scan->index;
    m_pictures = std::move(scan->pictures);
    m_settle->setInterval(
        static_cast<int>(std::clamp(scan->tookMs * kSettlePerScanMs, kSettleMs, kLongestSettleMs)));
    emit updated();
    if (m_again)
        startScan();
}
