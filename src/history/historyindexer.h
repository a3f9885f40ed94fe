#pragma once

#include "history/historyindex.h"

#include <QObject>

#include <atomic>
#include <memory>

class QFileSystemWatcher;
class QThreadPool;
class QTimer;

// Keeps one camera's history of a folder of saved pictures current. The folder is listed and the
// new files' metadata read on the picture workers, never on the window thread; a change to the
// folder (a save, a removal) starts another scan that reads only what changed. Scans run one at a
// time; changes meanwhile make one more.
class HistoryIndexer : public QObject
{
    Q_OBJECT

public:
    HistoryIndexer(QString folder, QString camera, QStringList cameraNames, PictureFactsReader reader,
                   SavedNameMatcher matcher, QObject *parent = nullptr);
    ~HistoryIndexer() override;

    // Starts watching the folder and its first scan.
    void start();
    // Scans again soon (a change the folder's watch may not see).
    void rescan();

    QString folder() const { return m_folder; }
    QString camera() const { return m_camera; }
    // The camera's pictures in time order, as of the last scan.
    const QList<HistoryPicture> &pictures() const { return m_pictures; }
    bool hasScanned() const { return m_scans > 0; }
    // Where scans run: the picture workers unless set (a benchmark's comparison).
    void setPool(QThreadPool *pool) { m_pool = pool; }

signals:
    // A scan ended; pictures() is its result (possibly unchanged).
    void updated();

private:
    struct Scan;
    void startScan();
    void scanDone(const std::shared_ptr<Scan> &scan);

    QString m_folder;
    QString m_camera;
    QStringList m_cameraNames;
    PictureFactsReader m_reader;
    SavedNameMatcher m_matcher;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_settle = nullptr;
    QThreadPool *m_pool = nullptr;
    std::shared_ptr<const FolderIndex> m_index;
    QList<HistoryPicture> m_pictures;
    std::shared_ptr<std::atomic<bool>> m_abandoned; // set when this object goes away mid-scan
    bool m_scanning = false;
    bool m_again = false;
    int m_scans = 0;
};
