#pragma once

#include "history/historyindex.h"

#include <QDateTime>
#include <QWidget>

#include <atomic>
#include <memory>

class HistoryIndexer;
class HistoryPictureView;
class PictureJobQueue;
class QDateTimeEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QThread;
struct TimeLapseResult;

// The history window of one camera: its saved pictures in time order, stepped through with a
// timeline slider (sldTimeline) and Previous / Next, the picture large with its date and time
// and the count ("12 of 340"), Open Folder, and Live to go back to the live view (it closes the
// window). Below, the time-lapse video of the pictures between two moments.
// Everything slow happens elsewhere: the folder is indexed by the HistoryIndexer on the picture
// workers, pictures are decoded there at the window's size (one at a time; while the slider
// moves, the newest position wins), and the video is written on a thread of its own.
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    // Takes the indexer (for the camera and folder it indexes) and starts it.
    explicit HistoryWindow(HistoryIndexer *indexer, QWidget *parent = nullptr);
    // The window of `camera`'s pictures in `folder`, by their metadata or their saved names
    // among cameraNames.
    static HistoryWindow *forCamera(const QString &folder, const QString &camera,
                                    const QStringList &cameraNames, QWidget *parent = nullptr);
    ~HistoryWindow() override;

    QString camera() const;
    // The pictures as the window knows them, in time order, and the one shown (-1 for none).
    const QList<HistoryPicture> &pictures() const { return m_pictures; }
    qsizetype position() const { return m_position; }
    // Shows the picture at `position` of pictures().
    void showPosition(qsizetype position);
    void showPrevious();
    void showNext();
    void openFolder();
    void startExport();
    void cancelExport();

    // The pictures a time-lapse of the range chosen now would hold.
    QStringList timeLapsePictures() const;
    bool isExporting() const { return m_export != nullptr; }

signals:
    // The picture at position() is on the screen (or its "cannot be read" text).
    void pictureShown(qsizetype position);
    // A time-lapse ended: written (path), cancelled or failed.
    void exportFinished(bool written, const QString &path);

private:
    void composeControls();
    void indexUpdated();
    void requestDecode();
    void updateTexts();
    void updateRangeLimits();
    void setExportText(const QString &text);
    void exportProgress(int done, int total);
    void exportDone(const TimeLapseResult &result);

    HistoryIndexer *m_indexer;
    PictureJobQueue *m_jobs;
    QList<HistoryPicture> m_pictures;
    qsizetype m_position = -1;
    QString m_shownCamera; // the camera's name as the window shows it (a huge one cut)
    bool m_decoding = false; // one decode at a time; a newer wish waits for it
    QString m_shownFile; // the file whose picture is on the screen, decoded at m_shownSize
    QSize m_shownSize;

    HistoryPictureView *m_imgHistory = nullptr;
    QSlider *m_sldTimeline = nullptr;
    QPushButton *m_cmdPrevious = nullptr;
    QPushButton *m_cmdNext = nullptr;
    QLabel *m_lblWhen = nullptr;
    QLabel *m_lblCount = nullptr;
    QPushButton *m_cmdOpenFolder = nullptr;
    QPushButton *m_cmdLive = nullptr;
    QDateTimeEdit *m_dtFrom = nullptr;
    QDateTimeEdit *m_dtTo = nullptr;
    QPushButton *m_cmdFromHere = nullptr;
    QPushButton *m_cmdToHere = nullptr;
    QSpinBox *m_spnFps = nullptr;
    QPushButton *m_cmdExport = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    QProgressBar *m_prgExport = nullptr;
    QLabel *m_lblExport = nullptr;
    // The range follows the first / newest picture until the user sets that end.
    bool m_fromIsFirst = true;
    bool m_toIsNewest = true;

    QThread *m_export = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancelExport;
    int m_progressShown = -1;
};
