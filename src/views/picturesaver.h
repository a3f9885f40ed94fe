#pragma once

#include <QObject>

class PictureJobQueue;
class QImage;
class SlotPane;
class SlotPicture;
struct SharedState;

// Saving pictures as JPEG files in the `cam` folder: the automatic save of a slot's changed
// picture and the detail view's Save Image. The name is taken when the save is asked for; the
// encoding and writing run on the picture workers, and the outcome reaches the slot and the
// status line in the slot's order of results.
class PictureSaver : public QObject
{
    Q_OBJECT

public:
    PictureSaver(SharedState &state, SlotPane *pane, PictureJobQueue *jobs, QObject *parent = nullptr);
    ~PictureSaver() override;

    // The folder pictures are saved in: `cam` in the program's folder.
    static QString camFolder();

    // Saves the picture slot Index shows, named after its frame caption. Once saved the slot
    // shows the picture as saved, unless it shows another picture by then (a newer reply, a stop,
    // another camera); the file is written all the same. The status line tells of the save when
    // Index is the detail slot, and of a failed save whatever the slot.
    // While the `cam` folder's file system has less than minimumFreeSpace() free nothing is
    // written; the status line says so when the pause begins and when it ends, whatever the slot.
    void AutoSavePicture(int Index);

    // Save Image: saves `picture` (decoded already when `decoded` is not null) named after slot
    // Index's camera name; then detailPictureSaved and the status line. The user asked for it, so
    // it is tried however little space is free; a full disk makes it fail and say so.
    void saveDetailPicture(int Index, const SlotPicture &picture, const QImage &decoded);

    // The free space below which automatic saving pauses (kAutoSaveMinFreeBytes unless set).
    qint64 minimumFreeSpace() const { return m_minimumFreeSpace; }
    void setMinimumFreeSpace(qint64 bytes) { m_minimumFreeSpace = bytes; }

    // With a limit on the saved pictures kept, free space below minimumFreeSpace() first asks
    // for the oldest saved pictures to be removed (spaceShort, once until spaceMade answers),
    // and automatic saving goes on meanwhile; it pauses only when that could not make room.
    void setPruneBeforePause(bool on) { m_pruneBeforePause = on; }
    // The answer to spaceShort: whether minimumFreeSpace() is free again.
    void spaceMade(bool enough);

signals:
    void statusText(const QString &text);
    void detailPictureSaved(int Index);
    // A picture file was written, by either kind of save (after the signals above).
    void pictureSaved(const QString &path, qint64 bytes);
    // Free space fell below the floor while setPruneBeforePause is on: bytesToFree should go.
    void spaceShort(qint64 bytesToFree);

private:
    bool roomToAutoSave(int Index, const QString &folder);

    SharedState &m_state;
    SlotPane *m_pane;
    PictureJobQueue *m_jobs;
    qint64 m_minimumFreeSpace;
    bool m_autoSavePaused = false;
    bool m_pruneBeforePause = false;
    bool m_makingSpace = false; // spaceShort is unanswered
};
