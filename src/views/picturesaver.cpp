#include "views/picturesaver.h"

#include "common/localtext.h"
#include "common/programfolder.h"
#include "common/sharedstate.h"
#include "slots/slotpane.h"
#include "slots/slotpicture.h"
#include "views/camfilename.h"
#include "views/freespace.h"
#include "views/jpegsave.h"
#include "views/picturejobqueue.h"

#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QLocale>

#include <optional>

namespace {

constexpr char kCamFolderName[] = "cam";

QString nameFor(const QString &camName, const QDateTime &now)
{
    return camPictureFileName(camName, ShortDateText(now.date()), LongTimeText(now.time()));
}

QString nowText()
{
    return LongTimeText(QTime::currentTime());
}

// " could not be saved as <path>", then the reason when there is one.
QString failureText(const QString &path, const QString &error)
{
    return QStringLiteral(" could not be saved as ") + path +
        (error.isEmpty() ? QString() : QStringLiteral(": ") + error);
}

QString pausedNote(qint64 minimumFree, const QString &folder)
{
    return QStringLiteral(" AutoSave paused: less than ") + QLocale::c().formattedDataSize(minimumFree, 0) +
        QStringLiteral(" free for ") + folder;
}

} // namespace

PictureSaver::PictureSaver(SharedState &state, SlotPane *pane, PictureJobQueue *jobs, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_pane(pane)
    , m_jobs(jobs)
    , m_minimumFreeSpace(kAutoSaveMinFreeBytes)
{ }

PictureSaver::~PictureSaver() = default;

QString PictureSaver::camFolder()
{
    return QDir(ProgramFolder()).filePath(QString::fromLatin1(kCamFolderName));
}

bool PictureSaver::roomToAutoSave(int Index, const QString &folder)
{
    // Free space that cannot be told (no folder) is no reason to pause: the save tries and reports.
    const std::optional<qint64> free = freeBytes(folder);
    const bool shortOfSpace = free && *free < m_minimumFreeSpace;
    if (shortOfSpace != m_autoSavePaused) {
        m_autoSavePaused = shortOfSpace;
        const QString text = nowText() +
            (shortOfSpace ? pausedNote(m_minimumFreeSpace, folder) : QStringLiteral(" AutoSave resumed"));
        // After the slot's earlier results, so that a save finishing later does not hide it.
        m_jobs->submitStep(Index, [this, text] { emit statusText(text); });
    }
    return !shortOfSpace;
}

void PictureSaver::AutoSavePicture(int Index)
{
    const QString folder = camFolder();
    if (!roomToAutoSave(Index, folder))
        return;
    const QString name = nameFor(m_pane->frameCaption(Index), QDateTime::currentDateTime());
    const SlotPicture picture = m_pane->picture(Index);
    m_jobs->submit(Index, PictureJobQueue::Kind::Save, [this, Index, picture, name, folder] {
        const JpegSaveResult result = saveJpeg(folder, name, picture.fullImage());
        // The picture as saved, at the size the slot shows it.
        std::optional<SlotPicture> saved;
        if (result.saved)
            saved = SlotPicture::decode(result.jpeg, picture.slotImage().size());
        return [this, Index, serial = picture.serial(), ok = result.saved, path = result.path,
                error = result.error, saved = std::move(saved)] {
            // Only the picture as saved waits on the slot still showing that picture: the file
            // is written (or not) whatever came since, and the status line says so.
            if (saved && m_pane->picture(Index).serial() == serial)
                m_pane->showSavedPicture(Index, *saved);
            if (!ok)
                emit statusText(nowText() + QStringLiteral(" new picture") + failureText(path, error));
            else if (Index == m_state.intDetailSlot)
                emit statusText(nowText() + QStringLiteral(" new picture saved as ") + path);
        };
    });
}

void PictureSaver::saveDetailPicture(int Index, const SlotPicture &picture, const QImage &decoded)
{
    const QString name = nameFor(m_pane->camName(Index), QDateTime::currentDateTime());
    m_jobs->submit(Index, PictureJobQueue::Kind::Save,
                   [this, Index, picture, decoded, name, folder = camFolder()] {
                       const JpegSaveResult result =
                           saveJpeg(folder, name, decoded.isNull() ? picture.fullImage() : decoded);
                       return [this, Index, saved = result.saved, path = result.path, error = result.error] {
                           emit detailPictureSaved(Index);
                           emit statusText(nowText() +
                                           (saved ? QStringLiteral(" saved as ") + path
                                                  : QStringLiteral(" picture") + failureText(path, error)));
                       };
                   });
}
