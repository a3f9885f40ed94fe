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
    // shows the picture as saved; the status line tells of it when Index is the detail slot.
    // A result for a slot that shows another picture by then (a newer reply, a stop, another
    // camera) is dropped; the file is written all the same.
    void AutoSavePicture(int Index);

    // Save Image: saves `picture` (decoded already when `decoded` is not null) named after slot
    // Index's camera name; then detailPictureSaved and the status line.
    void saveDetailPicture(int Index, const SlotPicture &picture, const QImage &decoded);

signals:
    void statusText(const QString &text);
    void detailPictureSaved(int Index);

private:
    SharedState &m_state;
    SlotPane *m_pane;
    PictureJobQueue *m_jobs;
};
